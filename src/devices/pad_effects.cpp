#include "devices/pad_effects.h"

#include <algorithm>

namespace brimvex::devices {
namespace {

constexpr int kWheelCycle = 192;  // wheel entries 192..255 repeat 0..63
constexpr int kRippleMode = 6;    // the decay bands of the pad's ripple

Rgba Entry(Rgb c, std::uint8_t alpha) { return {c.r, c.g, c.b, alpha}; }
std::uint8_t Scale(int value, std::uint8_t level) { return static_cast<std::uint8_t>(value * level / 256); }
Rgb Wheel(int index) { return ColorWheel()[static_cast<std::size_t>(index % kWheelCycle)]; }

// Moves the one lit cell of the first `cells` cells of the row by one (seeding cell 0 when none
// is lit).
void MoveRow(PadEffectState& s, std::size_t cells, std::uint8_t direction) {
  auto row = std::span<std::uint8_t>(s.row).first(cells);
  if (std::none_of(row.begin(), row.end(), [](std::uint8_t c) { return c != 0; })) {
    row[0] = 1;
    return;
  }
  if (direction != 0)
    std::rotate(row.rbegin(), row.rbegin() + 1, row.rend());
  else
    std::rotate(row.begin(), row.begin() + 1, row.end());
}

void Ripple(const LightInfo& info, PadEffectState& s, std::span<Rgba> frame, bool groups) {
  const std::size_t lights = std::min(frame.size(), kMaxLeds);
  if (lights == 0) return;
  const std::size_t cells = groups ? kPadGroupCells : lights;
  ++s.steps;
  for (std::size_t i = 0; i < cells; ++i) s.level[i] = DecayedLevel(s.level[i], kRippleMode);
  if (s.steps % 2 == 0) {
    MoveRow(s, cells, info.direction);
    for (std::size_t i = 0; i < cells; ++i)
      if (s.row[i] != 0) s.level[i] = 255;
    s.hue = static_cast<std::uint8_t>((s.hue + 1) % kWheelCycle);
  }
  const std::uint8_t b = BrightnessLevel(info);
  for (std::size_t i = 0; i < lights; ++i) {
    const std::uint8_t level = s.level[groups ? PadGroupOf(i, lights) : i];
    const Rgb c = info.multi_color != 0 ? Wheel(s.hue + 12 * static_cast<int>(i)) : Rgb{info.red, info.green, info.blue};
    frame[i] = Entry(c, Scale(level, b));
  }
}

}  // namespace

std::size_t PadGroupOf(std::size_t light, std::size_t lights) {
  return lights == 0 ? 0 : std::min(kPadGroups - 1, light * kPadGroups / lights);
}

void PadWave(const LightInfo& info, PadEffectState& s, std::span<Rgba> frame) {
  const bool multi = info.multi_color != 0;
  const int limit = multi ? kWheelCycle : static_cast<int>(WaveCurve().size());
  s.phase = PhaseStep(info.direction, static_cast<std::uint8_t>(limit), s.phase, 1);
  const std::uint8_t b = BrightnessLevel(info);
  for (std::size_t i = 0; i < frame.size(); ++i) {
    const int index = (s.phase + 7 * static_cast<int>(i)) % limit;
    frame[i] = multi ? Entry(Wheel(index), b)
                     : Entry({info.red, info.green, info.blue}, Scale(WaveCurve()[static_cast<std::size_t>(index)], b));
  }
}

void PadRipple(const LightInfo& info, PadEffectState& s, std::span<Rgba> frame) { Ripple(info, s, frame, false); }

void PadGroupRipple(const LightInfo& info, PadEffectState& s, std::span<Rgba> frame) { Ripple(info, s, frame, true); }

}  // namespace brimvex::devices
