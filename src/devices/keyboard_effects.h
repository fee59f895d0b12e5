#pragma once
// The keyboard's own light effects: each step fills the LED frame (one entry per page light) from
// the light record in force and the effect state it carries between steps. Plain arithmetic over
// the keyboard's geometry (devices/keyboard_layout.h); the device's light worker calls the steps
// under its frame lock at the pace of its mode table, and its event worker feeds key presses in.
#include <array>
#include <cstdint>
#include <span>

#include "devices/keyboard_layout.h"
#include "devices/light_preview.h"
#include "profiles/profile_records.h"

namespace brimvex::devices {

// A ripple spreading from a pressed key over the effect grid.
struct Ripple {
  bool active = false;
  std::uint8_t column = 0;
  std::uint8_t row = 0;
  std::uint8_t radius = 0;
  std::uint8_t hue = 0;  // wheel index of a 7-colour ripple
};

struct KeyboardEffectState {
  std::array<std::uint8_t, kMaxLeds> level{};  // reactive brightness of each page light
  std::array<std::uint8_t, kMaxLeds> color{};  // wheel index of each page light
  std::array<std::uint8_t, kMaxLeds> held{};   // 1 while the key is held down
  std::array<std::uint8_t, kMaxLeds> phase{};  // per-key breathing phase (pulse curve)
  std::array<Ripple, 4> ripples{};
  std::uint8_t next_ripple = 0;
  std::uint8_t wave_phase = 0;  // column, row, key-order and radial waves
  std::uint16_t position = 0;   // trace, sweep, sequence and bounce
  bool backwards = false;       // bounce
  std::uint32_t steps = 0;      // steps since the mode began
  std::uint32_t random = 0x2545F491u;
};

// Effect steps by mode index; `frame` holds one entry per page light.
void ColumnWave(const LightInfo& info, KeyboardEffectState& s, std::span<Rgba> frame, int entries_per_column);
void KeyOrderWave(const LightInfo& info, KeyboardEffectState& s, std::span<Rgba> frame);
void HoldGlow(const LightInfo& info, KeyboardEffectState& s, std::span<Rgba> frame);
// Modes 8 (the colours advance on every light), 9 and 13 (spreads every second step).
void RippleStep(int mode, const LightInfo& info, KeyboardEffectState& s, std::span<Rgba> frame);
void Rain(const LightInfo& info, KeyboardEffectState& s, std::span<Rgba> frame);
void KeyColorCycle(const LightInfo& info, KeyboardEffectState& s, std::span<Rgba> frame);
void RowWave(const LightInfo& info, KeyboardEffectState& s, std::span<Rgba> frame);
void Sequence(const LightInfo& info, KeyboardEffectState& s, std::span<Rgba> frame);
// Modes 15 (+2 a step) and 22 (+1).
void KeyBreathing(const LightInfo& info, KeyboardEffectState& s, std::span<Rgba> frame, int step);
void EdgeWave(const LightInfo& info, KeyboardEffectState& s, std::span<Rgba> frame);
void ZzccColor(const LightInfo& info, std::span<Rgba> frame);
void RadialWave(const LightInfo& info, KeyboardEffectState& s, std::span<Rgba> frame);
void Trace(const LightInfo& info, KeyboardEffectState& s, std::span<Rgba> frame);
void Sweep(const LightInfo& info, KeyboardEffectState& s, std::span<Rgba> frame);
// Modes 19 and 30: the colours stay, every alpha becomes the brightness level.
void KeepColorsAtBrightness(const LightInfo& info, std::span<Rgba> frame);

// The step of one of the keyboard's own modes (1-3, 7-19, 21, 22, 24, 25, 29, 30); other modes
// leave the frame.
void KeyboardEffectStep(int mode, const LightInfo& info, KeyboardEffectState& s, std::span<Rgba> frame);

// The wheel entry the ZZCC sub-mode selects (1: 25, 2: 70, 3: 95, other: 174).
std::uint8_t ZzccWheelIndex(std::uint8_t sub_mode);

// The state a mode starts from.
void StartMode(int mode, KeyboardEffectState& s);
// A press (true) or release of the key of page light `light` in mode `mode`.
void KeyEvent(int mode, int light, bool press, KeyboardEffectState& s);

// Per-light overlays ("LightList" entries): mode 1 breathes on its own phase, 2 blinks with its
// own period, 3 cycles through the wheel; other modes leave the light as the effect made it.
inline constexpr std::uint8_t kOverlayBreathing = 1;
inline constexpr std::uint8_t kOverlayBlink = 2;
inline constexpr std::uint8_t kOverlayColorCycle = 3;
struct OverlayState {
  std::array<std::uint8_t, kMaxLeds> phase{};
  std::array<std::uint32_t, kMaxLeds> toggled_ms{};
  std::array<std::uint8_t, kMaxLeds> on{};
};
// One overlay step at `now_ms` over the entries that are present.
void OverlayStep(std::span<const profiles::LedEntry> entries, OverlayState& s, std::uint32_t now_ms,
                 std::span<Rgba> frame);

}  // namespace brimvex::devices
