#pragma once
// What one update request carries: the application key and the form body, and how version
// numbers are read.
#include <cstdint>
#include <string>
#include <string_view>

#include "update/update_entry.h"

namespace brimvex::update {

// vendor_source_project_type_flag ("QUELT_1_Orrin_KB_1"); "NULL" for an entry without version.
std::string BuildAppKey(const UpdateEntry& entry);
// "app_key=KEY&version=V" (hexadecimal for a device, decimal for the program) with its
// terminating zero byte, as sent.
std::string BuildRequestBody(const UpdateEntry& entry);
// The leading digits of `text` in base 16 or 10 up to the first other character (none: 0),
// kept to 32 bits without overflow and read as a signed number.
std::int32_t ParseVersionDigits(std::string_view text, int base);
// "V%04x" of a device's version, or the program's own version text.
std::string CurrentVersionText(const UpdateEntry& entry);
// The installed program version from the uninstall key's "DisplayVersion": every "." removed,
// the rest read as decimal digits; missing or empty gives the built version.
inline constexpr std::int32_t kBuiltProgramVersion = 1000;
std::int32_t ProgramVersionFromDisplay(std::string_view display);

}  // namespace brimvex::update
