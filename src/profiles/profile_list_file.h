#pragma once
// "ProfileList.ini" of a device data folder: despite its name a JSON document,
//   {"profilelist": [{"profilename", "profileUUID", "profileislink", "profilelinkmame"}, ...],
//    "profileselect": index}
// and the profile files it names: the identifier followed by ".Json" in the same folder.
#include <json/value.h>

#include <string>
#include <string_view>

namespace brimvex::profiles {

inline constexpr std::string_view kProfileListFileName = "ProfileList.ini";

struct ProfileListRead {
  // An object whose "profilelist" is an array, or null when the file is not such a document.
  Json::Value document;
  bool usable = false;
  // The file holds bytes that are not a usable list: replacing it would lose them.
  bool keep_aside = false;
};

ProfileListRead ReadProfileList(const std::string& path);

// The path of an identifier's profile file in `folder`, or "" (traced) when the identifier is not
// identifier-shaped. Every path built from an identifier is built here, so a hand-edited
// "../x" never leaves the folder.
std::string ProfileFilePath(const std::string& folder, std::string_view identifier);

// Entry access; members of the wrong type read as "".
int EntryCount(const Json::Value& list);
std::string EntryName(const Json::Value& list, int index);
std::string EntryIdentifier(const Json::Value& list, int index);
Json::Value MakeEntry(const std::string& name, const std::string& identifier);

// Names are compared as control names are: ASCII and Latin-1 letters without regard to case.
bool SameProfileName(std::string_view a, std::string_view b);

}  // namespace brimvex::profiles
