#pragma once
// What `brimvexctl light` prints of a device's light: the settings record's light bytes (the same
// places on the keyboard, the mouse and the pad: 1 effect code, 2 brightness, 3 4 - speed,
// 4 direction, 6-8 R, G, B) or the record in force, as five lines of upper-case hex and
// decimals, and with the emulator the first position of the live frame:
//   mode: N NAME
//   color: RRGGBB
//   brightness: N
//   speed: N
//   direction: N
//   frame: RRGGBB
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "lighting/light_mode_list.h"
#include "profiles/profile_records.h"

namespace brimvex::lighting {

// Where the settings record of device profile p lies and how long it is, by device type (1
// keyboard 29 at p x 29, 2 mouse 71 at p x 128, 3 pad and 7 headset 29 at p x 29 as they read it).
struct RecordPlace {
  std::size_t offset = 0;
  std::size_t size = 0;
};
RecordPlace SettingsRecordPlace(int device_type, int profile);

// The light bytes of a settings record as a light record (mode through the list: nullopt when
// the code has no entry).
struct RecordLight {
  std::optional<int> mode;
  int code = 0;
  profiles::LightInfo light;
};
std::optional<RecordLight> DecodeRecordLight(std::span<const std::uint8_t> record, const LightModeList& modes);

// The five lines; a mode without an entry prints "-1 code-N".
std::string FormatLight(std::optional<int> mode, int code, const profiles::LightInfo& light,
                        const LightModeList& modes);
std::string FormatFrame(std::uint8_t r, std::uint8_t g, std::uint8_t b);

// The shipped mode list of a device type ("default_light.json" of the program data folder).
LightModeList ShippedModeList(int device_type);

}  // namespace brimvex::lighting
