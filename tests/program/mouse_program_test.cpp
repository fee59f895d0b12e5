// The real program under Xvfb on the emulated set (the mouse behind its receiver), driven by
// brimvexctl mouse: stage and rate changes reach the emulated mouse's memory and the profile; a
// switched-off mouse gets nothing, and the next write after power-on carries the change. Driven
// by brimvexctl profile --device mouse: an imported profile, once selected, is on the mouse.
#include <gtest/gtest.h>

#include <filesystem>

#include "profiles/file_helpers.h"
#include "program/program_under_xvfb.h"

namespace brimvex::test {
namespace {

// The line of `mouse dpi` that starts with `start`.
std::string Line(const CtlRun& run, const std::string& start) {
  const auto at = run.out.find(start);
  return at == std::string::npos ? std::string() : run.out.substr(at, run.out.find('\n', at) - at);
}

// Stage n's X value in the mouse's profile file (the one file of the mouse folder).
int ProfileX(const Program& program, int n) {
  for (const auto& e : std::filesystem::directory_iterator(program.DeviceFolder("mouse"))) {
    if (e.path().extension() != ".Json") continue;
    const Json::Value doc = profiles::ReadJson(e.path().string());
    if (doc.isObject() && doc.isMember("profileUUID"))
      return doc["Device"][0]["DPIStages"]["StageDPIs"][n]["StageDPIX"].asInt();
  }
  return -1;
}

// Waits until the mouse has been read (its sensor gives the resolutions): stage 1 set to 2450.
CtlRun SetWhenReady(const Program& program) {
  CtlRun run;
  for (int i = 0; i < 400 && (run = program.Ctl({"mouse", "set-dpi", "1", "2450"})).exit_code == 3; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  return run;
}

TEST(ProgramMouse, StagesAndRateReachTheMouseAndWaitForItWhenSwitchedOff) {
  if (!std::filesystem::exists("/usr/bin/Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
  Program program;
  ASSERT_TRUE(program.StartDisplay());
  ASSERT_TRUE(program.Start());
  CtlRun run = SetWhenReady(program);
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "stage 1 2450 dpi (slider 48)\n");
  run = program.Ctl({"mouse", "set-rate", "2000"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "rate 2000 Hz\n");
  run = program.Ctl({"mouse", "dpi", "--emulate"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_TRUE(Line(run, "stage 1 ").starts_with("stage 1 on 2450 dpi ")) << run.out;
  EXPECT_EQ(Line(run, "rate"), "rate 2000 Hz") << run.out;
  EXPECT_EQ(program.Ctl({"mouse", "dpi"}).out, run.out) << "profile and mouse agree";
  EXPECT_EQ(ProfileX(program, 1), 48);

  ASSERT_EQ(program.Ctl({"emu", "power-off", "mouse"}).exit_code, 0);
  run = program.Ctl({"mouse", "set-dpi", "2", "2650"});
  EXPECT_EQ(run.exit_code, 3);
  EXPECT_NE(run.err.find("unreachable"), std::string::npos) << run.err;
  EXPECT_EQ(ProfileX(program, 2), 49) << "the profile keeps the change";
  EXPECT_FALSE(Line(program.Ctl({"mouse", "dpi", "--emulate"}), "stage 2 ").starts_with("stage 2 on 2650 "));

  ASSERT_EQ(program.Ctl({"emu", "power-on", "mouse"}).exit_code, 0);
  run = program.Ctl({"mouse", "set-rate", "500"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  run = program.Ctl({"mouse", "dpi", "--emulate"});
  EXPECT_TRUE(Line(run, "stage 2 ").starts_with("stage 2 on 2650 dpi ")) << run.out;
  EXPECT_EQ(Line(run, "rate"), "rate 500 Hz") << run.out;
  EXPECT_EQ(program.Ctl({"mouse", "set-dpi", "9", "100"}).exit_code, 2);
}

TEST(ProgramMouse, AProfileImportedAndSelectedIsOnTheMouse) {
  if (!std::filesystem::exists("/usr/bin/Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
  Program program;
  ASSERT_TRUE(program.StartDisplay());
  ASSERT_TRUE(program.Start());
  ASSERT_EQ(SetWhenReady(program).exit_code, 0);
  const std::string stage3 = Line(program.Ctl({"mouse", "dpi", "--emulate"}), "stage 3 ");
  ASSERT_FALSE(stage3.empty());

  // profile1 exported, its stage 3 changed to slider 60 (4850 dpi), imported as "Fast".
  const std::string out = program.Home().folder() + "out.json";
  const std::string fast = program.Home().folder() + "Fast.json";
  CtlRun run = program.Ctl({"profile", "--device", "mouse", "export", "profile1", out});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  Json::Value doc = profiles::ReadJson(out);
  ASSERT_TRUE(doc["Device"][0]["DPIStages"]["StageDPIs"][3].isObject()) << "no stage 3 in the export";
  doc["Device"][0]["DPIStages"]["StageDPIs"][3]["StageDPIX"] = 60;
  doc["Device"][0]["DPIStages"]["StageDPIs"][3]["StageActive"] = 1;
  ASSERT_TRUE(profiles::WriteJson(fast, doc));
  run = program.Ctl({"profile", "--device", "mouse", "import", fast});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_TRUE(run.out.starts_with("imported\t")) << run.out;
  EXPECT_TRUE(run.out.ends_with("\tFast\n")) << run.out;

  run = program.Ctl({"profile", "--device", "mouse", "select", "fast"});
  ASSERT_EQ(run.exit_code, 0) << run.out << run.err;
  EXPECT_TRUE(run.out.starts_with("selected\t1\tFast\nsettings\tok\n")) << run.out;
  CtlRun dpi = program.Ctl({"mouse", "dpi", "--emulate"});
  EXPECT_TRUE(Line(dpi, "stage 3 ").starts_with("stage 3 on 4850 dpi ")) << dpi.out;
  EXPECT_EQ(Line(dpi, "stage 1 ").substr(0, 20), "stage 1 on 2450 dpi ") << "the rest of profile1 came along";
  EXPECT_EQ(program.Ctl({"mouse", "dpi"}).out, dpi.out) << "profile and mouse agree";

  // Back to profile1; the imported one deleted.
  ASSERT_EQ(program.Ctl({"profile", "--device", "mouse", "select", "profile1"}).exit_code, 0);
  EXPECT_EQ(Line(program.Ctl({"mouse", "dpi", "--emulate"}), "stage 3 "), stage3);
  run = program.Ctl({"profile", "--device", "mouse", "delete", "FAST"});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "deleted\tFast\n");
  EXPECT_EQ(Line(program.Ctl({"mouse", "dpi", "--emulate"}), "stage 3 "), stage3);
}

}  // namespace
}  // namespace brimvex::test
