// The light arithmetic of the controller on its own: the synchronised effects step by step on a
// simulated clock, the mode table of the sync types, and the game light's choice of what to
// show and what to restore.
#include <gtest/gtest.h>

#include "app/game_light.h"
#include "app/sync_effect.h"
#include "devices/device_kind.h"
#include "devices/keyboard_device.h"
#include "devices/light_preview.h"
#include "devices/mouse_device.h"
#include "emulator/emulated_hid_backend.h"
#include "emulator/emulator.h"
#include "hid/command_codes.h"
#include "platform/headless_event_loop.h"
#include "platform/trace.h"

namespace brimvex::app {
namespace {

using devices::kDeviceHeadset;
using devices::kDeviceKeyboard;
using devices::kDeviceMouse;
using devices::kDeviceMousePad;

std::uint32_t Packed(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
  return r | g << 8 | b << 16 | static_cast<std::uint32_t>(a) << 24;
}

TEST(SyncModes, EachKindMapsItsFiveModesAndNothingElse) {
  const struct {
    int kind;
    int modes[5];  // breathing, static, blink, spectrum, off
  } rows[] = {{kDeviceKeyboard, {5, 6, 23, 4, 28}},
              {kDeviceMouse, {2, 3, 4, 1, 9}},
              {kDeviceMousePad, {2, 3, 4, 1, 8}},
              {kDeviceHeadset, {2, 3, 4, 1, 8}}};
  for (const auto& row : rows) {
    for (int t = 0; t < 5; ++t) {
      EXPECT_EQ(SyncTypeOfMode(row.kind, row.modes[t]), static_cast<SyncType>(t)) << row.kind;
      EXPECT_EQ(ModeOfSyncType(row.kind, static_cast<SyncType>(t)), row.modes[t]) << row.kind;
    }
  }
  EXPECT_FALSE(SyncTypeOfMode(kDeviceKeyboard, 19));  // custom colours
  EXPECT_FALSE(SyncTypeOfMode(kDeviceMouse, 6));
  EXPECT_FALSE(SyncTypeOfMode(0, 3));
  EXPECT_FALSE(ModeOfSyncType(0, SyncType::kStatic));
}

// Runs the effect at its own pace for `ms` from t = 0 and collects the distinct colours in order
// with the time each began.
std::vector<std::pair<std::uint32_t, std::uint32_t>> ColorChanges(const SyncSettings& s, std::uint32_t ms) {
  SyncEffect effect(s, 0);
  const std::uint32_t step_ms = effect.TicksPerStep() * 2;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> changes;
  for (std::uint32_t t = step_ms; t <= ms; t += step_ms) {
    const std::uint32_t c = effect.Step(t);
    if (changes.empty() || changes.back().second != c) changes.emplace_back(t, c);
  }
  return changes;
}

TEST(SyncEffect, BlinkTogglesEvery1400MsAtSpeed4) {
  SyncSettings s;
  s.type = SyncType::kBlink;
  s.speed = 4;
  s.brightness = 4;
  s.red = 10, s.green = 200, s.blue = 30;
  EXPECT_EQ(SyncEffect(s, 0).TicksPerStep(), 7u);
  const auto changes = ColorChanges(s, 6000);
  // Off until the first 1400 ms passed, then on, off, on (steps of 14 ms land on 1400 exactly).
  ASSERT_EQ(changes.size(), 5u);
  EXPECT_EQ(changes[0], std::make_pair(14u, 0u));
  EXPECT_EQ(changes[1], std::make_pair(1400u, Packed(10, 200, 30, 255)));
  EXPECT_EQ(changes[2], std::make_pair(2800u, 0u));
  EXPECT_EQ(changes[3], std::make_pair(4200u, Packed(10, 200, 30, 255)));
  EXPECT_EQ(changes[4], std::make_pair(5600u, 0u));
  // With seven colours each "on" takes the next wheel colour 14 entries on.
  s.multi_color = 1;
  const auto wheel = devices::ColorWheel();
  const auto multi = ColorChanges(s, 4300);
  ASSERT_EQ(multi.size(), 4u);
  EXPECT_EQ(multi[1].second, Packed(wheel[14].r, wheel[14].g, wheel[14].b, 255));
  EXPECT_EQ(multi[3].second, Packed(wheel[42].r, wheel[42].g, wheel[42].b, 255));
}

TEST(SyncEffect, StepsOfEachType) {
  const auto& wheel = devices::ColorWheel();
  const auto& curve = devices::BreathingCurve();
  const auto wheel_at = [&](std::size_t i, std::uint8_t a) { return Packed(wheel[i].r, wheel[i].g, wheel[i].b, a); };
  struct Case {
    SyncType type;
    std::uint8_t brightness, speed, direction, multi;
    std::vector<std::uint32_t> first_steps;
  };
  const Case cases[] = {
      {SyncType::kStatic, 2, 0, 0, 0, {Packed(1, 2, 3, 126), Packed(1, 2, 3, 126)}},
      {SyncType::kOff, 4, 0, 0, 0, {0, 0}},
      // The wheel runs over its first 192 entries, backwards with direction 0.
      {SyncType::kSpectrum, 4, 0, 1, 0, {wheel_at(1, 255), wheel_at(2, 255)}},
      {SyncType::kSpectrum, 1, 0, 0, 0, {wheel_at(191, 63), wheel_at(190, 63)}},
      // Breathing: the curve over 128 phases scales the level; the own colour without seven colours.
      {SyncType::kBreathing, 4, 0, 1, 0,
       {Packed(1, 2, 3, static_cast<std::uint8_t>(255 * curve[1] / 256)),
        Packed(1, 2, 3, static_cast<std::uint8_t>(255 * curve[2] / 256))}},
      // With seven colours a phase below 2 moves the wheel on by 16.
      {SyncType::kBreathing, 4, 0, 1, 1,
       {wheel_at(16, static_cast<std::uint8_t>(255 * curve[1] / 256)),
        wheel_at(16, static_cast<std::uint8_t>(255 * curve[2] / 256))}},
  };
  for (const Case& c : cases) {
    SyncSettings s{c.type, c.brightness, c.speed, c.direction, c.multi, 1, 2, 3};
    SyncEffect effect(s, 0);
    EXPECT_EQ(effect.TicksPerStep(), 28u);
    for (std::size_t i = 0; i < c.first_steps.size(); ++i)
      EXPECT_EQ(effect.Step(static_cast<std::uint32_t>(56 * (i + 1))), c.first_steps[i])
          << static_cast<int>(c.type) << " step " << i;
  }
}

class GameLightTest : public ::testing::Test {
 protected:
  struct Write {
    devices::COmbrixUSBDevice* device;
    std::uint8_t mode, saved;
  };
  GameLight game_{[this](devices::COmbrixUSBDevice& d, const profiles::LightInfo& info) {
    writes_.push_back({&d, info.mode, info.saved_mode});
    d.SetLightInfo(info);
    return result_;
  }};
  void SetMode(devices::COmbrixUSBDevice& d, std::uint8_t mode, std::uint8_t saved = 0) {
    profiles::LightInfo info;
    info.mode = mode;
    info.saved_mode = saved;
    d.SetLightInfo(info);
  }
  emulator::Emulator emu_;
  emulator::EmulatedHidBackend backend_{emu_};
  platform::HeadlessEventLoop loop_;
  devices::COmbrixKeyboardDevice keyboard_{backend_, loop_};
  devices::COmbrixMouseDevice mouse_{backend_, loop_};
  std::vector<Write> writes_;
  int result_ = hid::RESULT_OK;
};

TEST_F(GameLightTest, TheFirstVariant0EventKeepsTheModeToRestore) {
  struct Case {
    std::uint8_t current;
    std::uint8_t restored;
  };
  // 0 comes back as 1; every other mode (also past 20) as itself.
  for (const Case c : {Case{7, 7}, Case{0, 1}, Case{25, 25}, Case{20, 20}}) {
    SetMode(keyboard_, c.current);
    keyboard_.CommandChannelRef().SetLightSync(true);
    game_.OnEvent(&keyboard_, 0, 3);
    EXPECT_FALSE(keyboard_.CommandChannelRef().LightSync());
    EXPECT_EQ(keyboard_.GetLightState().mode, 3);
    EXPECT_EQ(keyboard_.GetLightState().saved_mode, c.restored);
    // A second variant-0 event while the restore is pending keeps what was kept.
    game_.OnEvent(&keyboard_, 0, 4);
    EXPECT_EQ(keyboard_.GetLightState().saved_mode, c.restored);
    ASSERT_TRUE(game_.RestorePending());
    game_.Restore();
    EXPECT_FALSE(game_.RestorePending());
    EXPECT_EQ(keyboard_.GetLightState().mode, c.restored) << int{c.current};
  }
}

TEST_F(GameLightTest, VariantsAndWordsOutOfRange) {
  SetMode(keyboard_, 7, 9);
  for (const auto& [variant, mode] : {std::pair<std::uint64_t, std::int64_t>{3, 2}, {0, 256}, {1, -1}})
    game_.OnEvent(&keyboard_, variant, mode);
  game_.OnEvent(nullptr, 0, 2);
  EXPECT_TRUE(writes_.empty());
  EXPECT_FALSE(game_.RestorePending());
  // Variants 1 and 2 leave the kept mode: the restore brings back byte 13 as it was.
  game_.OnEvent(&keyboard_, 1, 2);
  game_.OnEvent(&keyboard_, 2, 255);
  EXPECT_EQ(keyboard_.GetLightState().mode, 255);
  game_.Restore();
  EXPECT_EQ(keyboard_.GetLightState().mode, 9);
}

TEST_F(GameLightTest, TheRestoreGoesToEachDeviceThatWasChangedAndAFailedWriteIsTraced) {
  SetMode(keyboard_, 7);
  SetMode(mouse_, 5);
  game_.OnEvent(&keyboard_, 0, 3);
  game_.OnEvent(&mouse_, 0, 1);
  writes_.clear();
  platform::TraceCapture traces;
  result_ = hid::RESULT_FAILED;
  game_.Restore();
  ASSERT_EQ(writes_.size(), 2u);
  EXPECT_EQ(writes_[0].device, &keyboard_);
  EXPECT_EQ(writes_[0].mode, 7);
  EXPECT_EQ(writes_[1].device, &mouse_);
  EXPECT_EQ(writes_[1].mode, 5);
  EXPECT_EQ(traces.Count("game light: restored mode not written to the device (0)"), 2u);
}

}  // namespace
}  // namespace brimvex::app
