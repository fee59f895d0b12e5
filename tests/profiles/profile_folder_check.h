#pragma once
// What a device folder must hold after a kill: a list that parses, a file for every entry that
// parses with the entry's own identifier, and nothing kept aside. Gives the listed identifiers.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#include "profiles/file_helpers.h"
#include "profiles/profile_list_file.h"
#include "profiles/profile_test_util.h"

namespace brimvex::profiles::testing {

inline std::set<std::string> CheckedIdentifiers(const std::string& folder, const std::string& when) {
  std::set<std::string> ids;
  const ProfileListRead read = ReadProfileList(folder + std::string(kProfileListFileName));
  EXPECT_TRUE(read.usable) << when << ": " << Slurp(folder + std::string(kProfileListFileName));
  for (int i = 0; i < EntryCount(read.document); ++i) {
    const std::string id = EntryIdentifier(read.document, i);
    const Json::Value file = ReadJson(ProfileFilePath(folder, id));
    EXPECT_TRUE(file.isObject()) << when << ": " << id;
    EXPECT_EQ(file["profileUUID"].asString(), id) << when;
    ids.insert(id);
  }
  for (const auto& e : std::filesystem::directory_iterator(folder))
    EXPECT_EQ(e.path().filename().string().find(".broken-"), std::string::npos) << when << ": " << e.path();
  return ids;
}

}  // namespace brimvex::profiles::testing
