#pragma once
// The audio light state as the device base keeps it (three words, one field per byte, lowest
// first) and as a profile keeps it (its 9-byte record).
#include <cstdint>

#include "profiles/profile_records.h"

namespace brimvex::devices {

inline std::uint32_t Pack(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
  return static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b) << 8 | static_cast<std::uint32_t>(c) << 16 |
         static_cast<std::uint32_t>(d) << 24;
}
inline std::uint8_t ByteOf(std::uint32_t word, int i) { return static_cast<std::uint8_t>((word >> (8 * i)) & 0xFF); }

struct AudioLightWords {
  std::uint32_t mode = 0;   // audio mode, background red, green, blue
  std::uint32_t color = 0;  // foreground red, green, blue, seven-colour flag
  std::uint32_t flags = 0;  // colour type
};

inline profiles::AudioLightInfo AudioLightOf(std::uint32_t mode, std::uint32_t color, std::uint32_t flags) {
  profiles::AudioLightInfo a;
  a.audio_mode = ByteOf(mode, 0);
  a.back_red = ByteOf(mode, 1);
  a.back_green = ByteOf(mode, 2);
  a.back_blue = ByteOf(mode, 3);
  a.fore_red = ByteOf(color, 0);
  a.fore_green = ByteOf(color, 1);
  a.fore_blue = ByteOf(color, 2);
  a.seven_colors = ByteOf(color, 3);
  a.color_type = ByteOf(flags, 0);
  return a;
}

inline AudioLightWords WordsOf(const profiles::AudioLightInfo& a) {
  return {Pack(a.audio_mode, a.back_red, a.back_green, a.back_blue),
          Pack(a.fore_red, a.fore_green, a.fore_blue, a.seven_colors), a.color_type};
}

}  // namespace brimvex::devices
