// The real program under Xvfb on the emulated set, driven by brimvexctl light: a set reaches the
// emulated pad's memory, the program's answer and the emulator's agree, the profile keeps it,
// and a set the rules refuse changes nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "program/program_under_xvfb.h"

namespace brimvex::test {
namespace {

// Every profile file of a folder holds `text` somewhere.
bool SomeProfileHolds(const std::string& folder, const std::string& text) {
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
    if (e.path().extension() != ".Json") continue;
    std::ifstream in(e.path());
    std::stringstream s;
    s << in.rdbuf();
    if (s.str().find(text) != std::string::npos) return true;
  }
  return false;
}

TEST(ProgramLight, SetsReachTheDevicesAndTheirProfilesAndRefusalsChangeNothing) {
  if (!std::filesystem::exists("/usr/bin/Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
  Program program;
  ASSERT_TRUE(program.StartDisplay());
  ASSERT_TRUE(program.Start());

  // The program answers before discovery has found the set: ask again until the pad is there.
  CtlRun run;
  for (int i = 0; i < 200; ++i) {
    run = program.Ctl({"light", "pad", "set", "mode=light_mode_static", "color=11AA33", "brightness=2"});
    if (run.err.find("is connected") == std::string::npos) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_TRUE(run.out.starts_with("mode: 3 light_mode_static\ncolor: 11AA33\nbrightness: 2\n")) << run.out;
  run = program.Ctl({"light", "pad", "--emulate"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_TRUE(run.out.starts_with("mode: 3 light_mode_static\ncolor: 11AA33\nbrightness: 2\n")) << run.out;
  EXPECT_NE(run.out.find("\nframe: "), std::string::npos) << run.out;
  EXPECT_TRUE(SomeProfileHolds(program.DeviceFolder("MousePad"), "\"Green\" : 170")) << "pad profile";

  run = program.Ctl({"light", "keyboard", "set", "mode=6", "color=204060"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  run = program.Ctl({"light", "keyboard", "set", "color=FFFFFF", "speed=3"});
  EXPECT_EQ(run.exit_code, 3);
  EXPECT_EQ(run.err, "brimvexctl: refused: speed does not apply to mode 6 on the keyboard\n");
  run = program.Ctl({"light", "keyboard", "--emulate"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_TRUE(run.out.starts_with("mode: 6 light_mode_static\ncolor: 204060\n")) << run.out;
  EXPECT_EQ(program.Ctl({"light", "keyboard", "set", "speed=9"}).exit_code, 2);
}

TEST(ProgramLight, LightControlOffSendsNothingAndOnSendsTheKeyboardOneLightControlCommand) {
  if (!std::filesystem::exists("/usr/bin/Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
  Program program;
  ASSERT_TRUE(program.StartDisplay());
  ASSERT_TRUE(program.Start());
  // Once a set reaches the keyboard its start-up is over (until its page is built a set fails).
  CtlRun run;
  for (int i = 0; i < 200; ++i) {
    run = program.Ctl({"light", "keyboard", "set", "mode=6", "color=204060"});
    if (run.exit_code == 0) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ASSERT_EQ(run.exit_code, 0) << run.err;
  const auto light_controls = [&] {
    const CtlRun count = program.Ctl({"emu", "count", "keyboard", "0x1C"});
    EXPECT_EQ(count.exit_code, 0) << count.err;
    return count.out;
  };
  const std::string before = light_controls();
  // The program takes its messages in order: once a later request is answered, the word has
  // been handled.
  const struct {
    const char* word;
    int sent;
  } steps[] = {{"off", 0}, {"on", 1}};
  int sent = std::stoi(before);
  for (const auto& step : steps) {
    ASSERT_EQ(program.Ctl({"light-control", step.word}).exit_code, 0) << step.word;
    ASSERT_EQ(program.Ctl({"profile", "list"}).exit_code, 0) << step.word;
    sent += step.sent;
    EXPECT_EQ(light_controls(), std::to_string(sent) + "\n") << step.word;
  }
}

}  // namespace
}  // namespace brimvex::test
