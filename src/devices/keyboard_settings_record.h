#pragma once
// The keyboard's 29-byte settings record (one per device profile, record p at byte p x 29 of the
// parameter memory; byte 0 of the memory is the active profile): how the profile's light record
// and system settings become a record, and how a record read back becomes them.
#include <array>
#include <cstdint>

#include "lighting/light_mode_list.h"
#include "profiles/profile_records.h"

namespace brimvex::devices {

inline constexpr std::size_t kKeyboardRecordSize = 29;
using KeyboardRecord = std::array<std::uint8_t, kKeyboardRecordSize>;
// Byte 1 for a mode the device keeps as it is: the host-driven modes (audio 29, host colours 30)
// and any mode index without a device code (a user-defined effect, an empty mode list).
inline constexpr std::uint8_t kKeepDeviceMode = 0xFE;

// The record written for a profile: byte 0 = `value`, byte 1 the device code of the record's
// mode (kKeepDeviceMode for codes 29 and 30 and modes without a code), the light fields, the
// system flags and the polling rate.
KeyboardRecord BuildKeyboardRecord(std::uint8_t value, const profiles::LightInfo& light,
                                   const profiles::KeyboardSystemSettings& system,
                                   const lighting::LightModeList& modes);

// A record read from the keyboard applied to the light record in force and the system settings.
// The mode index becomes the position of byte 1's code in the list; kKeepDeviceMode and a code
// the list lacks leave the mode index in force. Speed is 4 - byte 3 (0 when byte 3 is above 4).
// Repeat, RepeatDelay and PollingRate are not in what is read and stay as they are.
void ApplyKeyboardRecord(const KeyboardRecord& record, const lighting::LightModeList& modes,
                         profiles::LightInfo& light, profiles::KeyboardSystemSettings& system);

}  // namespace brimvex::devices
