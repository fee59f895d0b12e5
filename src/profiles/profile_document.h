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

// Renames the file to "<path>.broken-<identifier>" and traces it; the new path, or "" when the
// file could not be moved (it is then left where it was).
std::string KeepAside(const std::string& path);

}  // namespace brimvex::profiles
