#include "app/sync_effect.h"

#include <algorithm>

#include "devices/device_kind.h"
#include "devices/light_preview.h"

namespace brimvex::app {
namespace {

// Light modes per sync type: keyboard, mouse, mouse pad and headset.
struct ModeRow {
  SyncType type;
  int keyboard, mouse, pad, headset;
};
constexpr ModeRow kModes[] = {
    {SyncType::kBreathing, 5, 2, 2, 2}, {SyncType::kStatic, 6, 3, 3, 3}, {SyncType::kBlink, 23, 4, 4, 4},
    {SyncType::kSpectrum, 4, 1, 1, 1},  {SyncType::kOff, 28, 9, 8, 8},
};

std::optional<int> ModeOf(const ModeRow& row, int kind) {
  switch (kind) {
    case devices::kDeviceKeyboard:
      return row.keyboard;
    case devices::kDeviceMouse:
      return row.mouse;
    case devices::kDeviceMousePad:
      return row.pad;
    case devices::kDeviceHeadset:
      return row.headset;
    default:
      return std::nullopt;
  }
}

constexpr std::uint8_t kWheelEntries = 192;

std::uint32_t Pack(devices::Rgb c, std::uint32_t brightness) {
  return static_cast<std::uint32_t>(c.r) | static_cast<std::uint32_t>(c.g) << 8 |
         static_cast<std::uint32_t>(c.b) << 16 | (brightness & 0xFF) << 24;
}

}  // namespace

std::optional<SyncType> SyncTypeOfMode(int kind, int mode) {
  for (const ModeRow& row : kModes)
    if (ModeOf(row, kind) == mode) return row.type;
  return std::nullopt;
}

std::optional<int> ModeOfSyncType(int kind, SyncType type) {
  for (const ModeRow& row : kModes)
    if (row.type == type) return ModeOf(row, kind);
  return std::nullopt;
}

SyncEffect::SyncEffect(const SyncSettings& settings, std::uint32_t start_ms)
    : settings_(settings), last_toggle_ms_(start_ms) {}

std::uint32_t SyncEffect::TicksPerStep() const { return kSyncSpeedTable[std::min<std::size_t>(settings_.speed, 4)]; }

std::uint32_t SyncEffect::Step(std::uint32_t now_ms) {
  const std::uint32_t level = devices::kBrightnessLevels[std::min<std::size_t>(settings_.brightness, 4)];
  const devices::Rgb own{settings_.red, settings_.green, settings_.blue};
  const auto& wheel = devices::ColorWheel();
  switch (settings_.type) {
    case SyncType::kSpectrum:
      wheel_ = devices::PhaseStep(settings_.direction, kWheelEntries, wheel_, 1);
      return Pack(wheel[wheel_], level);
    case SyncType::kBreathing: {
      phase_ = devices::PhaseStep(settings_.direction, 128, phase_, 1);
      if (settings_.multi_color != 0 && phase_ < 2) {
        wheel_ = static_cast<std::uint8_t>(wheel_ + 16);
        if (wheel_ >= kWheelEntries) wheel_ = 0;
      }
      const devices::Rgb c = settings_.multi_color != 0 ? wheel[wheel_] : own;
      return Pack(c, level * devices::BreathingCurve()[phase_] / 256);
    }
    case SyncType::kBlink:
      if (now_ms - last_toggle_ms_ >= TicksPerStep() * 200u) {
        last_toggle_ms_ = now_ms;
        blink_on_ = !blink_on_;
        blink_color_ = static_cast<std::uint8_t>(blink_color_ + 14);
        if (blink_color_ >= kWheelEntries) blink_color_ = 0;
      }
      if (!blink_on_) return 0;
      return Pack(settings_.multi_color != 0 ? wheel[blink_color_] : own, level);
    case SyncType::kStatic:
      return Pack(own, level);
    case SyncType::kOff:
      return 0;
  }
  return 0;
}

}  // namespace brimvex::app
