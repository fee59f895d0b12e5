#include "lighting/light_report.h"

#include <algorithm>
#include <cstdio>

#include "lighting/light_rules.h"
#include "profiles/file_helpers.h"

namespace brimvex::lighting {

RecordPlace SettingsRecordPlace(int device_type, int profile) {
  const auto p = static_cast<std::size_t>(std::max(0, profile));
  switch (device_type) {
    case 2:
      return {p * 128, 71};
    default:
      return {p * 29, 29};
  }
}

std::optional<RecordLight> DecodeRecordLight(std::span<const std::uint8_t> r, const LightModeList& modes) {
  if (r.size() < 9) return std::nullopt;
  RecordLight out;
  out.code = r[1];
  out.mode = modes.IndexOfCode(r[1]);
  out.light.mode = static_cast<std::uint8_t>(out.mode.value_or(0));
  out.light.brightness = r[2];
  out.light.speed = static_cast<std::uint8_t>(r[3] <= 4 ? 4 - r[3] : 0);
  out.light.direction = r[4];
  out.light.multi_color = r[5];
  out.light.red = r[6];
  out.light.green = r[7];
  out.light.blue = r[8];
  return out;
}

std::string FormatFrame(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  char line[32];
  std::snprintf(line, sizeof line, "%02X%02X%02X", r, g, b);
  return line;
}

std::string FormatLight(std::optional<int> mode, int code, const profiles::LightInfo& light,
                        const LightModeList& modes) {
  std::string name;
  if (mode && *mode >= 0 && *mode < modes.Count()) name = modes.modes[static_cast<std::size_t>(*mode)].name;
  std::string text = "mode: " + (mode ? std::to_string(*mode) : std::string("-1"));
  text += " " + (mode ? (name.empty() ? std::string("-") : name) : "code-" + std::to_string(code)) + "\n";
  text += "color: " + FormatFrame(light.red, light.green, light.blue) + "\n";
  text += "brightness: " + std::to_string(light.brightness) + "\n";
  text += "speed: " + std::to_string(light.speed) + "\n";
  text += "direction: " + std::to_string(light.direction) + "\n";
  return text;
}

LightModeList ShippedModeList(int device_type) {
  LightModeList list;
  ReadLightModeList(profiles::ReadJson(profiles::GetProgramDataFolder() + "default_light.json"),
                    LightTableIndex(device_type), list);
  return list;
}

}  // namespace brimvex::lighting
