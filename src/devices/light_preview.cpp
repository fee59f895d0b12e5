#include "devices/light_preview.h"

#include <algorithm>

namespace brimvex::devices {
namespace {

constexpr std::array<std::uint8_t, 32> kRise{1,   3,   5,   7,   10,  14,  18,  22,  26,  32,  38,
                                             44,  50,  57,  65,  73,  81,  89,  99,  109, 119, 129,
                                             140, 152, 164, 176, 188, 200, 213, 227, 241, 255};
constexpr std::array<std::uint8_t, 32> kFall{248, 234, 220, 206, 194, 182, 170, 158, 146, 134, 124,
                                             114, 104, 94,  85,  77,  69,  61,  53,  47,  41,  35,
                                             29,  24,  20,  16,  12,  8,   6,   4,   2,   0};
constexpr std::array<std::uint8_t, 64> kBreathUp{
    0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  12,  14,  16,  18,  20,  22,  24,  27,  30,  33,  36,
    39,  42,  45,  49,  53,  57,  61,  65,  69,  73,  77,  81,  85,  89,  94,  99,  104, 109, 114, 119, 124, 129,
    134, 140, 146, 152, 158, 164, 170, 176, 182, 188, 194, 200, 206, 213, 220, 227, 234, 241, 248, 255};
constexpr std::array<std::uint8_t, 25> kPulseRise{0,   4,   8,   14,  22,  33,  45,  61,  77,  84,  100, 110, 120,
                                                  130, 140, 150, 158, 166, 175, 182, 191, 204, 220, 234, 255};
constexpr std::array<std::uint8_t, 64> kPulseFall{
    248, 241, 234, 227, 220, 213, 206, 200, 194, 188, 182, 176, 170, 164, 158, 152, 146, 140, 134, 129, 124, 119,
    114, 109, 104, 99,  94,  89,  85,  81,  77,  73,  69,  65,  61,  57,  53,  49,  45,  42,  39,  36,  33,  30,
    27,  24,  22,  20,  18,  16,  14,  12,  10,  9,   8,   7,   6,   5,   4,   3,   2,   2,   1,   0};

void Fill(std::span<Rgba> frame, Rgb c, std::uint8_t a) {
  std::fill(frame.begin(), frame.end(), Rgba{c.r, c.g, c.b, a});
}

Rgb RecordColor(const LightInfo& info) { return {info.red, info.green, info.blue}; }

std::uint8_t BreathAlpha(std::uint8_t phase, const LightInfo& info) {
  return static_cast<std::uint8_t>(BreathingCurve()[phase & 0x7F] * BrightnessLevel(info) / 256);
}

// The breathing previews step their phase through 0..127; a wrap to 0 moves to the next colour.
bool BreathStep(const LightInfo& info, PreviewState& s) {
  s.phase = PhaseStep(info.direction, 128, s.phase, 1);
  return s.phase == 0;
}

}  // namespace

const std::array<Rgb, 256>& ColorWheel() {
  static const std::array<Rgb, 256> wheel = [] {
    std::array<Rgb, 256> w{};
    for (std::size_t k = 0; k < 32; ++k) {
      w[k] = {255, kRise[k], 0};
      w[32 + k] = {kFall[k], 255, 0};
      w[64 + k] = {0, 255, kRise[k]};
      w[96 + k] = {0, kFall[k], 255};
      w[128 + k] = {kRise[k], 0, 255};
      w[160 + k] = {255, 0, kFall[k]};
    }
    std::copy_n(w.begin(), 64, w.begin() + 192);
    return w;
  }();
  return wheel;
}

const std::array<std::uint8_t, 128>& BreathingCurve() {
  static const std::array<std::uint8_t, 128> curve = [] {
    std::array<std::uint8_t, 128> c{};
    std::copy(kBreathUp.begin(), kBreathUp.end(), c.begin());
    std::reverse_copy(kBreathUp.begin(), kBreathUp.end(), c.begin() + 64);
    return c;
  }();
  return curve;
}

const std::array<std::uint8_t, 96>& WaveCurve() {
  static const std::array<std::uint8_t, 96> curve = [] {
    std::array<std::uint8_t, 96> c{};
    std::copy(kBreathUp.begin() + 16, kBreathUp.end(), c.begin());
    std::reverse_copy(kBreathUp.begin() + 16, kBreathUp.end(), c.begin() + 48);
    return c;
  }();
  return curve;
}

const std::array<std::uint8_t, 192>& PulseCurve() {
  static const std::array<std::uint8_t, 192> curve = [] {
    std::array<std::uint8_t, 192> c{};
    std::copy(kPulseRise.begin(), kPulseRise.end(), c.begin());
    std::copy(kPulseFall.begin(), kPulseFall.end(), c.begin() + kPulseRise.size());
    return c;
  }();
  return curve;
}

std::uint8_t BrightnessLevel(const LightInfo& info) {
  return kBrightnessLevels[std::min<std::size_t>(info.brightness, kBrightnessLevels.size() - 1)];
}

std::uint32_t BlinkPeriodMs(std::uint8_t speed) {
  return kBlinkPeriodUnits[std::min<std::size_t>(speed, kBlinkPeriodUnits.size() - 1)] * kBlinkUnitMs;
}

std::uint8_t PhaseStep(std::uint8_t direction, std::uint8_t limit, std::uint8_t phase, std::uint8_t step) {
  if (direction != 0) {
    const auto next = static_cast<std::uint8_t>(phase + step);
    return next >= limit ? std::uint8_t{0} : next;
  }
  const auto next = static_cast<std::uint8_t>(phase - step);
  return next >= limit ? static_cast<std::uint8_t>(limit - step) : next;
}

void PreviewBreathing(const LightInfo& info, PreviewState& s, std::span<Rgba> frame) {
  if (BreathStep(info, s)) {
    s.color_index = static_cast<std::uint8_t>(s.color_index + 16);
    if (s.color_index > 192) s.color_index = 0;
  }
  const Rgb c = info.multi_color != 0 ? ColorWheel()[s.color_index] : RecordColor(info);
  Fill(frame, c, BreathAlpha(s.phase, info));
}

void PreviewBreathingFourColors(const LightInfo& info, PreviewState& s, std::span<Rgba> frame) {
  if (BreathStep(info, s)) {
    s.color_index = static_cast<std::uint8_t>(s.color_index + 1);
    if (s.color_index >= 4) s.color_index = 0;
  }
  Fill(frame, kFourColors[s.color_index % 4], BreathAlpha(s.phase, info));
}

void PreviewStatic(const LightInfo& info, std::span<Rgba> frame) {
  Fill(frame, RecordColor(info), BrightnessLevel(info));
}

void PreviewSpectrum(const LightInfo& info, PreviewState& s, std::span<Rgba> frame) {
  s.phase = PhaseStep(info.direction, 192, s.phase, 1);
  Fill(frame, ColorWheel()[s.phase], BrightnessLevel(info));
}

namespace {
// Toggles the blink state once a period has passed; true when it toggled.
bool BlinkToggle(const LightInfo& info, PreviewState& s, std::uint32_t now_ms) {
  if (now_ms - s.blink_tick < BlinkPeriodMs(info.speed)) return false;
  s.blink_on = !s.blink_on;
  s.blink_tick = now_ms;
  return true;
}
}  // namespace

void PreviewBlink(const LightInfo& info, PreviewState& s, std::uint32_t now_ms, std::span<Rgba> frame) {
  if (BlinkToggle(info, s, now_ms)) {
    s.phase = static_cast<std::uint8_t>(s.phase + 16);
    if (s.phase >= 192) s.phase = 0;
  }
  if (!s.blink_on) return PreviewOff(frame);
  Fill(frame, info.multi_color != 0 ? ColorWheel()[s.phase] : RecordColor(info), BrightnessLevel(info));
}

void PreviewBlinkFourColors(const LightInfo& info, PreviewState& s, std::uint32_t now_ms, std::span<Rgba> frame) {
  if (BlinkToggle(info, s, now_ms)) s.phase = s.phase >= 3 ? std::uint8_t{0} : static_cast<std::uint8_t>(s.phase + 1);
  if (!s.blink_on) return PreviewOff(frame);
  Fill(frame, kFourColors[s.phase % 4], BrightnessLevel(info));
}

void PreviewOff(std::span<Rgba> frame) { std::fill(frame.begin(), frame.end(), Rgba{}); }

std::uint8_t DecayedLevel(std::uint8_t level, int mode) {
  struct Band {
    std::uint8_t from;
    std::uint8_t step;
  };
  static constexpr Band kMode0[] = {{128, 40}, {64, 30}, {32, 15}, {17, 8}, {1, 1}};
  static constexpr Band kAudio[] = {{144, 45}, {128, 40}, {112, 35}, {96, 30}, {80, 25},
                                    {64, 20},  {32, 10},  {17, 5},   {1, 1}};
  static constexpr Band kOther[] = {{128, 40}, {64, 30}, {32, 10}, {17, 8}, {1, 1}};
  std::span<const Band> bands = mode == 0    ? std::span<const Band>(kMode0)
                                : mode == 29 ? std::span<const Band>(kAudio)
                                             : std::span<const Band>(kOther);
  for (const Band& b : bands)
    if (level >= b.from) return static_cast<std::uint8_t>(level - b.step);
  return level;
}

void DecayReactiveLevel(ReactiveLevels& r, std::size_t position, int mode) {
  if (position < r.level.size()) r.level[position] = DecayedLevel(r.level[position], mode);
}

void SeedReactiveLevels(ReactiveLevels& r) {
  for (std::size_t k = 0; k < 9; ++k)
    if (r.wave_row[k] != 0) r.level[k] = 255;
}

void RotateWaveRow(ReactiveLevels& r, int direction) {
  auto& w = r.wave_row;
  if (direction != 0) {
    std::rotate(w.rbegin(), w.rbegin() + 1, w.rend());  // cell k+1 takes cell k, cell 0 the old last
  } else {
    std::rotate(w.begin(), w.begin() + 1, w.end());  // cell k-1 takes cell k, the last the old cell 0
  }
}

void ClearReactiveLevels(ReactiveLevels& r) {
  r.level.fill(0);
  r.wave_row.fill(0);
}

std::array<std::uint8_t, 512> ScaleFrame(std::span<const Rgba> frame) {
  std::array<std::uint8_t, 512> out{};
  const std::size_t n = std::min(frame.size(), kMaxLeds);
  for (std::size_t i = 0; i < n; ++i) {
    const Rgba& e = frame[i];
    out[3 * i] = static_cast<std::uint8_t>(e.r * e.a / 256);
    out[3 * i + 1] = static_cast<std::uint8_t>(e.g * e.a / 256);
    out[3 * i + 2] = static_cast<std::uint8_t>(e.b * e.a / 256);
  }
  return out;
}

DeviceNotice DecodeNotice(std::uint16_t code, bool keyboard) {
  const auto h = static_cast<std::uint8_t>(code >> 8);
  const auto l = static_cast<std::uint8_t>(code & 0xFF);
  DeviceNotice n;
  if (h == 0x10 || h == 0x11) {
    n.kind = DeviceNotice::Kind::kProfile;
    n.profile = l & 0x0F;
    if (h == 0x11) n.sub_setting = (l >> 4) & 0x0F;
  } else if ((h & 0x80) != 0) {
    n.kind = DeviceNotice::Kind::kProfile;
    n.profile = h & 0x0F;
    if (((h >> 4) & 0x07) == 2 && (l & 0x80) == 0) n.sub_setting = l & 0x7F;
  } else if (keyboard && (h == 0x05 || h == 0x06)) {
    n.kind = h == 0x05 ? DeviceNotice::Kind::kKeyPress : DeviceNotice::Kind::kKeyRelease;
    n.key_slot = l;
  }
  return n;
}

}  // namespace brimvex::devices
