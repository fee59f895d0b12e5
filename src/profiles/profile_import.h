#pragma once
// Reading a profile file the user chose to import. Only a regular file of at most 1 MiB is read
// (a FIFO, a device or a folder is refused unread), and only a document the profile classes
// would take as it stands is accepted.
#include <json/value.h>

#include <cstddef>
#include <string>

namespace brimvex::profiles {

inline constexpr std::size_t kMaxImportBytes = std::size_t{1} << 20;

// Text keys of the refusals.
inline constexpr const char* kImportNotAFile = "profile_import_not_file";
inline constexpr const char* kImportTooLarge = "profile_import_too_large";
inline constexpr const char* kImportNotAProfile = "profile_import_not_profile";
inline constexpr const char* kImportBadSettings = "profile_import_bad_settings";

struct ImportFile {
  Json::Value document;     // the profile when accepted
  std::string refusal_key;  // "" when accepted, else the text key of the reason
};

// The document has to be a JSON object with string members "profilename" and "profileUUID"
// and a "Device" the profile classes would not keep aside.
ImportFile ReadImportFile(const std::string& path);

}  // namespace brimvex::profiles
