#include "lighting/audio_styles.h"

#include <algorithm>

namespace brimvex::lighting {
namespace {

int IntIn(const Json::Value& object, const std::string& key, int low, int high) {
  const Json::Value& v = object[key];
  if (!v.isNumeric()) return low;
  const double d = v.asDouble();
  return d < low ? low : d > high ? high : static_cast<int>(d);
}

}  // namespace

AudioStyleSet ReadAudioStyles(const Json::Value& device) {
  AudioStyleSet set;
  if (!device.isObject() || !device["AudioLightInfo"].isObject()) return set;
  const Json::Value& info = device["AudioLightInfo"];
  set.selected = IntIn(info, "nAudioStyle", 0, kAudioStyleCount - 1);
  for (int i = 0; i < kAudioStyleCount; ++i) {
    AudioStyle& s = set.styles[static_cast<std::size_t>(i)];
    const Json::Value& name = info["nStyleName" + std::to_string(i + 1)];
    s.name = name.isString() ? name.asString() : std::string();
    s.r = IntIn(info, "nStyleR" + std::to_string(i), 0, 9);
    s.g = IntIn(info, "nStyleG" + std::to_string(i), 0, 9);
    s.b = IntIn(info, "nStyleB" + std::to_string(i), 0, 9);
  }
  return set;
}

void WriteAudioStyles(const AudioStyleSet& set, Json::Value& device) {
  if (!device.isObject()) device = Json::Value(Json::objectValue);
  Json::Value& info = device["AudioLightInfo"];
  if (!info.isObject()) info = Json::Value(Json::objectValue);
  info["nAudioStyle"] = set.selected;
  for (int i = 0; i < kAudioStyleCount; ++i) {
    const AudioStyle& s = set.styles[static_cast<std::size_t>(i)];
    info["nStyleName" + std::to_string(i + 1)] = s.name;
    info["nStyleR" + std::to_string(i)] = s.r;
    info["nStyleG" + std::to_string(i)] = s.g;
    info["nStyleB" + std::to_string(i)] = s.b;
  }
}

}  // namespace brimvex::lighting
