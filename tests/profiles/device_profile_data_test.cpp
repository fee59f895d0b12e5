// The keyboard, mouse and headset additions to the profile section.
#include <gtest/gtest.h>

#include "profile_test_util.h"
#include "profiles/keyboard_profile_data.h"
#include "profiles/mouse_profile_data.h"
#include "profiles/ri6533_profile_data.h"
#include "test_support/temp_dir.h"

namespace brimvex::profiles {
namespace {
using testing::Parse;
using testing::ProfileText;
using testing::Text;
using testing::WriteBytes;

template <class Profile>
Profile Loaded(const test::TempDir& dir, std::string_view section) {
  const std::string path = dir.folder() + "s.Json";
  WriteBytes(path, ProfileText(section));
  Profile p;
  p.LoadSection(path);
  return p;
}

TEST(KeyboardProfile, CustomColoursOfAMissingGroupAreWrittenAsZeros) {
  test::TempDir dir;
  auto p = Loaded<CKeyboardProfiledata>(dir, "{}");
  const auto colors = p.GetCustomColors(2, 170);
  ASSERT_EQ(colors.size(), 170u);
  for (const auto& c : colors) EXPECT_EQ(c, CustomColor{});
  const Json::Value& groups = p.ProfileSection()["CustomLightMode"]["LightColorInfo"];
  ASSERT_EQ(groups.size(), 3u);
  EXPECT_TRUE(groups[0].isNull());
  EXPECT_TRUE(groups[1].isNull());
  ASSERT_EQ(groups[2].size(), 170u);
  EXPECT_EQ(Text(groups[2][169]), Text(R"({"Red": 0, "Green": 0, "Blue": 0, "Alpha": 0})"));
}

TEST(KeyboardProfile, CustomColoursKeepEntriesPastTheStoredMap) {
  test::TempDir dir;
  auto p = Loaded<CKeyboardProfiledata>(dir, R"({"CustomLightMode": {"CustomLightModeGroupIndex": 1,
      "LightColorInfo": [[{"Red": 1, "Green": 2, "Blue": 3, "Alpha": 260}, null, 5,
                          {"Red": 9, "Green": 9, "Blue": 9, "Alpha": 9}]]}})");
  EXPECT_EQ(p.GetCustomGroupIndex(), 1);
  EXPECT_EQ(p.GetCustomColors(0, 4), (std::vector<CustomColor>{{1, 2, 3, 4}, {}, {}, {9, 9, 9, 9}}));
  p.SetCustomColors({{7, 7, 7, 7}, {8, 8, 8, 8}}, 0);
  EXPECT_EQ(p.GetCustomColors(0, 4), (std::vector<CustomColor>{{7, 7, 7, 7}, {8, 8, 8, 8}, {}, {9, 9, 9, 9}}));
  p.SetCustomGroupIndex(3);
  EXPECT_EQ(p.ProfileSection()["CustomLightMode"]["CustomLightModeGroupIndex"].asInt(), 3);
  EXPECT_TRUE(p.GetCustomColors(-1, 4).empty());
}

TEST(KeyboardProfile, SystemSettingsAreSixteenBitValues) {
  test::TempDir dir;
  auto p = Loaded<CKeyboardProfiledata>(
      dir, R"({"SystemStages": {"Repeat": 70000, "RepeatDelay": 2, "Key6Flag": 1, "PollingRate": 3,
               "WFlag": 1, "WinFlag": 0, "IOSMode": 1}})");
  EXPECT_EQ(p.GetSystemSettings(), (KeyboardSystemSettings{4464, 2, 1, 3, 1, 0, 1}));
  p.SetSystemSettings({1, 2, 3, 4, 5, 6, 7});
  EXPECT_EQ(Text(p.ProfileSection()["SystemStages"]),
            Text(R"({"Repeat": 1, "RepeatDelay": 2, "Key6Flag": 3, "PollingRate": 4, "WFlag": 5,
                      "WinFlag": 6, "IOSMode": 7})"));
  EXPECT_EQ(Loaded<CKeyboardProfiledata>(dir, R"({"SystemStages": [1]})").GetSystemSettings(),
            KeyboardSystemSettings{});
}

TEST(MouseProfile, FileStagesReplaceTheFirstStagesInMemory) {
  test::TempDir dir;
  CMouseProfiledata p;
  const std::vector<StageRecord> five = {{1, 0, 1, 1, 1, 1, 1},
                                         {1, 0, 2, 2, 2, 2, 2},
                                         {1, 0, 3, 3, 3, 3, 3},
                                         {1, 0, 4, 4, 4, 4, 4},
                                         {1, 0, 5, 5, 5, 5, 5}};
  p.SetStages(five);
  WriteBytes(dir.path() / "m.Json", ProfileText(R"({"DPIStages": {"StageActive": 2, "StageDPIs": [
      {"StageActive": 1, "StageXY": 1, "StageDPIX": 65636, "StageDPIY": 20, "StageColorR": 255,
       "StageColorG": 128, "StageColorB": 0}, {}, {"StageActive": 0}]}})"));
  p.LoadSection((dir.path() / "m.Json").string());
  const auto stages = p.GetStages();
  ASSERT_EQ(stages.size(), 5u);
  EXPECT_EQ(stages[0], (StageRecord{1, 1, 100, 20, 255, 128, 0}));
  EXPECT_EQ(stages[1], StageRecord{});
  EXPECT_EQ(stages[2], StageRecord{});
  EXPECT_EQ(stages[3], five[3]);
  EXPECT_EQ(stages[4], five[4]);
  EXPECT_EQ(p.GetActiveStageIndex(), 2);

  p.SetActiveStageIndex(4);
  p.SetStages({{1, 0, 300, 301, 1, 2, 3}});
  EXPECT_EQ(p.ProfileSection()["DPIStages"]["StageActive"].asInt(), 4);
  const Json::Value& written = p.ProfileSection()["DPIStages"]["StageDPIs"];
  ASSERT_EQ(written.size(), 3u);  // stages past the list stay in the section
  EXPECT_EQ(Text(written[0]), Text(R"({"StageActive": 1, "StageXY": 0, "StageDPIX": 300, "StageDPIY": 301,
                                  "StageColorR": 1, "StageColorG": 2, "StageColorB": 3})"));
}

TEST(MouseProfile, PointerOptionsUseBothMembersAndTheirSpelling) {
  test::TempDir dir;
  auto p = Loaded<CMouseProfiledata>(dir, R"({"SystemStages": {"DoubleClickTime": 5, "MouseSpeed": 10,
      "PointerPrecision": 1, "ScorllPage": 1, "WheelScorlllinse": 3}})");
  EXPECT_EQ(p.GetPointerOptions(), (PointerOptions{5, 10, 1, 1, 3, 0}));
  p.SetPointerOptions({6, 7, 0, 0, 2, 3});
  EXPECT_EQ(p.ProfileSection()["SystemStages"]["WheelScorlllinse"].asInt(), 2);
  EXPECT_EQ(p.ProfileSection()["SystemStages"]["ScorllPage"].asInt(), 0);
  EXPECT_EQ(p.ProfileSection()["ReportStages"]["StageActive"].asInt(), 3);
  EXPECT_EQ(p.GetPointerOptions(), (PointerOptions{6, 7, 0, 0, 2, 3}));
}

TEST(MouseProfile, CorrectionsAreReadWithTheirNames) {
  test::TempDir dir;
  auto p = Loaded<CMouseProfiledata>(dir, R"({"CorrectInfo": [
      {"CorrectPixThresh": 300, "CorrectMinSq": 2, "CorrectSelect": 1, "CorrectName": "Straße"}, 4]})");
  EXPECT_EQ(p.GetCorrections(), (std::vector<Correction>{{44, 2, 1, "Straße"}, {}}));
}

TEST(HeadsetProfile, EqualiserPresetsMapToRows) {
  test::TempDir dir;
  std::string rows = "[null";
  for (int row = 1; row <= 12; ++row) {
    rows += ", [";
    for (int band = 0; band < 10; ++band)
      rows += (band ? ", " : "") + std::string(R"({"value": )") + std::to_string(row * 100 + band) + "}";
    rows += "]";
  }
  rows += "]";
  auto p = Loaded<CRi6533Profiledata>(dir, R"({"EQHzValueInfo": )" + rows + "}");
  const Json::Value before = p.ProfileSection();
  EXPECT_TRUE(p.GetEqBands(13).empty());
  EXPECT_EQ(Text(p.ProfileSection()), Text(before));
  for (const int preset : {0, 1, 14, -3}) EXPECT_EQ(p.GetEqBands(preset).at(9), 109) << preset;
  EXPECT_EQ(p.GetEqBands(12).at(0), 1200);
}

TEST(HeadsetProfile, ReadingAMissingPresetWritesItsFirstBand) {
  test::TempDir dir;
  auto p = Loaded<CRi6533Profiledata>(dir, "{}");
  EXPECT_EQ(p.GetEqBands(4), std::vector<std::int32_t>(10, 0));
  EXPECT_EQ(Text(p.ProfileSection()), Text(R"({"EQHzValueInfo": [null, null, null, null, [{"value": 0},
      {"value": null}, {"value": null}, {"value": null}, {"value": null}, {"value": null},
      {"value": null}, {"value": null}, {"value": null}, {"value": null}]]})"));
}

TEST(HeadsetProfile, ShortAndLongBandListsWriteAtMostTenBands) {
  test::TempDir dir;
  auto p = Loaded<CRi6533Profiledata>(dir, "{}");
  p.SetEqBands(2, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
  EXPECT_EQ(p.ProfileSection()["EQHzValueInfo"][2].size(), 10u);
  p.SetEqBands(2, {-5, -6});
  EXPECT_EQ(p.GetEqBands(2), (std::vector<std::int32_t>{-5, -6, 3, 4, 5, 6, 7, 8, 9, 10}));
  p.SetEqBands(13, {1});
  EXPECT_TRUE(p.ProfileSection()["EQHzValueInfo"][13].isNull());
  EXPECT_TRUE(p.ProfileSection()["EQHzValueInfo"][0].isNull());

  p.SetCustomEqBands(1, {4, 4, 4});
  EXPECT_EQ(p.GetCustomEqBands(1), (std::vector<std::int32_t>{4, 4, 4, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(p.GetCustomEqBands(0), std::vector<std::int32_t>(10, 0));
  EXPECT_TRUE(p.GetCustomEqBands(-1).empty());
}

TEST(HeadsetProfile, CustomNamesReplaceTheListAndLeaveTheBands) {
  test::TempDir dir;
  auto p = Loaded<CRi6533Profiledata>(dir, R"({"CustomEQNameInfo": [{"Name": "a"}, {"Name": "b"}],
      "CustomEQHzValueInfo": [[{"value": 1}], [{"value": 2}]]})");
  EXPECT_EQ(p.GetCustomEqNames(), (std::vector<std::string>{"a", "b"}));
  p.SetCustomEqNames({"b"});
  EXPECT_EQ(p.GetCustomEqNames(), (std::vector<std::string>{"b"}));
  EXPECT_EQ(p.GetCustomEqBands(1).at(0), 2);
}

TEST(HeadsetProfile, VoiceStateKeysAreSpelledAsStored) {
  test::TempDir dir;
  auto p = Loaded<CRi6533Profiledata>(dir, "{}");
  EXPECT_EQ(p.GetVoiceState(), VoiceState{});
  p.SetVoiceState({1, 2, 3, 4, 5, 6, 7, 8});
  EXPECT_EQ(Text(p.ProfileSection()["SystemSetStages"]),
            Text(R"({"MagicEnable": 1, "MagicType": 2, "EqType": 3, "CustomEqSeletIndex": 4, "MicInSelect": 5,
                      "MicInValue": 6, "MicMoniterSelect": 7, "MicMoniterValue": 8})"));
  EXPECT_EQ(p.GetVoiceState(), (VoiceState{1, 2, 3, 4, 5, 6, 7, 8}));
}

// Sections whose members have unexpected types: every getter gives its default, none throws,
// and a setter afterwards still writes.
TEST(HostileSections, EveryGetterReadsWrongTypesAsMissing) {
  const char* sections[] = {
      R"({"LightInfo": [1], "AudioLightInfo": "x", "LightList": {"a": 1}, "KeyList": 5})",
      R"({"KeyList": [5, "x", [1], {"Assignment": "7", "DefaultAssignment": {}}]})",
      R"({"SystemStages": "s", "DPIStages": [1], "ReportStages": 3, "CorrectInfo": {"a": 1}})",
      R"({"DPIStages": {"StageActive": "1", "StageDPIs": {"x": 1}}, "SystemStages": {"MouseSpeed": [1]}})",
      R"({"CustomLightMode": {"LightColorInfo": {"0": 1}, "CustomLightModeGroupIndex": "2"}})",
      R"({"CustomLightMode": [1, 2]})",
      R"({"EQHzValueInfo": "x", "CustomEQNameInfo": [1, {"Name": 2}], "CustomEQHzValueInfo": {"a": 1}})",
      R"({"EQHzValueInfo": [1, 2, "row"], "CustomEQHzValueInfo": [[1, [2], {"value": "3"}]]})",
      R"({"SystemSetStages": {"MagicEnable": 1e300, "MagicType": -1e300, "EqType": 18446744073709551615}})",
  };
  test::TempDir dir;
  for (const char* section : sections) {
    SCOPED_TRACE(section);
    auto k = Loaded<CKeyboardProfiledata>(dir, section);
    auto m = Loaded<CMouseProfiledata>(dir, section);
    auto h = Loaded<CRi6533Profiledata>(dir, section);
    EXPECT_NO_THROW({
      EXPECT_EQ(k.GetLightInfo(), LightInfo{});
      EXPECT_EQ(k.GetAudioLightInfo(), AudioLightInfo{});
      k.GetLightList();
      for (const auto& e : k.GetKeyList()) EXPECT_EQ(e.current, KeyCode{});
      EXPECT_EQ(k.GetSystemSettings(), KeyboardSystemSettings{});
      for (const auto& c : k.GetCustomColors(0, 4)) EXPECT_EQ(c, CustomColor{});
      EXPECT_EQ(k.GetCustomGroupIndex(), 0);
      for (const auto& s : m.GetStages()) EXPECT_EQ(s, StageRecord{});
      EXPECT_EQ(m.GetPointerOptions(), PointerOptions{});
      for (const auto& c : m.GetCorrections()) EXPECT_EQ(c, Correction{});
      for (const int band : h.GetEqBands(2)) EXPECT_EQ(band, 0);
      for (const auto& n : h.GetCustomEqNames()) EXPECT_EQ(n, "");
      for (const int band : h.GetCustomEqBands(0)) EXPECT_EQ(band, 0);
      // The largest unsigned integer wraps like a C cast.
      EXPECT_EQ(h.GetVoiceState().eq_preset,
                std::string_view(section).find("EqType") != std::string_view::npos ? -1 : 0);
      k.SetCustomColors({{1, 2, 3, 4}}, 0);
      EXPECT_EQ(k.GetCustomColors(0, 1).at(0), (CustomColor{1, 2, 3, 4}));
      h.SetEqBands(2, {5});
      EXPECT_EQ(h.GetEqBands(2).at(0), 5);
      m.SetStages({{1, 1, 2, 2, 3, 3, 3}});
      EXPECT_EQ(m.GetStages().at(0), (StageRecord{1, 1, 2, 2, 3, 3, 3}));
    });
  }
}

}  // namespace
}  // namespace brimvex::profiles
