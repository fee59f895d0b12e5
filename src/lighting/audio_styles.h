#pragma once
// The four audio styles of the capture program (a name and R, G, B, each 0 to 9) and the selected
// one, as "AudioFile.json" keeps them under "Device"."AudioLightInfo": "nAudioStyle",
// "nStyleName1" to "nStyleName4", "nStyleR0", "nStyleG0", "nStyleB0" to "nStyleR3", ...
#include <json/value.h>

#include <array>
#include <string>
#include <string_view>

namespace brimvex::lighting {

inline constexpr int kAudioStyleCount = 4;
inline constexpr std::array<std::string_view, kAudioStyleCount> kDefaultAudioStyleNames = {"第一组", "第二组", "第三组",
                                                                                           "第四组"};

struct AudioStyle {
  std::string name;
  int r = 0;
  int g = 0;
  int b = 0;
  friend bool operator==(const AudioStyle&, const AudioStyle&) = default;
};

struct AudioStyleSet {
  int selected = 0;
  std::array<AudioStyle, kAudioStyleCount> styles{};
  const AudioStyle& Selected() const { return styles[static_cast<std::size_t>(selected)]; }
  friend bool operator==(const AudioStyleSet&, const AudioStyleSet&) = default;
};

// The set in `device` ("Device" of the file). Without an "AudioLightInfo" object the set stays as
// constructed; a value outside 0..9 (or a selection outside 0..3) is kept to the range, a
// member of the wrong type reads as 0 or "".
AudioStyleSet ReadAudioStyles(const Json::Value& device);
// Writes the set's members into device["AudioLightInfo"], keeping its other members.
void WriteAudioStyles(const AudioStyleSet& set, Json::Value& device);

}  // namespace brimvex::lighting
