// The headset's start and driver state over the emulated audio chip library, checked against
// its store and write log.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "audio/audio_rig.h"
#include "audio/headset_audio.h"

namespace brimvex::audio {
namespace {

using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;

struct Started {
  explicit Started(emulator::EmulatedAudioChip c) : chip(std::move(c)) {}
  emulator::EmulatedAudioChip chip;
  HeadsetAudio audio{platform::SystemAudioChipLoader()};
  HeadsetAudio::StartReport report;
};

// Resets the store, lets `setup` change it, starts.
template <typename Setup>
std::unique_ptr<Started> Start(Setup setup) {
  auto s = std::make_unique<Started>(test::LoadEmulatedChip());
  setup(s->chip);
  s->report = s->audio.Start(test::EmulatedLibraryFile());
  return s;
}
std::unique_ptr<Started> Start() {
  return Start([](auto&) {});
}

TEST(HeadsetStart, FillsTheUnsetSettingsWithZero) {
  auto s = Start();
  EXPECT_TRUE(s->report.available);
  EXPECT_THAT(s->report.messages, IsEmpty());
  EXPECT_THAT(s->chip.WriteLog(), ElementsAre("out VirtualSurroundEffectControl 0 4,-1,0", "in Enable_ENC_LFX 0",
                                              "out Enable_RFX_GFX 0", "out RFX_ENVIRONMENT 0", "out RFX_ROOMSIZE 0"));
  EXPECT_TRUE(s->audio.EqualiserSupported());
  EXPECT_TRUE(s->audio.MonitoringSupported());
  EXPECT_TRUE(s->audio.VoiceChangerSupported());
}

TEST(HeadsetStart, AFailedReadIsWrittenZeroWithItsParameter) {
  struct Case {
    const char* unset;
    const char* written;
  };
  const Case cases[] = {{"VolumeControl", "in VolumeControl 0 -1"},
                        {"VolumeScalarControl", "in VolumeScalarControl 0 -1"},
                        {"AAVolumeControl", "in AAVolumeControl 0 0"},
                        {"AAVolumeScalarControl", "in AAVolumeScalarControl 0 0"},
                        {"MuteControl", "in MuteControl 0"},
                        {"EQ_Slider10", "out EQ_Slider10 0"},
                        {"MagicVoice_Selection", "in MagicVoice_Selection 0"}};
  for (const auto& c : cases) {
    auto s = Start([&](auto& chip) {
      // Linked decibels follow their scalar; unset both of the pair's first.
      chip.SetProperty(c.unset, "");
    });
    EXPECT_THAT(s->chip.WriteLog(), testing::Contains(c.written)) << c.unset;
  }
}

TEST(HeadsetStart, DriverStateAsTheDriverHasIt) {
  struct Case {
    const char* what;
    std::vector<std::pair<std::string, std::string>> store;
    std::string features;  // input feature answer ("" default)
    profiles::VoiceState expected;
  };
  // Before the read: magic on, type 4, levels 11 / 22, both enabled.
  const profiles::VoiceState before{1, 4, 3, -1, 1, 11, 1, 22};
  const Case cases[] = {
      {"defaults", {}, "", {0, 1, 3, -1, 1, 80, 0, 50}},
      {"selection 2 is type 3", {{"MagicVoice_Selection", "2"}}, "", {0, 3, 3, -1, 1, 80, 0, 50}},
      {"selection out of range", {{"MagicVoice_Selection", "7"}}, "", {0, 4, 3, -1, 1, 80, 0, 50}},
      {"scalar 0.555", {{"VolumeScalarControl", "0.555"}}, "", {0, 1, 3, -1, 1, 55, 0, 50}},
      {"scalar 0.29", {{"AAVolumeScalarControl", "0.29"}, {"AAMuteControl", "0"}}, "", {0, 1, 3, -1, 1, 80, 1, 29}},
      {"muted microphone", {{"MuteControl", "1"}}, "", {0, 1, 3, -1, 0, 80, 0, 50}},
      {"no voice changer bit", {{"Enable_MAGICVOICE", "0"}}, "0,0,0,0,0,0,0", {1, 1, 3, -1, 1, 80, 0, 50}},
      {"no monitoring", {{"GetAAMaxVol", ""}}, "", {0, 1, 3, -1, 1, 80, 1, 22}},
  };
  for (const auto& c : cases) {
    auto s = Start([&](auto& chip) {
      for (const auto& [name, value] : c.store) chip.SetProperty(name, value);
      if (!c.features.empty()) chip.SetFeatures(platform::kAudioDirectionInput, c.features);
      chip.SetProperty("EQ_Slider4", "-7");
    });
    ASSERT_TRUE(s->report.available) << c.what;
    profiles::VoiceState voice = before;
    Bands bands{};
    bands.fill(99);
    s->audio.ReadDriverState(voice, bands);
    EXPECT_EQ(voice, c.expected) << c.what;
    EXPECT_THAT(bands, ElementsAre(0, 0, 0, -7, 0, 0, 0, 0, 0, 0)) << c.what;
  }
}

TEST(HeadsetStart, WhatAWorkingLibraryCannotDo) {
  auto s = Start([](auto& chip) {
    chip.FailProperty("Enable_EQ_GFX", 3);
    chip.SetProperty("GetAAMaxVol", "");
    chip.SetFeatures(platform::kAudioDirectionInput, "65536,0,0,0,0,0,0");
  });
  EXPECT_TRUE(s->report.available);
  EXPECT_FALSE(s->audio.EqualiserSupported());
  EXPECT_FALSE(s->audio.MonitoringSupported());
  EXPECT_FALSE(s->audio.VoiceChangerSupported());
  // A switch that only its read refuses is still an equaliser.
  auto written = Start([](auto& chip) { chip.FailProperty("Enable_EQ_GFX", 1); });
  EXPECT_TRUE(written->audio.EqualiserSupported());
}

TEST(HeadsetStart, FailuresOfTheStart) {
  struct Case {
    const char* what;
    void (*setup)(emulator::EmulatedAudioChip&);
    bool available;
    std::string reason;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {"init fails", [](auto& chip) { chip.SetInitResult(5); }, true, "", {kInitFailedMessage}},
      {"short features", [](auto& chip) { chip.SetFeatures(platform::kAudioDirectionInput, "131072,0,0"); }, true, "",
       {kFeatureFailedMessage}},
      {"no outputs", [](auto& chip) { chip.SetEndpoints(platform::kAudioDirectionOutput, {}); }, false,
       "no output endpoint", {}},
      {"no output fits", [](auto& chip) { chip.SetEndpoints(platform::kAudioDirectionOutput, {{3, 2, 0, 1}}); },
       false, "no output endpoint", {}},
      {"count past 64", [](auto& chip) { chip.SetReportedCount(platform::kAudioDirectionOutput, 65); }, false,
       "no output endpoint", {}},
  };
  for (const auto& c : cases) {
    auto s = Start(c.setup);
    EXPECT_EQ(s->report.available, c.available) << c.what;
    EXPECT_EQ(s->report.reason, c.reason) << c.what;
    EXPECT_THAT(s->report.messages, ElementsAreArray(c.messages)) << c.what;
  }
  auto s = Start([](auto& chip) { chip.SetFeatures(platform::kAudioDirectionInput, "131072,0,0"); });
  EXPECT_FALSE(s->audio.VoiceChangerSupported());
  auto none = Start([](auto& chip) { chip.SetEndpoints(platform::kAudioDirectionOutput, {}); });
  EXPECT_THAT(none->chip.WriteLog(), IsEmpty());
}

TEST(HeadsetWrites, CheckedWritesAndWhatTheyLeave) {
  auto s = Start();
  s->chip.ClearLog();
  EXPECT_TRUE(s->audio.WriteMicLevel(37));
  EXPECT_TRUE(s->audio.MicDecibels().has_value());
  EXPECT_TRUE(s->audio.WriteMonitorLevel(58));
  EXPECT_TRUE(s->audio.WriteMonitorMuted(false));
  EXPECT_TRUE(s->audio.WriteVoiceChanger(true));
  EXPECT_TRUE(s->audio.WriteVoiceChanger(false));
  EXPECT_TRUE(s->audio.WriteVoiceType(3));
  EXPECT_TRUE(s->audio.WriteEqualiser({7, 11, 2, -3, -1, 4, 9, 12, 9, 5}));
  EXPECT_THAT(s->chip.WriteLog(),
              ElementsAre("in VolumeScalarControl 0.37 -1", "in AAVolumeScalarControl 0.58 0", "in AAMuteControl 0",
                          "in Enable_MAGICVOICE 1", "in Enable_MICECHO 0", "in Enable_MAGICVOICE 0",
                          "in MagicVoice_Selection 2", "out Enable_EQ_GFX 1", "out EQ_Slider1 7", "out EQ_Slider2 11",
                          "out EQ_Slider3 2", "out EQ_Slider4 -3", "out EQ_Slider5 -1", "out EQ_Slider6 4",
                          "out EQ_Slider7 9", "out EQ_Slider8 12", "out EQ_Slider9 9", "out EQ_Slider10 5"));
  EXPECT_FALSE(s->audio.MonitorMuted());

  s->chip.FailProperty("MuteControl", 2);
  EXPECT_FALSE(s->audio.WriteMicMuted(true));
  EXPECT_FALSE(s->audio.MicMuted());
  EXPECT_EQ(s->audio.RejectedProperty(), "MuteControl");
  s->chip.FailProperty("VolumeScalarControl", 2);
  EXPECT_FALSE(s->audio.WriteMicLevel(10));
  EXPECT_EQ(s->audio.RejectedProperty(), "VolumeScalarControl");
  EXPECT_THAT(s->chip.Dump(), testing::HasSubstr("VolumeScalarControl: 0.37\nMuteControl: 0\n"));
}

}  // namespace
}  // namespace brimvex::audio
