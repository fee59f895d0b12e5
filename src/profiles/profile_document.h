#pragma once
// Reading a profile file for an update, and keeping a file aside before it is replaced.
#include <json/value.h>

#include <string>

namespace brimvex::profiles {

struct ProfileDocument {
  // The parsed document when it is an object, else null.
  Json::Value document;
  // The file holds bytes that an update would lose: it is unreadable, does not parse, is not an
  // object, or its "Device" member is not an array.
  bool keep_aside = false;
};

ProfileDocument ReadProfileDocument(const std::string& path);

// Whether the profile classes take the document as it stands: an object whose "Device" is
// missing, null or an array, and whose section at the device index is missing, null or an object.
bool IsUsableProfile(const Json::Value& document, int device_index = 0);

// Renames the file to "<path>.broken-<identifier>" and traces it; the new path, or "" when the
// file could not be moved (it is then left where it was).
std::string KeepAside(const std::string& path);

}  // namespace brimvex::profiles
