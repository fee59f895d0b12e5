#pragma once
// Light mode 29: the 25 band values of the audio-reactive lighting drawn on the keyboard's
// 23 x 6 effect grid. A band of 2000 or more is full height (the scale the beat detection uses).
// Column c shows band c (bands 23 and 24 lie past the grid). Audio modes:
//   0 bars rising from the bottom        1 bars hanging from the top
//   2 the whole board pulsing with the loudness, over the key-triggered ripples of the beats
//   3 bars in wheel colours by height    4 each column's brightness following its band
//   5 bars spreading from the centre columns, low bands in the middle
//   6 one light at each bar's top
// Lit cells take the foreground colour (in 7-colour mode the wheel colour of their column), the
// rest the background colour, at the record's brightness.
#include <array>
#include <cstdint>
#include <span>

#include "devices/keyboard_effects.h"

namespace brimvex::devices {

inline constexpr int kAudioBandsShown = 25;
inline constexpr int kFullBand = 2000;

struct AudioLook {
  std::uint8_t audio_mode = 0;
  Rgb back{};
  Rgb fore{};
  bool seven_colors = false;
};

// The audio look of a keyboard's packed audio state (mode word: mode, background R, G, B; colour
// word: foreground R, G, B, 7-colour flag).
AudioLook AudioLookOf(std::uint32_t mode_word, std::uint32_t color_word);

// Height 0..kEffectRows of a band value (negative counts as 0).
int AudioBarHeight(int band);

void AudioStep(const LightInfo& info, const AudioLook& look, std::span<const int, kAudioBandsShown> bands,
               KeyboardEffectState& s, std::span<Rgba> frame);

}  // namespace brimvex::devices
