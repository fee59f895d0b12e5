#include "devices/keyboard_effects.h"

#include <algorithm>
#include <cstdlib>

namespace brimvex::devices {
namespace {

constexpr int kWheelCycle = 192;  // wheel entries 192..255 repeat 0..63
constexpr int kSequenceGroups = kEffectRows + kEffectColumns;

Rgb RecordColor(const LightInfo& info) { return {info.red, info.green, info.blue}; }
Rgb WheelColor(int index) { return ColorWheel()[static_cast<std::size_t>(index % kWheelCycle)]; }
Rgb Pick(const LightInfo& info, int wheel_index) {
  return info.multi_color != 0 ? WheelColor(wheel_index) : RecordColor(info);
}
std::uint8_t Scale(int value, std::uint8_t level) { return static_cast<std::uint8_t>(value * level / 256); }
Rgba At(Rgb c, std::uint8_t alpha) { return {c.r, c.g, c.b, alpha}; }

void Clear(std::span<Rgba> frame) { std::fill(frame.begin(), frame.end(), Rgba{}); }

std::uint32_t NextRandom(KeyboardEffectState& s) {
  // xorshift32: deterministic, cheap, good enough for picking keys and colours.
  std::uint32_t x = s.random;
  x ^= x << 13;
  x ^= x >> 17;
  x ^= x << 5;
  s.random = x;
  return x;
}
std::uint8_t RandomHue(KeyboardEffectState& s) { return static_cast<std::uint8_t>(NextRandom(s) % kWheelCycle); }

void Decay(KeyboardEffectState& s, int mode) {
  for (auto& l : s.level) l = DecayedLevel(l, mode);
}

// Lights the frame from the reactive levels: colour by wheel index (7-colour, or always when
// `wheel`) or the record's colour, brightness level x reactive level.
void PaintLevels(const LightInfo& info, const KeyboardEffectState& s, std::span<Rgba> frame, bool wheel) {
  const std::uint8_t b = BrightnessLevel(info);
  for (std::size_t i = 0; i < frame.size() && i < kMaxLeds; ++i) {
    const Rgb c = wheel ? WheelColor(s.color[i]) : Pick(info, s.color[i]);
    frame[i] = At(c, Scale(s.level[i], b));
  }
}

void Light(KeyboardEffectState& s, int light, std::uint8_t hue) {
  if (light < 0 || light >= static_cast<int>(kMaxLeds)) return;
  s.level[static_cast<std::size_t>(light)] = 255;
  s.color[static_cast<std::size_t>(light)] = hue;
}

int Chebyshev(int c0, int r0, int c1, int r1) { return std::max(std::abs(c0 - c1), std::abs(r0 - r1)); }

void SetEntry(std::span<Rgba> frame, int light, Rgba value) {
  if (light >= 0 && static_cast<std::size_t>(light) < frame.size()) frame[static_cast<std::size_t>(light)] = value;
}

}  // namespace

std::uint8_t ZzccWheelIndex(std::uint8_t sub_mode) {
  switch (sub_mode) {
    case 1:
      return 25;
    case 2:
      return 70;
    case 3:
      return 95;
    default:
      return 174;
  }
}

void ColumnWave(const LightInfo& info, KeyboardEffectState& s, std::span<Rgba> frame, int entries_per_column) {
  const bool multi = info.multi_color != 0;
  const int limit = multi ? kWheelCycle : static_cast<int>(WaveCurve().size());
  s.wave_phase = PhaseStep(info.direction, static_cast<std::uint8_t>(limit), s.wave_phase, 1);
  const std::uint8_t b = BrightnessLevel(info);
  Clear(frame);
  for (int c = 0; c < kEffectColumns; ++c) {
    const int index = (s.wave_phase + entries_per_column * c) % limit;
    const Rgba value = multi ? At(WheelColor(index), b)
                             : At(RecordColor(info), Scale(WaveCurve()[static_cast<std::size_t>(index)], b));
    for (int r = 0; r < kEffectRows; ++r) SetEntry(frame, EffectCell(c, r), value);
  }
}

void KeyOrderWave(const LightInfo& info, KeyboardEffectState& s, std::span<Rgba> frame) {
  const bool multi = info.multi_color != 0;
  const int limit = multi ? kWheelCycle : static_cast<int>(WaveCurve().size());
  s.wave_phase = PhaseStep(info.direction, static_cast<std::uint8_t>(limit), s.wave_phase, 1);
  const std::uint8_t b = BrightnessLevel(info);
  Clear(frame);
  const auto& order = PageLightOrder();
  for (int k = 0; k < kKeyboardPageKeys; ++k) {
    const int index = (s.wave_phase + 5 * k) % limit;
    SetEntry(frame, order[static_cast<std::size_t>(k)],
             multi ? At(WheelColor(index), b)
                   : At(RecordColor(info), Scale(WaveCurve()[static_cast<std::size_t>(index)], b)));
  }
}

void HoldGlow(const LightInfo& info, KeyboardEffectState& s, std::span<Rgba> frame) {
  for (std::size_t i = 0; i < kMaxLeds; ++i) {
    const int l = s.level[i];
    s.level[i] = static_cast<std::uint8_t>(s.held[i] != 0 ? std::min(255, l + 15) : std::max(0, l - 5));
  }
  PaintLevels(info, s, frame, false);
}

void RippleStep(int mode, const LightInfo& info, KeyboardEffectState& s, std::span<Rgba> frame) {
  ++s.steps;
  Decay(s, mode);
  const bool spread = mode != 13 || s.steps % 2 == 0;
  for (Ripple& r : s.ripples) {
    if (!r.active || !spread) continue;
    if (++r.radius >= kEffectColumns) {
      r.active = false;
      continue;
    }
    for (int c = 0; c < kEffectColumns; ++c)
      for (int row = 0; row < kEffectRows; ++row)
        if (Chebyshev(c, row, r.column, r.row) == r.radius) {
          const int light = EffectCell(c, row);
          if (light >= static_cast<int>(kMaxLeds)) continue;
          s.level[static_cast<std::size_t>(light)] = 255;
          if (mode != 8) s.color[static_cast<std::size_t>(light)] = r.hue;
        }
  }
  if (mode == 8)
    for (auto& c : s.color) c = static_cast<std::uint8_t>((c + 7) % kWheelCycle);
  PaintLevels(info, s, frame, mode == 8);
}

void Rain(const LightInfo& info, KeyboardEffectState& s, std::span<Rgba> frame) {
  Decay(s, 10);
  for (int k = 0; k < 6; ++k) {
    const int light = static_cast<int>(NextRandom(s) % kKeyboardPageKeys);
    Light(s, light, RandomHue(s));
  }
  PaintLevels(info, s, frame, false);
}

void KeyColorCycle(const LightInfo& info, KeyboardEffectState& s, std::span<Rgba> frame) {
  const std::uint8_t b = BrightnessLevel(info);
  for (std::size_t i = 0; i < frame.size() && i < kMaxLeds; ++i) {
    s.color[i] = static_cast<std::uint8_t>((s.color[i] + 1) % kWheelCycle);
    frame[i] = At(WheelColor(s.color[i]), b);
  }
}

void RowWave(const LightInfo& info, KeyboardEffectState& s, std::span<Rgba> frame) {
  s.wave_phase = PhaseStep(info.direction, kWheelCycle, s.wave_phase, 1);
  const std::uint8_t b = BrightnessLevel(info);
  Clear(frame);
  for (int r = 0; r < kEffectRows; ++r) {
    const Rgba value = At(WheelColor(s.wave_phase + 24 * r), b);
    for (int c = 0; c < kEffectColumns; ++c) SetEntry(frame, EffectCell(c, r), value);
  }
}

void Sequence(const LightInfo& info, KeyboardEffectState& s, std::span<Rgba> frame) {
  // Rows from the top, then columns from the left, each lit in turn with a fading trail.
  Decay(s, 14);
  const int group = s.position % kSequenceGroups;
  const auto hue = static_cast<std::uint8_t>((13 * s.position) % kWheelCycle);
  for (int c = 0; c < kEffectColumns; ++c)
    for (int r = 0; r < kEffectRows; ++r)
      if ((group < kEffectRows && r == group) || (group >= kEffectRows && c == group - kEffectRows))
        Light(s, EffectCell(c, r), hue);
  s.position = static_cast<std::uint16_t>((s.position + 1) % kSequenceGroups);
  PaintLevels(info, s, frame, false);
}

void KeyBreathing(const LightInfo& info, KeyboardEffectState& s, std::span<Rgba> frame, int step) {
  const std::uint8_t b = BrightnessLevel(info);
  const int limit = static_cast<int>(PulseCurve().size());
  for (std::size_t i = 0; i < frame.size() && i < kMaxLeds; ++i) {
    int phase = s.phase[i] + step;
    if (phase >= limit) {
      phase -= limit;
      s.color[i] = RandomHue(s);  // a new colour for each breath
    }
    s.phase[i] = static_cast<std::uint8_t>(phase);
    frame[i] = At(Pick(info, s.color[i]), Scale(PulseCurve()[static_cast<std::size_t>(phase)], b));
  }
}

void EdgeWave(const LightInfo& info, KeyboardEffectState& s, std::span<Rgba> frame) {
  // A band four columns wide runs across the board and turns at either edge.
  if (s.backwards ? s.position == 0 : s.position + 1 >= kEffectColumns) s.backwards = !s.backwards;
  s.position = static_cast<std::uint16_t>(s.backwards ? s.position - 1 : s.position + 1);
  ++s.steps;
  const std::uint8_t b = BrightnessLevel(info);
  Clear(frame);
  for (int c = 0; c < kEffectColumns; ++c) {
    const int d = std::abs(c - static_cast<int>(s.position));
    if (d > 3) continue;
    const Rgba value = At(Pick(info, static_cast<int>((7u * static_cast<std::uint32_t>(c) + s.steps) % kWheelCycle)), Scale(255 - 64 * d, b));
    for (int r = 0; r < kEffectRows; ++r) SetEntry(frame, EffectCell(c, r), value);
  }
}

void ZzccColor(const LightInfo& info, std::span<Rgba> frame) {
  const Rgba value = At(ColorWheel()[ZzccWheelIndex(info.zzcc_mode)], BrightnessLevel(info));
  std::fill(frame.begin(), frame.end(), value);
}

void RadialWave(const LightInfo& info, KeyboardEffectState& s, std::span<Rgba> frame) {
  s.wave_phase = PhaseStep(info.direction, kWheelCycle, s.wave_phase, 1);
  const std::uint8_t b = BrightnessLevel(info);
  const auto& rings = RadialRings();
  for (std::size_t i = 0; i < frame.size() && i < kMaxLeds; ++i)
    frame[i] = At(WheelColor(s.wave_phase + 7 * rings[i]), b);
}

void Trace(const LightInfo& info, KeyboardEffectState& s, std::span<Rgba> frame) {
  Decay(s, 21);
  const auto& order = PageLightOrder();
  const auto n = static_cast<std::uint16_t>(order.size());
  s.position = static_cast<std::uint16_t>(info.direction != 0 ? (s.position + 1) % n : (s.position + n - 1) % n);
  Light(s, order[s.position], static_cast<std::uint8_t>((5 * s.position) % kWheelCycle));
  PaintLevels(info, s, frame, false);
}

void Sweep(const LightInfo& info, KeyboardEffectState& s, std::span<Rgba> frame) {
  for (std::size_t i = 0; i < kMaxLeds; ++i) {
    if (s.level[i] == 0) continue;
    s.level[i] = static_cast<std::uint8_t>(std::max(0, s.level[i] - 5));
    s.color[i] = static_cast<std::uint8_t>((s.color[i] + 3) % kWheelCycle);
  }
  s.position = static_cast<std::uint16_t>(info.direction != 0 ? (s.position + 1) % kSweepSteps
                                                               : (s.position + kSweepSteps - 1) % kSweepSteps);
  s.wave_phase = static_cast<std::uint8_t>((s.wave_phase + 3) % kWheelCycle);
  for (std::uint8_t light : SweepTable()[s.position]) Light(s, light, s.wave_phase);
  PaintLevels(info, s, frame, false);
}

void KeepColorsAtBrightness(const LightInfo& info, std::span<Rgba> frame) {
  const std::uint8_t b = BrightnessLevel(info);
  for (Rgba& e : frame) e.a = b;
}

void KeyboardEffectStep(int mode, const LightInfo& info, KeyboardEffectState& s, std::span<Rgba> frame) {
  switch (mode) {
    case 1:
      ColumnWave(info, s, frame, 7);
      break;
    case 2:
      ColumnWave(info, s, frame, 2);
      break;
    case 3:
      KeyOrderWave(info, s, frame);
      break;
    case 7:
    case 25:
      HoldGlow(info, s, frame);
      break;
    case 8:
    case 9:
    case 13:
      RippleStep(mode, info, s, frame);
      break;
    case 10:
      Rain(info, s, frame);
      break;
    case 11:
      KeyColorCycle(info, s, frame);
      break;
    case 12:
      RowWave(info, s, frame);
      break;
    case 14:
      Sequence(info, s, frame);
      break;
    case 15:
      KeyBreathing(info, s, frame, 2);
      break;
    case 16:
      EdgeWave(info, s, frame);
      break;
    case 17:
      ZzccColor(info, frame);
      break;
    case 18:
      RadialWave(info, s, frame);
      break;
    case 19:
    case 29:
    case 30:
      KeepColorsAtBrightness(info, frame);
      break;
    case 21:
      Trace(info, s, frame);
      break;
    case 22:
      KeyBreathing(info, s, frame, 1);
      break;
    case 24:
      Sweep(info, s, frame);
      break;
    default:
      break;
  }
}

void StartMode(int mode, KeyboardEffectState& s) {
  const std::uint32_t random = s.random;
  s = KeyboardEffectState{};
  s.random = random;
  if (mode == 11) {
    const auto& order = PageLightOrder();
    for (std::size_t k = 0; k < order.size(); ++k) s.color[order[k]] = static_cast<std::uint8_t>((3 * k) % kWheelCycle);
  } else if (mode == 15 || mode == 22) {
    for (std::size_t i = 0; i < kMaxLeds; ++i) {
      s.phase[i] = static_cast<std::uint8_t>(NextRandom(s) % PulseCurve().size());
      s.color[i] = RandomHue(s);
    }
  }
}

void KeyEvent(int mode, int light, bool press, KeyboardEffectState& s) {
  if (light < 0 || light >= static_cast<int>(kMaxLeds)) return;
  const auto i = static_cast<std::size_t>(light);
  int column = 0;
  int row = 0;
  switch (mode) {
    case 7:
      if (press) Light(s, light, RandomHue(s));
      s.held[i] = press ? 1 : 0;
      break;
    case 8:
    case 9:
    case 13:
      if (!press || !EffectCellOf(light, column, row)) break;
      Light(s, light, RandomHue(s));
      s.ripples[s.next_ripple] = Ripple{true, static_cast<std::uint8_t>(column), static_cast<std::uint8_t>(row), 0,
                                        s.color[i]};
      s.next_ripple = static_cast<std::uint8_t>((s.next_ripple + 1) % s.ripples.size());
      break;
    case 25:
    case 29:  // a beat of the audio mode 2
      if (!press || !EffectCellOf(light, column, row)) break;
      for (int c = column - 1; c <= column + 1; ++c)
        for (int r = row - 1; r <= row + 1; ++r) Light(s, EffectCell(c, r), RandomHue(s));
      break;
    default:
      break;
  }
}

void OverlayStep(std::span<const profiles::LedEntry> entries, OverlayState& s, std::uint32_t now_ms,
                 std::span<Rgba> frame) {
  const std::size_t n = std::min({entries.size(), frame.size(), kMaxLeds});
  for (std::size_t i = 0; i < n; ++i) {
    const profiles::LedEntry& e = entries[i];
    if (e.present == 0) continue;
    const std::uint8_t level = kBrightnessLevels[std::min<std::size_t>(e.brightness, 4)];
    const Rgb own{e.red, e.green, e.blue};
    switch (e.mode) {
      case kOverlayBreathing: {
        s.phase[i] = static_cast<std::uint8_t>((s.phase[i] + 1) % BreathingCurve().size());
        const Rgb c = e.multi_color != 0 ? WheelColor(s.phase[i]) : own;
        frame[i] = At(c, Scale(BreathingCurve()[s.phase[i]], level));
        break;
      }
      case kOverlayBlink:
        if (now_ms - s.toggled_ms[i] >= BlinkPeriodMs(e.speed)) {
          s.on[i] = s.on[i] == 0 ? 1 : 0;
          s.toggled_ms[i] = now_ms;
        }
        frame[i] = s.on[i] != 0 ? At(own, level) : Rgba{};
        break;
      case kOverlayColorCycle:
        s.phase[i] = static_cast<std::uint8_t>((s.phase[i] + 1) % kWheelCycle);
        frame[i] = At(WheelColor(s.phase[i]), level);
        break;
      default:
        break;
    }
  }
}

}  // namespace brimvex::devices
