// The real program under Xvfb on the emulated headset and its emulated audio chip library,
// driven by brimvexctl headset: a setting reaches the page, the profile file and the store, and
// a light set reaches the headset's memory, its LEDs and its profile; without a library the
// program runs on and says why.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "profiles/ri6533_profile_data.h"
#include "program/program_under_xvfb.h"

namespace brimvex::test {
namespace {

// Waits until the program has its headset connected (it answers the state).
bool HeadsetReady(const Program& program) {
  for (int i = 0; i < 400; ++i) {
    if (program.Ctl({"headset"}).exit_code == 0) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

// What the headset's profile files hold.
std::vector<profiles::CRi6533Profiledata> SavedProfiles(const std::string& folder) {
  std::vector<profiles::CRi6533Profiledata> saved;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    if (entry.path().extension() != ".Json") continue;
    saved.emplace_back().LoadSection(entry.path().string());
  }
  return saved;
}

std::vector<int> SavedMicLevels(const std::string& folder) {
  std::vector<int> levels;
  for (auto& p : SavedProfiles(folder)) levels.push_back(p.GetVoiceState().mic_level);
  return levels;
}

TEST(ProgramHeadset, ASettingReachesPageProfileAndStore) {
  if (!std::filesystem::exists("/usr/bin/Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
  Program program;
  ASSERT_TRUE(program.StartDisplay());
  ASSERT_TRUE(program.Start());
  ASSERT_TRUE(HeadsetReady(program));
  CtlRun run = program.Ctl({"headset", "set", "eq=3", "mic=37"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out,
            "eq: 3\nbands: 10 4 0 -3 -4 -3 -2 -1 0 0\ncustom: -1\nmic: on 37\nmonitor: off 50\nvoice: off 1\n");
  run = program.Ctl({"headset", "--emulate"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_THAT(run.out, testing::HasSubstr("VolumeScalarControl: 0.37\n"));
  EXPECT_THAT(run.out, testing::HasSubstr("EQ_Slider1: 10\nEQ_Slider2: 4\n"));
  EXPECT_THAT(run.out, testing::HasSubstr("Enable_MICECHO: unset\n"));
  EXPECT_THAT(SavedMicLevels(program.DeviceFolder("HD")), testing::Contains(37));
  EXPECT_EQ(program.Ctl({"headset", "set", "mic=101"}).exit_code, 2);
  EXPECT_EQ(program.Ctl({"headset"}).out, "eq: 3\nbands: 10 4 0 -3 -4 -3 -2 -1 0 0\ncustom: -1\nmic: on 37\n"
                                          "monitor: off 50\nvoice: off 1\n");

  // The light editor of the headset's page: the block in its memory, its LEDs and its profile.
  run = program.Ctl({"light", "headset", "set", "mode=light_mode_static", "color=11AA33", "brightness=4"});
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_TRUE(run.out.starts_with("mode: 3 light_mode_static\ncolor: 11AA33\nbrightness: 4\n")) << run.out;
  // Light 0 as the LED reports leave it: each colour x 255 >> 8 (brightness 4).
  const std::string lit = "\nframe: 10A932\n";
  for (int i = 0; i < 200; ++i) {
    run = program.Ctl({"light", "headset", "--emulate"});
    if (run.out.find(lit) != std::string::npos) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ASSERT_EQ(run.exit_code, 0) << run.err;
  EXPECT_TRUE(run.out.starts_with("mode: 3 light_mode_static\ncolor: 11AA33\nbrightness: 4\n")) << run.out;
  EXPECT_THAT(run.out, testing::HasSubstr(lit));
  bool saved = false;
  for (auto& p : SavedProfiles(program.DeviceFolder("HD")))
    saved = saved || (p.GetLightInfo().mode == 3 && p.GetLightInfo().green == 0xAA);
  EXPECT_TRUE(saved);
  EXPECT_EQ(program.Ctl({"light", "headset", "set", "mode=3", "speed=2"}).exit_code, 3);
}

TEST(ProgramHeadset, WithoutALibraryTheProgramRunsOnAndSaysWhy) {
  if (!std::filesystem::exists("/usr/bin/Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
  Program program;
  ASSERT_TRUE(program.StartDisplay());
  ASSERT_TRUE(program.Start({"BRIMVEX_AUDIO_SDK=/nonexistent"}));
  ASSERT_TRUE(HeadsetReady(program));
  const CtlRun run = program.Ctl({"headset", "set", "eq=3"});
  EXPECT_EQ(run.exit_code, 3);
  EXPECT_THAT(run.err, testing::StartsWith("brimvexctl: refused: audio settings unavailable: cannot load /nonexistent/"));
  EXPECT_EQ(program.Ctl({"headset"}).exit_code, 0);
  EXPECT_EQ(program.Ctl({"profile", "list"}).exit_code, 0);
}

}  // namespace
}  // namespace brimvex::test
