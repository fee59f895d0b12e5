// The real program under Xvfb on the emulated set (the mouse behind its receiver), driven by
// brimvexctl mouse: stage and rate changes reach the emulated mouse's memory and the profile; a
// switched-off mouse gets nothing, and the next write after power-on carries the change.
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

TEST(ProgramMouse, StagesAndRateReachTheMouseAndWaitForItWhenSwitchedOff) {
  if (!std::filesystem::exists("/usr/bin/Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
  Program program;
  ASSERT_TRUE(program.StartDisplay());
  ASSERT_TRUE(program.Start());
  // The mouse answers once its page has read it (its sensor gives the resolutions).
  CtlRun run;
  for (int i = 0; i < 400 && (run = program.Ctl({"mouse", "set-dpi", "1", "2450"})).exit_code == 3; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
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

}  // namespace
}  // namespace brimvex::test
