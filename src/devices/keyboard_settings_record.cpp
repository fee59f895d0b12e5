#include "devices/keyboard_settings_record.h"

namespace brimvex::devices {
namespace {

constexpr int kAudioModeCode = 29;
constexpr int kHostColorsCode = 30;

std::uint8_t Low(std::uint16_t v) { return static_cast<std::uint8_t>(v & 0xFF); }

}  // namespace

KeyboardRecord BuildKeyboardRecord(std::uint8_t value, const profiles::LightInfo& light,
                                   const profiles::KeyboardSystemSettings& system,
                                   const lighting::LightModeList& modes) {
  KeyboardRecord r{};
  r[0] = value;
  // A mode without a usable list entry (a user-defined effect, a stale index) sends entry 0's
  // code, as on every device; the host-driven modes keep the device's own.
  auto code = modes.CodeOf(light.mode);
  if (!code || *code < 0) code = modes.CodeOf(0);
  r[1] = !code || *code < 0 || *code == kAudioModeCode || *code == kHostColorsCode ? kKeepDeviceMode
                                                                                   : static_cast<std::uint8_t>(*code);
  r[2] = light.brightness;
  r[3] = static_cast<std::uint8_t>(4 - light.speed);
  r[4] = light.direction;
  r[5] = light.multi_color;
  r[6] = light.red;
  r[7] = light.green;
  r[8] = light.blue;
  r[18] = light.zzcc_mode;
  r[19] = Low(system.w_flag);
  r[20] = Low(system.key6_flag);
  r[21] = Low(system.win_flag);
  r[22] = Low(system.polling_rate);
  r[26] = light.logo_mode;
  r[27] = Low(system.ios_mode);
  r[28] = light.byte15;
  return r;
}

void ApplyKeyboardRecord(const KeyboardRecord& r, const lighting::LightModeList& modes, profiles::LightInfo& light,
                         profiles::KeyboardSystemSettings& system) {
  if (r[1] != kKeepDeviceMode) {
    if (const auto index = modes.IndexOfCode(r[1])) light.mode = static_cast<std::uint8_t>(*index);
  }
  light.brightness = r[2];
  light.speed = r[3] <= 4 ? static_cast<std::uint8_t>(4 - r[3]) : 0;
  light.direction = r[4];
  light.multi_color = r[5];
  light.red = r[6];
  light.green = r[7];
  light.blue = r[8];
  light.zzcc_mode = r[18];
  light.custom_group = r[25];
  light.logo_mode = r[26];
  light.byte15 = r[28];
  system.w_flag = r[19];
  system.key6_flag = r[20];
  system.win_flag = r[21];
  system.ios_mode = r[27];
}

}  // namespace brimvex::devices
