#include "profiles/basic_profile_data.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "platform/trace.h"
#include "profile_test_util.h"
#include "profiles/file_helpers.h"
#include "test_support/temp_dir.h"

namespace brimvex::profiles {
namespace {
namespace fs = std::filesystem;
using testing::Parse;
using testing::ProfileText;
using testing::Slurp;
using testing::Text;
using testing::WriteBytes;

constexpr std::string_view kDefaultSection = R"({"Marker": "default", "LightInfo": {"SelectItem": 3, "Red": 9}})";

class ProfileFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(default_path(), ProfileText(kDefaultSection));
    profile.SetDefaultProfilePath(default_path().string());
    profile.SetProfilePath(path().string());
  }
  fs::path path() const { return dir.path() / "p.Json"; }
  fs::path default_path() const { return dir.path() / "default.Json"; }
  std::vector<fs::path> KeptAside() const {
    std::vector<fs::path> found;
    for (const auto& e : fs::directory_iterator(dir.path())) {
      if (e.path().filename().string().rfind("p.Json.broken-", 0) == 0) found.push_back(e.path());
    }
    return found;
  }

  test::TempDir dir;
  CBasicProfiledata profile;
};

struct RepairCase {
  const char* name;
  std::optional<std::string> file;  // nullopt: no file
  bool kept_aside;
  bool keeps_identity;  // "profilename" and "profileUUID" survive the repair
};

TEST_F(ProfileFiles, FilesWithoutAUsableSectionGetTheDefaultSection) {
  const std::string good_then_corrupt = [] {
    std::string t = ProfileText(R"({"LightInfo": {"Red": 200}})");
    t[t.find(':')] = '#';  // one bad byte
    return t;
  }();
  const RepairCase cases[] = {
      {"missing file", std::nullopt, false, false},
      {"empty file", std::string(), false, false},
      {"empty Device array", R"({"profilename": "Mine", "profileUUID": "U1", "Device": []})", false, true},
      {"no Device member", R"({"profilename": "Mine", "profileUUID": "U1"})", false, true},
      {"null section", R"({"profilename": "Mine", "profileUUID": "U1", "Device": [null]})", false, true},
      {"one corrupt byte", good_then_corrupt, true, false},
      {"zero byte first", std::string("\0{}", 3), true, false},
      {"top level array", R"([{"Device": []}])", true, false},
      {"Device not an array", R"({"profilename": "Mine", "profileUUID": "U1", "Device": {"0": {}}})", true, true},
      {"section not an object", R"({"profilename": "Mine", "profileUUID": "U1", "Device": ["x"]})", true, true},
  };
  for (const RepairCase& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(dir.path() / "p.Json");
    for (const auto& old : KeptAside()) fs::remove(old);
    if (c.file) WriteBytes(path(), *c.file);
    platform::TraceCapture trace;

    const Json::Value section = profile.LoadSection(path().string());

    EXPECT_EQ(section["Marker"].asString(), "default");
    EXPECT_EQ(profile.GetLightInfo().mode, 3);  // the profile works with the default section
    const Json::Value written = ReadJson(path().string());
    EXPECT_EQ(Text(written["Device"][0]), Text(kDefaultSection));
    if (c.keeps_identity) {
      EXPECT_EQ(written["profilename"].asString(), "Mine");
      EXPECT_EQ(written["profileUUID"].asString(), "U1");
    }
    const auto aside = KeptAside();
    ASSERT_EQ(aside.size(), c.kept_aside ? 1u : 0u);
    if (c.kept_aside) {
      EXPECT_EQ(Slurp(aside[0]), *c.file);  // the user's bytes survive unchanged
      EXPECT_TRUE(trace.Contains(aside[0].string()));
    }
  }
}

TEST_F(ProfileFiles, AUsableSectionIsReadWithoutTouchingTheFile) {
  const std::string text = ProfileText(R"({"LightInfo": {"Red": 200}})");
  WriteBytes(path(), text);
  EXPECT_EQ(profile.LoadSection(path().string())["LightInfo"]["Red"].asInt(), 200);
  EXPECT_EQ(Slurp(path()), text);
  EXPECT_TRUE(KeptAside().empty());
}

TEST_F(ProfileFiles, WithoutADefaultProfileABrokenFileStaysAndGettersGiveDefaults) {
  fs::remove(default_path());
  WriteBytes(path(), "{broken");
  EXPECT_TRUE(profile.LoadSection(path().string()).isNull());
  EXPECT_EQ(Slurp(path()), "{broken");
  EXPECT_TRUE(KeptAside().empty());
  EXPECT_EQ(profile.GetLightInfo(), LightInfo{});
  EXPECT_TRUE(profile.GetKeyList().empty());
  EXPECT_TRUE(profile.GetLightList().empty());
}

TEST_F(ProfileFiles, SaveReplacesOnlyTheSectionAndKeepsLookedUpMembersAsNull) {
  WriteBytes(path(), R"({"profilename": "Mine", "profileUUID": "U1", "Other": [1, 2], "Device": [{"Speed": 1}]})");
  profile.LoadSection(path().string());
  EXPECT_EQ(profile.GetLightInfo(), LightInfo{});  // no "LightInfo": the fallback record
  // Another program changes the file meanwhile; only the section is replaced on save.
  WriteBytes(path(), R"({"profilename": "Renamed", "profileUUID": "U1", "Other": [1, 2], "Device": [{}]})");
  ASSERT_TRUE(profile.Save());
  const Json::Value saved = ReadJson(path().string());
  EXPECT_EQ(saved["profilename"].asString(), "Renamed");
  EXPECT_EQ(Text(saved["Other"]), Text("[1, 2]"));
  EXPECT_EQ(Text(saved["Device"][0]), Text(R"({"Speed": 1, "LightInfo": null})"));
}

TEST_F(ProfileFiles, SavingOverAFileBrokenSinceLoadingKeepsItAside) {
  WriteBytes(path(), ProfileText("{}"));
  profile.LoadSection(path().string());
  WriteBytes(path(), "{\"Device\": [");
  ASSERT_TRUE(profile.Save());
  ASSERT_EQ(KeptAside().size(), 1u);
  EXPECT_EQ(Slurp(KeptAside()[0]), "{\"Device\": [");
  EXPECT_TRUE(ReadJson(path().string())["Device"][0].isObject());
}

TEST_F(ProfileFiles, ScratchSectionIsLoadedAndSavedApart) {
  WriteBytes(path(), ProfileText(R"({"KeyList": [{"Assignment": 1}]})"));
  const fs::path other = dir.path() / "other.Json";
  WriteBytes(other, ProfileText(R"({"KeyList": [{"Assignment": 2, "DefaultAssignment": 2}]})"));
  profile.LoadSection(path().string());
  profile.LoadScratchSection(other.string());
  ASSERT_EQ(profile.GetScratchKeyList().size(), 1u);
  EXPECT_EQ(profile.GetScratchKeyList()[0].current, (KeyCode{0, 0, 2}));
  profile.SetScratchKeyList({KeyEntry{0, {0x20, 0, 4}, 0, {}}});
  ASSERT_TRUE(profile.SaveScratchSection(other.string()));
  EXPECT_EQ(ReadJson(other.string())["Device"][0]["KeyList"][0]["Assignment"].asInt(), 0x200004);
  EXPECT_EQ(ReadJson(other.string())["Device"][0]["KeyList"][0]["DefaultAssignment"].asInt(), 2);
  EXPECT_EQ(profile.GetKeyList()[0].current, (KeyCode{0, 0, 1}));
}

// Loads one section from text.
CBasicProfiledata Loaded(const test::TempDir& dir, std::string_view section) {
  const std::string path = dir.folder() + "s.Json";
  WriteBytes(path, ProfileText(section));
  CBasicProfiledata p;
  p.LoadSection(path);
  return p;
}

TEST(LightRecord, StoredFieldsRoundTripAndUnstoredBytesReadZero) {
  test::TempDir dir;
  CBasicProfiledata p = Loaded(dir, "{}");
  const LightInfo r{21, 4, 3, 1, 1, 10, 20, 30, 0x88, 0x99, 0xAA, 2, 5, 7, 3, 0xFF};
  p.SetLightInfo(r);
  EXPECT_EQ(p.ProfileSection()["LightInfo"]["LogoMode"].asInt(), 3);
  EXPECT_EQ(p.ProfileSection()["LightInfo"]["LogoColor"].asInt(), 3);
  EXPECT_EQ(p.ProfileSection()["LightInfo"].size(), 13u);
  LightInfo expected = r;
  expected.byte8 = expected.byte9 = expected.byte10 = expected.byte15 = 0;
  EXPECT_EQ(p.GetLightInfo(), expected);
}

TEST(LightRecord, FileValuesAreReadByTheirRules) {
  struct Case {
    const char* light_info;
    LightInfo expected;
  };
  const Case cases[] = {
      {R"({"LogoMode": 1, "LogoColor": 2})",
       [] {
         LightInfo r;
         r.logo_mode = 2;
         return r;
       }()},
      {R"({"LogoMode": 1})",
       [] {
         LightInfo r;
         r.logo_mode = 1;
         return r;
       }()},
      {R"({"MultiColor": 5, "SelectItem": 257, "Red": -1})",
       [] {
         LightInfo r;
         r.multi_color = 1;
         r.mode = 1;
         r.red = 0;  // colours are held to 0..255, never wrapped
         return r;
       }()},
      {R"({"Red": 300, "Green": -4, "Blue": 1e9, "Light": 9, "Speed": 7})",
       [] {
         LightInfo r;
         r.red = 255;
         r.brightness = 4;
         r.speed = 4;
         r.blue = 255;
         return r;
       }()},
      {R"({"Light": -1, "Speed": -300, "Red": 255.9})",
       [] {
         LightInfo r;
         r.red = 255;
         return r;
       }()},
      {R"({"Light": 2.7, "Speed": true, "Green": "12", "Blue": [3], "Fx": {}})",
       [] {
         LightInfo r;
         r.brightness = 2;
         r.speed = 1;
         return r;
       }()},
  };
  test::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.light_info);
    CBasicProfiledata p = Loaded(dir, std::string(R"({"LightInfo": )") + c.light_info + "}");
    EXPECT_EQ(p.GetLightInfo(), c.expected);
  }
}

TEST(AudioLightRecord, ColourTypeAlwaysReadsOne) {
  test::TempDir dir;
  CBasicProfiledata p = Loaded(
      dir,
      R"({"AudioLightInfo": {"AudioMode": 2, "BkColorR": 1, "FgColorB": 6, "7ColorFlags": 7, "ColorTypeFlags": 0}})");
  EXPECT_EQ(p.GetAudioLightInfo(), (AudioLightInfo{2, 1, 0, 0, 0, 0, 6, 1, 1}));
  p.SetAudioLightInfo(AudioLightInfo{1, 2, 3, 4, 5, 6, 7, 0, 0});
  EXPECT_EQ(p.ProfileSection()["AudioLightInfo"]["ColorTypeFlags"].asInt(), 0);
  EXPECT_EQ(p.GetAudioLightInfo(), (AudioLightInfo{1, 2, 3, 4, 5, 6, 7, 0, 1}));
  EXPECT_EQ(Loaded(dir, "{}").GetAudioLightInfo(), AudioLightInfo{});
}

TEST(LightList, NullElementsAreAbsentEntries) {
  test::TempDir dir;
  CBasicProfiledata p = Loaded(dir, R"({"LightList": [null, {"LEDREGMode": 3, "LEDBrightness": 4, "LEDSpeed": 2,
      "LEDDirection": 9, "LEDMultiColor": 2, "red": 1, "green": 2, "blue": 3}, 17]})");
  const auto list = p.GetLightList();
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0], LedEntry{});
  LedEntry e{3, 4, 2, 1, 1, 1, 2, 3};
  e.present = 1;
  EXPECT_EQ(list[1], e);
  EXPECT_EQ(list[2], LedEntry{});
}

TEST(KeyList, CodesAreSplitAndOnlyAssignmentsAreWritten) {
  test::TempDir dir;
  std::string keys;
  for (int i = 0; i < 20; ++i) {
    keys += (i ? "," : "") + std::string(R"({"Assignment": )") + std::to_string(0x200000 + i) +
            R"(, "DefaultAssignment": )" + std::to_string(0x200000 + i) + "}";
  }
  CBasicProfiledata p = Loaded(dir, R"({"KeyList": [)" + keys + "]}");
  const auto list = p.GetKeyList();
  ASSERT_EQ(list.size(), 20u);
  EXPECT_EQ(list[5], (KeyEntry{5, {0x20, 0, 5}, 5, {0x20, 0, 5}}));

  std::vector<KeyEntry> ten(10, KeyEntry{0, {0x70, 3, 0}, 0, {}});
  p.SetKeyList(ten);
  const Json::Value& written = p.ProfileSection()["KeyList"];
  ASSERT_EQ(written.size(), 20u);
  for (Json::ArrayIndex i = 0; i < 20; ++i) {
    EXPECT_EQ(written[i]["Assignment"].asInt(), i < 10 ? 7340800 : 0x200000 + static_cast<int>(i)) << i;
    EXPECT_EQ(written[i]["DefaultAssignment"].asInt(), 0x200000 + static_cast<int>(i)) << i;
  }
}

class EffectSteps : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteBytes(dir.path() / "fx.light", R"({"LEDEffectList": [
        {"LEDREGMode": 2, "LEDDirection": 1, "LEDBrightness": 3, "LEDSpeed": 4, "LEDMultiColor": 5,
         "red": 6, "green": 7, "blue": 8, "Time": 1500, "Cyle": -2}, null]})");
    fs::create_directories(dir.path() / "sub");
    WriteBytes(dir.path() / "sub" / "fx.light", R"({"LEDEffectList": [{}]})");
    WriteBytes(dir.path() / "s.Json", ProfileText(R"({"LightInfo": {"SelectItem": 12}})"));
    profile.LoadSection((dir.path() / "s.Json").string());
    profile.GetLightInfo();
  }
  std::vector<EffectStep> Steps(std::string_view guid, int listed_modes) {
    WriteBytes(dir.path() / "quelt_light.config",
               std::string(R"({"LightInfo": [[], [{"LightName": "a", "Guid": )") + std::string(guid) + "}]]}");
    profile.LoadLightConfig((dir.path() / "quelt_light.config").string());
    return profile.GetEffectSteps(1, listed_modes);
  }

  test::TempDir dir;
  CBasicProfiledata profile;
};

TEST_F(EffectSteps, BareNameIsReadFromTheDeviceFolder) {
  const auto steps = Steps(R"("fx")", 12);
  ASSERT_EQ(steps.size(), 2u);
  EffectStep first{2, 3, 4, 1, 5, 6, 7, 8};
  first.time = 1500;
  first.cycle = -2;
  EXPECT_EQ(steps[0], first);
  EXPECT_EQ(steps[1], EffectStep{});
  EXPECT_EQ(Steps(R"("sub/fx")", 12).size(), 1u);
}

TEST_F(EffectSteps, NamesLeavingTheFolderAndMissingEntriesGiveNoSteps) {
  const std::string absolute = "\"" + (dir.path() / "fx").string() + "\"";
  const char* refused[] = {
      absolute.c_str(), R"("../fx")", R"("sub/../../fx")", R"("sub\\..\\..\\fx")", R"("C:\\fx")", R"("")", "17",
      R"(null)"};
  for (const char* guid : refused) {
    SCOPED_TRACE(guid);
    EXPECT_TRUE(Steps(guid, 12).empty());
  }
  // Mode 12 with 13 listed modes is a listed mode: no configuration lookup, no file.
  EXPECT_TRUE(Steps(R"("fx")", 11).empty());  // entry 1 of the table does not exist
  platform::TraceCapture trace;
  EXPECT_TRUE(profile.GetEffectSteps(1, 13).empty());
  EXPECT_FALSE(trace.Contains("readjsonFile"));
}

TEST_F(EffectSteps, ValuesAreHeldToTheirRanges) {
  WriteBytes(dir.path() / "fx.light", R"({"LEDEffectList": [
      {"LEDBrightness": 9, "LEDSpeed": 7, "red": 300, "green": -4, "blue": 44, "Time": -5}]})");
  const auto steps = Steps(R"("fx")", 12);
  ASSERT_EQ(steps.size(), 1u);
  EXPECT_EQ(steps[0].brightness, 4);
  EXPECT_EQ(steps[0].speed, 4);
  EXPECT_EQ(steps[0].red, 255);
  EXPECT_EQ(steps[0].green, 0);
  EXPECT_EQ(steps[0].blue, 44);
  EXPECT_EQ(steps[0].time, -5);  // the player makes it one tick
}

TEST_F(EffectSteps, AnUnusableFileIsKeptAsideAndPlaysNothing) {
  const char* bad[] = {"{\"LEDEffectList\": [", "[1, 2]", R"({"LEDEffectList": {"a": 1}})", R"({"other": 1})"};
  for (const char* text : bad) {
    SCOPED_TRACE(text);
    WriteBytes(dir.path() / "fx.light", text);
    EXPECT_TRUE(Steps(R"("fx")", 12).empty());
    EXPECT_FALSE(fs::exists(dir.path() / "fx.light"));
    int aside = 0;
    for (const auto& e : fs::directory_iterator(dir.path())) {
      if (e.path().filename().string().rfind("fx.light.broken-", 0) != 0) continue;
      std::ifstream in(e.path());
      EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), text);
      fs::remove(e.path());
      ++aside;
    }
    EXPECT_EQ(aside, 1);
  }
}

TEST(EffectStepsWithoutConfiguration, GiveNoSteps) {
  CBasicProfiledata p;
  EXPECT_TRUE(p.GetEffectSteps(0, 0).empty());
}

}  // namespace
}  // namespace brimvex::profiles
