#include "devices/keyboard_audio_effects.h"

#include <algorithm>
#include <cstdint>

#include "devices/keyboard_layout.h"

namespace brimvex::devices {
namespace {

constexpr int kWheelCycle = 192;

std::uint8_t Byte(std::uint32_t word, int index) { return static_cast<std::uint8_t>(word >> (8 * index)); }

// 0..255 of a band value, in 64 bits so no band can overflow it.
int Level(int band) {
  const std::int64_t v = std::max(band, 0);
  return static_cast<int>(std::min<std::int64_t>(v * 255 / kFullBand, 255));
}

Rgb Mix(Rgb back, Rgb fore, int level) {
  const auto m = [level](int b, int f) { return static_cast<std::uint8_t>(b + (f - b) * level / 255); };
  return {m(back.r, fore.r), m(back.g, fore.g), m(back.b, fore.b)};
}

void Put(std::span<Rgba> frame, int column, int row, Rgb c, std::uint8_t alpha) {
  const std::uint8_t light = EffectCell(column, row);
  if (light == kNoCell || light >= frame.size()) return;
  frame[light] = {c.r, c.g, c.b, alpha};
}

}  // namespace

AudioLook AudioLookOf(std::uint32_t mode_word, std::uint32_t color_word) {
  return {Byte(mode_word, 0),
          {Byte(mode_word, 1), Byte(mode_word, 2), Byte(mode_word, 3)},
          {Byte(color_word, 0), Byte(color_word, 1), Byte(color_word, 2)},
          Byte(color_word, 3) != 0};
}

int AudioBarHeight(int band) { return (Level(band) * kEffectRows + 127) / 255; }

void AudioStep(const LightInfo& info, const AudioLook& look, std::span<const int, kAudioBandsShown> bands,
               KeyboardEffectState& s, std::span<Rgba> frame) {
  const std::uint8_t alpha = BrightnessLevel(info);
  const auto fore = [&](int column, int row) {
    if (look.audio_mode == 3) return ColorWheel()[static_cast<std::size_t>((kEffectRows - 1 - row) * 32 % kWheelCycle)];
    return look.seven_colors ? ColorWheel()[static_cast<std::size_t>(column * kWheelCycle / kEffectColumns)] : look.fore;
  };
  // Every light starts from the background; lights without a grid cell keep it.
  for (Rgba& e : frame) e = {look.back.r, look.back.g, look.back.b, alpha};
  ++s.steps;
  if (look.audio_mode == 2) {
    int sum = 0;
    for (int b : bands) sum += Level(b);
    const int loudness = sum / kAudioBandsShown;
    for (std::size_t i = 0; i < frame.size() && i < kMaxLeds; ++i) {
      const int level = std::max<int>(loudness, s.level[i]);
      const Rgb c = Mix(look.back, look.seven_colors ? ColorWheel()[s.color[i] % kWheelCycle] : look.fore, level);
      frame[i] = {c.r, c.g, c.b, alpha};
      s.level[i] = static_cast<std::uint8_t>(s.level[i] > 8 ? s.level[i] - 8 : 0);
    }
    return;
  }
  for (int column = 0; column < kEffectColumns; ++column) {
    int band = column;
    if (look.audio_mode == 5) {
      const int centre = kEffectColumns / 2;
      band = column >= centre ? 2 * (column - centre) : 2 * (centre - column) - 1;
    }
    const int value = bands[static_cast<std::size_t>(band)];
    const int height = AudioBarHeight(value);
    for (int row = 0; row < kEffectRows; ++row) {
      const int from_bottom = kEffectRows - 1 - row;
      switch (look.audio_mode) {
        case 1:
          if (row < height) Put(frame, column, row, fore(column, row), alpha);
          break;
        case 4:
          Put(frame, column, row, Mix(look.back, fore(column, row), Level(value)), alpha);
          break;
        case 6:
          if (height > 0 && from_bottom == height - 1) Put(frame, column, row, fore(column, row), alpha);
          break;
        default:  // 0, 3, 5 and audio modes the keyboard does not know
          if (from_bottom < height) Put(frame, column, row, fore(column, row), alpha);
          break;
      }
    }
  }
}

}  // namespace brimvex::devices
