// The shipped default profiles against the factory tables in code.
#include "profiles/default_profiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <tuple>

#include "profile_test_util.h"
#include "profiles/default_tables.h"
#include "profiles/file_helpers.h"
#include "profiles/keyboard_profile_data.h"
#include "profiles/mouse_profile_data.h"
#include "profiles/ri6533_profile_data.h"
#include "test_support/temp_dir.h"

namespace brimvex::profiles {
namespace {
namespace fs = std::filesystem;

std::string ShippedPath(DefaultProfileKind kind) { return GetDefaultProfilePath(DeviceFolderName(kind)); }

// A copy of the shipped file loaded into a profile object, so that reading cannot touch the original.
template <class Profile>
Profile LoadShipped(const test::TempDir& dir, DefaultProfileKind kind) {
  const fs::path copy = dir.path() / "copy.Json";
  fs::copy_file(ShippedPath(kind), copy, fs::copy_options::overwrite_existing);
  Profile p;
  p.LoadSection(copy.string());
  EXPECT_TRUE(p.ProfileSection().isObject());
  return p;
}

TEST(DefaultProfiles, ShippedFilesAreTheOnesTheTablesGive) {
  for (const DefaultProfileKind kind : kDefaultProfileKinds) {
    SCOPED_TRACE(ShippedPath(kind));
    const Json::Value shipped = ReadJson(ShippedPath(kind));
    // When this fails, run gen_default_profiles and commit resources/DefaultData.
    EXPECT_EQ(ReadTextFile(ShippedPath(kind)), StyledJsonText(BuildDefaultProfile(kind)));
    EXPECT_TRUE(shipped["Device"][0]["LightInfo"].isObject());
  }
}

TEST(DefaultProfiles, FactoryTablesHoldEveryKeyOnce) {
  // A short initialiser list would leave trailing entries empty.
  for (const auto& key : kKeyboardPageKeys) EXPECT_FALSE(key.name.empty());
  for (const auto& key : kMousePageKeys) EXPECT_FALSE(key.name.empty());
  std::set<std::tuple<int, int, int>> codes;
  int none = 0;
  for (const auto& key : kKeyboardPageKeys) {
    if (key.code == KeyCode{0x20, 0, 0}) {
      ++none;
    } else {
      EXPECT_TRUE(codes.insert({key.code.type, key.code.p1, key.code.p2}).second) << key.name;
    }
  }
  EXPECT_EQ(none, 4);  // page keys 18 to 20 and 104
}

TEST(DefaultProfiles, KeyboardKeysCarryTheirFactoryCodes) {
  test::TempDir dir;
  auto p = LoadShipped<CKeyboardProfiledata>(dir, DefaultProfileKind::kKeyboard);
  const auto keys = p.GetKeyList();
  ASSERT_EQ(keys.size(), 126u);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(keys[i].current, kKeyboardPageKeys[i].code) << i;
    EXPECT_EQ(keys[i].default_code, kKeyboardPageKeys[i].code) << i;
  }
  const std::pair<int, KeyCode> spots[] = {
      {0, {0x20, 0, 0x29}},   {16, {0xA0, 0x1B, 0}},  {17, {0xA0, 0x24, 0}},  {55, {0x20, 0, 0x31}},
      {62, {0x20, 0, 0x32}},  {84, {0x20, 0x02, 0}},  {95, {0x20, 0x20, 0}},  {110, {0xA0, 0x01, 0}},
      {118, {0x20, 0, 0x58}}, {120, {0xD0, 0xA2, 1}}, {124, {0xD0, 0xA2, 5}}, {125, {0x20, 0x80, 0}},
  };
  for (const auto& [index, code] : spots) EXPECT_EQ(keys[static_cast<std::size_t>(index)].current, code) << index;
  EXPECT_EQ(p.GetSystemSettings(), kDefaultKeyboardSystemSettings);
  EXPECT_EQ(p.GetLightInfo(), kDefaultKeyboardLight);
}

TEST(DefaultProfiles, MouseHasItsKeysStagesAndPointerOptions) {
  test::TempDir dir;
  auto p = LoadShipped<CMouseProfiledata>(dir, DefaultProfileKind::kMouse);
  const auto keys = p.GetKeyList();
  ASSERT_EQ(keys.size(), 11u);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    EXPECT_EQ(keys[i].current, kMousePageKeys[i].code) << i;
    EXPECT_EQ(keys[i].default_code, kMousePageKeys[i].code) << i;
  }
  EXPECT_EQ(keys[9].current, (KeyCode{0x16, 0x90, 0x01}));
  const auto stages = p.GetStages();
  ASSERT_EQ(stages.size(), 5u);
  std::set<std::tuple<int, int, int>> colors;
  for (std::size_t i = 0; i < stages.size(); ++i) {
    EXPECT_EQ(stages[i], kDefaultMouseStages[i]);
    EXPECT_EQ(stages[i].enable, 1);
    colors.insert({stages[i].red, stages[i].green, stages[i].blue});
  }
  EXPECT_EQ(colors.size(), 5u);  // each stage shows its own colour
  EXPECT_EQ(p.GetActiveStageIndex(), kDefaultMouseActiveStage);
  EXPECT_EQ(p.GetPointerOptions(), kDefaultPointerOptions);
  EXPECT_TRUE(p.ProfileSection()["ReportStages"].isObject());
}

TEST(DefaultProfiles, HeadsetHoldsTheTwelvePresets) {
  test::TempDir dir;
  auto p = LoadShipped<CRi6533Profiledata>(dir, DefaultProfileKind::kHeadset);
  for (int preset = 1; preset <= 12; ++preset) {
    const auto& table = kEqPresets[static_cast<std::size_t>(preset - 1)];
    EXPECT_EQ(p.GetEqBands(preset), std::vector<std::int32_t>(table.begin(), table.end())) << preset;
  }
  EXPECT_EQ(p.GetEqBands(6), (std::vector<std::int32_t>{7, 14, -13, -6, -1, 8, 13, 7, 2, 6}));
  EXPECT_EQ(p.GetEqBands(5), std::vector<std::int32_t>(10, 0));
  EXPECT_EQ(p.GetVoiceState(), kDefaultVoiceState);
  EXPECT_TRUE(p.GetCustomEqNames().empty());
}

TEST(DefaultProfiles, MousePadHasALightRecord) {
  test::TempDir dir;
  auto p = LoadShipped<CBasicProfiledata>(dir, DefaultProfileKind::kMousePad);
  EXPECT_EQ(p.GetLightInfo(), kDefaultMousePadLight);
}

}  // namespace
}  // namespace brimvex::profiles
