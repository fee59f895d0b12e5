// The headset device on the emulator: what its page's controls write to the chip library, what
// its profile keeps, and what reaches the headset (LED reports, light block).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "audio/headset_rig.h"
#include "emulator/emulated_device.h"
#include "profiles/default_tables.h"

namespace brimvex::audio {
namespace {

using test::HeadsetRig;
using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;

std::vector<std::string> EqLines(const std::vector<int>& bands) {
  std::vector<std::string> lines{"out Enable_EQ_GFX 1"};
  for (std::size_t i = 0; i < bands.size(); ++i)
    lines.push_back("out EQ_Slider" + std::to_string(i + 1) + " " + std::to_string(bands[i]));
  return lines;
}

std::vector<int> Sliders(CVoice6533ControlUI& page) {
  std::vector<int> v;
  for (int i = 0; i < kBandSliders; ++i) v.push_back(page.GetBand(i));
  return v;
}

std::vector<int> PresetRow(int n) {
  const auto& row = profiles::kEqPresets[static_cast<std::size_t>(n - 1)];
  return std::vector<int>(row.begin(), row.end());
}

TEST(HeadsetPage, ShowsTheDriverStateAtStart) {
  HeadsetRig rig([](auto& chip) {
    chip.SetProperty("VolumeScalarControl", "0.57");
    chip.SetProperty("MagicVoice_Selection", "2");
    chip.SetProperty("EQ_Slider2", "-4");
  });
  ASSERT_TRUE(rig.page_built);
  ASSERT_NE(rig.device->VoicePage(), nullptr);
  EXPECT_TRUE(rig.voice().MicEnabled());
  EXPECT_EQ(rig.voice().MicLevel(), 57);
  EXPECT_FALSE(rig.voice().MonitorEnabled());
  EXPECT_EQ(rig.voice().MonitorLevel(), 50);
  EXPECT_EQ(rig.magic().SelectedType(), 3);
  EXPECT_FALSE(rig.magic().EnabledCheck());
  EXPECT_THAT(Sliders(rig.voice()), ElementsAre(0, -4, 0, 0, 0, 0, 0, 0, 0, 0));
  EXPECT_THAT(rig.voice().Curve()->Values(), ElementsAre(0, -4, 0, 0, 0, 0, 0, 0, 0, 0));
  EXPECT_EQ(rig.voice().UnavailableReason(), "");
  EXPECT_THAT(rig.device->Messages(), IsEmpty());
}

TEST(HeadsetPage, PresetsWriteTheirBandsAndNeverSwitchTheEqualiserOff) {
  for (int n : {1, 5, 12}) {
    HeadsetRig rig;
    rig.chip.ClearLog();
    rig.device->ApplyPreset(n);
    EXPECT_THAT(rig.chip.WriteLog(), ElementsAreArray(EqLines(PresetRow(n)))) << n;
    EXPECT_THAT(Sliders(rig.voice()), ElementsAreArray(PresetRow(n))) << n;
    EXPECT_THAT(rig.voice().Curve()->Values(), ElementsAreArray(PresetRow(n))) << n;
    EXPECT_EQ(rig.voice().SelectedPreset(), n);
    EXPECT_FALSE(rig.voice().CustomLayoutEnabled());
    EXPECT_EQ(rig.Saved().GetVoiceState().eq_preset, n);
  }
  HeadsetRig rig;
  rig.chip.ClearLog();
  for (int n : {0, -1, 14}) rig.device->ApplyPreset(n);
  EXPECT_THAT(rig.chip.WriteLog(), IsEmpty());
}

TEST(HeadsetPage, MovingABandSwitchesToCustomWithoutSavingIt) {
  HeadsetRig rig;
  rig.device->ApplyPreset(3);
  rig.chip.ClearLog();
  rig.device->ChangeBand(4, 9);
  EXPECT_THAT(rig.chip.WriteLog(), ElementsAre("out EQ_Slider5 9"));
  EXPECT_EQ(rig.voice().SelectedPreset(), 13);
  EXPECT_EQ(rig.voice().CurrentCustom(), -1);
  EXPECT_TRUE(rig.voice().CustomLayoutEnabled());
  EXPECT_EQ(rig.voice().Curve()->Values()[4], 9);
  EXPECT_EQ(rig.Saved().GetVoiceState().eq_preset, 3);
  EXPECT_THAT(rig.Saved().GetCustomEqNames(), IsEmpty());
}

TEST(HeadsetPage, CustomEntriesAreUniqueWithoutRegardToCaseAndAtMostTwenty) {
  HeadsetRig rig;
  rig.device->ChangeBand(0, 5);
  rig.voice().SetNameText("Night");
  rig.device->SaveCustom();
  EXPECT_THAT(rig.Saved().GetCustomEqNames(), ElementsAre("Night"));
  EXPECT_EQ(rig.voice().CurrentCustom(), 0);
  EXPECT_EQ(rig.voice().NameText(), "");
  EXPECT_EQ(rig.Saved().GetCustomEqBands(0)[0], 5);

  rig.voice().SetNameText("NIGHT");
  rig.device->SaveCustom();
  EXPECT_THAT(rig.device->Messages(), ElementsAre("message_text_5"));
  EXPECT_EQ(rig.voice().CustomCount(), 1);

  for (int k = 1; k < 21; ++k) {
    rig.voice().SetNameText("e" + std::to_string(k));
    rig.device->SaveCustom();
  }
  EXPECT_EQ(rig.Saved().GetCustomEqNames().size(), kCustomEqLimit);
  EXPECT_EQ(rig.voice().CustomCount(), 20);
  EXPECT_EQ(rig.Saved().GetCustomEqNames().back(), "e19");

  // An empty name stores the sliders into the selected entry.
  rig.voice().SelectCustom(0);
  rig.device->ChangeBand(9, -6);
  rig.voice().SetNameText("");
  rig.device->SaveCustom();
  EXPECT_EQ(rig.Saved().GetCustomEqBands(0)[9], -6);
}

// Three entries a, b, c with curves 1..., 2..., 3...; the selected one deleted.
TEST(HeadsetPage, DeletingAnEntryKeepsTheOthersCurves) {
  struct Case {
    int deleted;
    std::vector<std::string> names;
    std::vector<int> first_bands;  // band 1 of each remaining entry, as the profile keeps it
  };
  const Case cases[] = {{0, {"b", "c"}, {2, 3}}, {1, {"a", "c"}, {1, 3}}, {2, {"a", "b"}, {1, 2}}};
  for (const auto& c : cases) {
    HeadsetRig rig;
    for (int k = 0; k < 3; ++k) {
      for (int band = 0; band < kBandSliders; ++band) rig.device->ChangeBand(band, k + 1);
      rig.voice().SetNameText(std::string(1, static_cast<char>('a' + k)));
      rig.device->SaveCustom();
    }
    rig.voice().SelectCustom(c.deleted);
    rig.chip.ClearLog();
    rig.device->DeleteCustom();
    auto saved = rig.Saved();
    EXPECT_THAT(saved.GetCustomEqNames(), ElementsAreArray(c.names)) << c.deleted;
    for (std::size_t k = 0; k < c.first_bands.size(); ++k)
      EXPECT_THAT(saved.GetCustomEqBands(static_cast<int>(k)), testing::Each(c.first_bands[k])) << c.deleted;
    // Entry 0 is shown and plays.
    EXPECT_EQ(rig.voice().CurrentCustom(), 0);
    EXPECT_THAT(rig.chip.WriteLog(), ElementsAreArray(EqLines(std::vector<int>(10, c.first_bands[0]))));
    EXPECT_EQ(saved.GetVoiceState().custom_eq_index, 0);
  }
}

TEST(HeadsetPage, DeletingTheOnlyEntryReturnsToPresetOne) {
  HeadsetRig rig;
  rig.device->ChangeBand(2, 8);
  rig.voice().SetNameText("only");
  rig.device->SaveCustom();
  rig.chip.ClearLog();
  rig.device->DeleteCustom();
  EXPECT_EQ(rig.voice().SelectedPreset(), 1);
  EXPECT_FALSE(rig.voice().CustomLayoutEnabled());
  EXPECT_THAT(Sliders(rig.voice()), ElementsAreArray(PresetRow(1)));
  EXPECT_THAT(rig.chip.WriteLog(), ElementsAreArray(EqLines(PresetRow(1))));
  EXPECT_THAT(rig.Saved().GetCustomEqNames(), IsEmpty());
  EXPECT_EQ(rig.Saved().GetVoiceState().eq_preset, 1);
}

TEST(HeadsetPage, ProfileBandsAreKeptInRangeBeforeTheDriver) {
  HeadsetRig rig;
  rig.device->Profile().SetCustomEqNames({"loud"});
  rig.device->Profile().SetCustomEqBands(0, {1000, -1000, 20, -20, 0, 21, -21, 3, 4, 5});
  ASSERT_TRUE(rig.device->SaveProfile());
  rig.device->ReloadProfile();
  rig.device->ApplyPreset(13);
  rig.voice().SelectCustom(0);
  rig.chip.ClearLog();
  rig.device->ApplySelectedCustom();
  EXPECT_THAT(rig.chip.WriteLog(), ElementsAreArray(EqLines({20, -20, 20, -20, 0, 20, -20, 3, 4, 5})));
}

TEST(HeadsetPage, MicrophoneMonitoringAndVoiceChanger) {
  HeadsetRig rig;
  rig.chip.ClearLog();
  rig.device->SetMicLevel(37);
  rig.device->ToggleMic();
  rig.device->SetMonitorLevel(58);
  rig.device->ToggleMonitor();
  rig.magic().SetEnabledCheck(true);
  rig.device->SwitchVoiceChanger();
  rig.device->SelectVoiceType(3);
  rig.magic().SetEnabledCheck(false);
  rig.device->SwitchVoiceChanger();
  EXPECT_THAT(rig.chip.WriteLog(),
              ElementsAre("in VolumeScalarControl 0.37 -1", "in MuteControl 1", "in AAVolumeScalarControl 0.58 0",
                          "in AAMuteControl 0", "in Enable_MAGICVOICE 1", "in Enable_MICECHO 0",
                          "in MagicVoice_Selection 2", "in Enable_MAGICVOICE 0"));
  EXPECT_FALSE(rig.voice().MicEnabled());
  EXPECT_TRUE(rig.voice().MonitorEnabled());
  EXPECT_EQ(rig.Saved().GetVoiceState(), (profiles::VoiceState{0, 3, rig.device->Voice().eq_preset,
                                                                rig.device->Voice().custom_eq_index, 0, 37, 1, 58}));
}

TEST(HeadsetPage, RejectedWritesLeaveTheControlsAsTheDriverHasThem) {
  HeadsetRig rig;
  const auto before = rig.Saved().GetVoiceState();
  for (const char* name : {"MuteControl", "VolumeScalarControl", "AAMuteControl", "Enable_MAGICVOICE",
                           "MagicVoice_Selection"})
    rig.chip.FailProperty(name, 2);
  rig.device->ToggleMic();
  rig.device->SetMicLevel(10);
  rig.device->ToggleMonitor();
  rig.magic().SetEnabledCheck(true);
  rig.device->SwitchVoiceChanger();
  rig.device->SelectVoiceType(4);
  EXPECT_TRUE(rig.voice().MicEnabled());
  EXPECT_EQ(rig.voice().MicLevel(), 80);
  EXPECT_FALSE(rig.voice().MonitorEnabled());
  EXPECT_FALSE(rig.magic().EnabledCheck());
  EXPECT_EQ(rig.magic().SelectedType(), 1);
  EXPECT_EQ(rig.device->Messages(), std::vector<std::string>(5, "audio_write_rejected"));
  EXPECT_EQ(rig.Saved().GetVoiceState(), before);
  EXPECT_THAT(rig.chip.Dump(), testing::HasSubstr("VolumeScalarControl: 0.8\nMuteControl: 0\n"));
}

TEST(HeadsetPage, WithoutUsableAudioSettingsThePagesSayWhy) {
  struct Case {
    std::string library;
    void (*setup)(emulator::EmulatedAudioChip&);
    std::string reason_start;
  };
  const Case cases[] = {
      {"/nonexistent/osConfLib.so", [](auto&) {}, "cannot load /nonexistent/osConfLib.so: "},
      {BRIMVEX_TEST_PARTIAL_LIB, [](auto&) {}, std::string(BRIMVEX_TEST_PARTIAL_LIB) + " lacks RegisterCallbackFunction"},
      {test::EmulatedLibraryFile(), [](auto& chip) { chip.SetEndpoints(platform::kAudioDirectionOutput, {}); },
       "no output endpoint"},
  };
  for (const auto& c : cases) {
    testing::internal::CaptureStderr();
    HeadsetRig rig(c.setup, c.library);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_THAT(err, testing::HasSubstr("brimvex: audio settings unavailable: " + c.reason_start));
    EXPECT_THAT(rig.voice().UnavailableReason(), testing::StartsWith(c.reason_start));
    EXPECT_THAT(rig.magic().UnavailableReason(), testing::StartsWith(c.reason_start));
    auto* label = rig.voice().FindControl("audio_unavailable_label");
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->IsVisible());
    EXPECT_THAT(label->Text(), testing::HasSubstr(c.reason_start));
    for (const char* name : {"6533_MicIn_slider", "6533_eq_option_1", "6533_eq_hz_slider_0", "6533_MicMoniter_option"})
      EXPECT_FALSE(rig.voice().FindControl(name)->IsEnabled()) << name;
    EXPECT_FALSE(rig.magic().FindControl("magic_enable_option")->IsEnabled());
    rig.chip.ClearLog();
    rig.device->ApplyPreset(2);
    rig.device->SetMicLevel(20);
    EXPECT_THAT(rig.chip.WriteLog(), IsEmpty());
  }
}

TEST(HeadsetPage, WhatTheLibraryCannotDoIsDisabledWithATooltip) {
  HeadsetRig rig([](auto& chip) {
    chip.FailProperty("Enable_EQ_GFX", 3);
    chip.SetProperty("GetAAMaxVol", "");
    chip.SetFeatures(platform::kAudioDirectionInput, "0,0,0,0,0,0,0");
  });
  for (const char* name : {"6533_eq_option_4", "6533_eq_hz_slider_3", "6533_MicMoniter_slider"}) {
    EXPECT_FALSE(rig.voice().FindControl(name)->IsEnabled()) << name;
    EXPECT_EQ(rig.voice().FindControl(name)->ToolTipKey(), "audio_feature_unsupported") << name;
  }
  EXPECT_TRUE(rig.voice().FindControl("6533_MicIn_slider")->IsEnabled());
  EXPECT_EQ(rig.magic().FindControl("magic_enable_option")->ToolTipKey(), "audio_feature_unsupported");
  EXPECT_FALSE(rig.magic().FindControl("magic_enable_option")->IsEnabled());
}

TEST(HeadsetLights, TwelveLedReportsByteForByte) {
  HeadsetRig rig;
  for (int i = 0; i < 13; ++i)
    rig.device->SetLedColor(i, devices::Rgba{static_cast<std::uint8_t>(16 * i), static_cast<std::uint8_t>(200 - i), 0x80,
                                             static_cast<std::uint8_t>(i == 5 ? 0 : 128)});
  rig.device->SetLedColor(12, devices::Rgba{255, 255, 255, 255});
  ASSERT_EQ(rig.device->SendLedFrame(), hid::RESULT_OK);
  const auto reports = rig.headset.LedReports();
  ASSERT_EQ(reports.size(), 12u);
  const auto red = [](int i) { return i == 5 ? 0 : i == 12 ? 247 : (16 * i * 128) >> 8; };
  const auto green = [](int i) { return i == 5 ? 0 : i == 12 ? 247 : ((200 - i) * 128) >> 8; };
  const auto blue = [](int i) { return i == 5 ? 0 : i == 12 ? 247 : 0x40; };
  const std::pair<int, int> heads[12] = {{0x22, 0xAA}, {0x22, 0xAD}, {0x44, 0xAA}, {0x44, 0xAD},
                                         {0x22, 0xAB}, {0x22, 0xAE}, {0x44, 0xAB}, {0x44, 0xAE},
                                         {0x22, 0xAC}, {0x22, 0xAF}, {0x44, 0xAC}, {0x44, 0xAF}};
  for (std::size_t n = 0; n < 12; ++n) {
    std::vector<std::uint8_t> expected(17, 0);
    expected[0] = 0xFF;
    expected[1] = static_cast<std::uint8_t>(heads[n].first);
    expected[2] = static_cast<std::uint8_t>(heads[n].second);
    const int colour = static_cast<int>(n / 4);
    const int first = n % 2 == 0 ? 0 : 7;
    const int last = n % 2 == 0 ? 7 : 13;
    for (int i = first; i < last; ++i)
      expected[static_cast<std::size_t>(4 + i - first)] =
          static_cast<std::uint8_t>(colour == 0 ? red(i) : colour == 1 ? green(i) : blue(i));
    EXPECT_EQ(reports[n], expected) << n;
  }
  // Nothing reached the command interface.
  EXPECT_THAT(rig.headset.ExchangeLog(), testing::Each(testing::Field(&emulator::Exchange::request,
                                                                      testing::Not(testing::Contains(0x0B)))));
}

TEST(HeadsetLights, TheLightBlockReachesItsSlot) {
  HeadsetRig rig;
  profiles::LightInfo info;
  info.mode = 12;  // above 8: mode 0
  info.brightness = 3;
  info.speed = 1;
  info.multi_color = 1;
  info.red = 10;
  info.green = 20;
  info.blue = 30;
  rig.device->Profile().SetLightInfo(info);
  for (int slot : {0, 1}) {
    ASSERT_EQ(rig.device->WriteLightBlock(slot), hid::RESULT_OK);
    const auto memory = rig.headset.Memory(emulator::Area::kParameters);
    const auto at = static_cast<std::size_t>(64 * slot);
    EXPECT_EQ(memory[at + 2], 3);
    EXPECT_EQ(memory[at + 3], 3);  // 4 - speed
    EXPECT_EQ(memory[at + 5], 1);
    EXPECT_THAT(std::vector<std::uint8_t>(memory.begin() + static_cast<long>(at) + 6, memory.begin() + static_cast<long>(at) + 9),
                ElementsAre(10, 20, 30));
  }
  EXPECT_EQ(rig.device->GetLightState().mode, 0);
}

TEST(HeadsetLights, ReadingBackTakes29BytesAt29TimesTheSlot) {
  HeadsetRig rig;
  // Slot 1's record at 64 holds brightness 2; the read of slot 1 looks at 29..57 instead.
  const std::uint8_t at29[] = {0, 0, 4, 1, 0, 0, 7, 8, 9};
  const std::uint8_t at64[] = {0, 0, 2, 4, 0, 0, 1, 1, 1};
  rig.headset.SetMemory(emulator::Area::kParameters, 29, at29);
  rig.headset.SetMemory(emulator::Area::kParameters, 64, at64);
  for (const auto& [slot, brightness, speed, red] :
       std::vector<std::tuple<std::uint8_t, int, int, int>>{{1, 4, 3, 7}, {2, 0, 0, 0}}) {
    const std::uint8_t active[] = {slot};
    rig.headset.SetMemory(emulator::Area::kParameters, 0, active);
    ASSERT_EQ(rig.device->ReadLightState(), hid::RESULT_OK);
    // Slot 2 reads 58..86: its first bytes are free memory, slot 1's record starts at its byte 6.
    EXPECT_EQ(rig.device->GetLightState().brightness, brightness) << int(slot);
    EXPECT_EQ(rig.device->GetLightState().speed, slot == 2 ? 4 - 0 : speed) << int(slot);
    EXPECT_EQ(rig.device->GetLightState().red, slot == 2 ? 0 : red) << int(slot);
    EXPECT_EQ(rig.device->LightBlock()[0], slot);
  }
}

}  // namespace
}  // namespace brimvex::audio
