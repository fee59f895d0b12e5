#pragma once
// The light preview of a device: the shared colour and brightness curves, the phase step, the
// preview effects that fill an LED frame, and the reactive levels of the wave and key effects.
// Plain data and arithmetic; the device classes call it from their light workers.
#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "profiles/profile_records.h"

namespace brimvex::devices {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// One LED frame entry: colour and the brightness applied to it when the frame is sent.
struct Rgba {
  std::uint8_t r = 0, g = 0, b = 0, a = 0;
  friend bool operator==(const Rgba&, const Rgba&) = default;
};

// The 16-byte light record in force on a device.
using profiles::LightInfo;

const std::array<Rgb, 256>& ColorWheel();
const std::array<std::uint8_t, 128>& BreathingCurve();
const std::array<std::uint8_t, 96>& WaveCurve();
const std::array<std::uint8_t, 192>& PulseCurve();
inline constexpr std::array<std::uint8_t, 5> kBrightnessLevels{0, 63, 126, 190, 255};
inline constexpr std::array<Rgb, 4> kFourColors{{{0, 255, 180}, {0, 255, 0}, {255, 255, 255}, {255, 0, 0}}};
// Blink period for speed 0..4, in units of 200 ms.
inline constexpr std::array<std::uint8_t, 5> kBlinkPeriodUnits{28, 23, 18, 13, 7};
inline constexpr std::uint32_t kBlinkUnitMs = 200;

// Brightness level of a record (levels past 4 read as 4).
std::uint8_t BrightnessLevel(const LightInfo& info);
std::uint32_t BlinkPeriodMs(std::uint8_t speed);

// Phase step of the breathing and spectrum previews (8-bit arithmetic).
std::uint8_t PhaseStep(std::uint8_t direction, std::uint8_t limit, std::uint8_t phase, std::uint8_t step);

// State the preview effects carry between calls.
struct PreviewState {
  std::uint8_t phase = 0;
  std::uint8_t color_index = 0;
  bool blink_on = false;
  std::uint32_t blink_tick = 0;  // ms of the last toggle
};

// Each effect fills every entry of `frame` with one colour and alpha. `now_ms` is the tick count.
void PreviewBreathing(const LightInfo& info, PreviewState& s, std::span<Rgba> frame);
void PreviewBreathingFourColors(const LightInfo& info, PreviewState& s, std::span<Rgba> frame);
void PreviewStatic(const LightInfo& info, std::span<Rgba> frame);
void PreviewSpectrum(const LightInfo& info, PreviewState& s, std::span<Rgba> frame);
void PreviewBlink(const LightInfo& info, PreviewState& s, std::uint32_t now_ms, std::span<Rgba> frame);
void PreviewBlinkFourColors(const LightInfo& info, PreviewState& s, std::uint32_t now_ms, std::span<Rgba> frame);
void PreviewOff(std::span<Rgba> frame);

// Reactive levels: one per LED position plus the 23 cells of the wave row.
inline constexpr std::size_t kMaxLeds = 170;
inline constexpr std::size_t kWaveRowCells = 23;
struct ReactiveLevels {
  std::array<std::uint8_t, kMaxLeds> level{};
  std::array<std::uint8_t, kWaveRowCells> wave_row{};
};
// Lowers one level by the step of its band; mode 29 is the audio mode.
void DecayReactiveLevel(ReactiveLevels& r, std::size_t position, int mode);
std::uint8_t DecayedLevel(std::uint8_t level, int mode);
// The first 9 wave-row cells that are set put level 255 into positions 0..8.
void SeedReactiveLevels(ReactiveLevels& r);
void RotateWaveRow(ReactiveLevels& r, int direction);
void ClearReactiveLevels(ReactiveLevels& r);

// The frame as the device takes it: 3 bytes a position, each colour scaled by alpha
// ((c * a) / 256), position 170 and later left out, in a zeroed 512-byte buffer.
std::array<std::uint8_t, 512> ScaleFrame(std::span<const Rgba> frame);

// A notice of the device's event interface (a 16-bit code above 1026).
struct DeviceNotice {
  enum class Kind { kIgnored, kProfile, kKeyPress, kKeyRelease };
  Kind kind = Kind::kIgnored;
  int profile = -1;      // the active profile, when given
  int sub_setting = -1;  // the sub-setting, when given
  int key_slot = -1;     // keyboard key presses and releases
};
// `keyboard`: the key press and release notices exist only there.
DeviceNotice DecodeNotice(std::uint16_t code, bool keyboard);

}  // namespace brimvex::devices
