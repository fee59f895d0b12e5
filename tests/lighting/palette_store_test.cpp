// The palette store: colour strings, opening with its default copy and a broken store, saving
// beside other members.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "lighting/palette_store.h"
#include "profiles/file_helpers.h"
#include "test_support/temp_dir.h"

namespace brimvex::lighting {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}
void Write(const fs::path& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }

std::vector<fs::path> KeptAside(const fs::path& folder) {
  std::vector<fs::path> out;
  for (const auto& e : fs::directory_iterator(folder))
    if (e.path().filename().string().find(".broken-") != std::string::npos) out.push_back(e.path());
  return out;
}

TEST(PaletteStore, ColorStrings) {
  struct Case {
    Json::Value value;
    std::optional<std::uint32_t> color;
  };
  const Case cases[] = {
      {"FF00FF00", 0xFF00FF00}, {"0000ff00", 0xFF00FF00}, {"00FF00", 0xFF00FF00}, {"1", 0xFF000001},
      {"", std::nullopt},       {"123456789", std::nullopt}, {"GG", std::nullopt}, {"-1", std::nullopt},
      {" FF", std::nullopt},    {"0x12", std::nullopt},      {12, std::nullopt},   {Json::Value(), std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value.toStyledString());
    EXPECT_EQ(ParseStoreColor(c.value), c.color);
  }
}

TEST(PaletteStore, ReadsMembersAndLeavesBadSlotsToTheSkin) {
  const Json::Value doc = profiles::ParseJson(R"({"coloroptioninfo": {
      "palletDialogcoloroption": [{"color": "FF112233"}, {"color": "zz"}, {}],
      "palletDialogcoloroption_selectitem": 7,
      "palletDialogcollectcoloroption": [{"color": "FFFFFFFF", "UserData": "0"}, {"color": "00ABCDEF", "UserData": "1"}]}})");
  const PaletteStore s = ReadPaletteStore(doc);
  EXPECT_EQ(s.presets[0], 0xFF112233u);
  EXPECT_EQ(s.presets[1], std::nullopt);
  EXPECT_EQ(s.presets[2], std::nullopt);
  EXPECT_EQ(s.preset_index, 7);
  EXPECT_EQ(s.collected[1].color, 0xFFABCDEFu);
  EXPECT_EQ(s.collected[1].user_data, "1");
  EXPECT_EQ(s.collected[0].user_data, "0");
  EXPECT_EQ(s.collected_index, std::nullopt);
}

TEST(PaletteStore, OpeningTakesTheDefaultCopyAndKeepsABrokenStoreAside) {
  struct Case {
    const char* what;
    std::optional<std::string> store;  // nullopt: no file
    bool default_shown;
    bool kept_aside;
  };
  const std::string own = R"({"coloroptioninfo": {"palletDialogcoloroption_selectitem": 3}, "other": 1})";
  const Case cases[] = {
      {"missing", std::nullopt, true, false},
      {"readable", own, false, false},
      {"does not parse", "{\"coloroptioninfo\": [", true, true},
      {"wrong shape", R"({"coloroptioninfo": [1, 2]})", true, true},
      {"not an object", "[1]", true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::TempDir app, data;
    const std::string store = PaletteStorePath(app.folder());
    const std::string defaults = PaletteStorePath(data.folder());
    Write(defaults, R"({"coloroptioninfo": {"palletDialogcoloroption_selectitem": 9}})");
    if (c.store) Write(store, *c.store);
    const Json::Value doc = OpenPaletteStore(store, defaults);
    EXPECT_EQ(ReadPaletteStore(doc).preset_index, c.default_shown ? 9 : 3);
    const auto aside = KeptAside(app.path());
    ASSERT_EQ(aside.size(), c.kept_aside ? 1u : 0u);
    if (c.kept_aside) {
      EXPECT_EQ(Read(aside[0]), *c.store);  // the old bytes, untouched
    }
    EXPECT_EQ(ReadPaletteStore(profiles::ReadJson(store)).preset_index, c.default_shown ? 9 : 3);
  }
}

TEST(PaletteStore, SavingReplacesItsMembersOnlyAndWritesUpperCaseHex) {
  test::TempDir app;
  const std::string store = PaletteStorePath(app.folder());
  Write(store, R"({"coloroptioninfo": {"palletDialogcoloroption_selectitem": 3, "mine": "kept"}, "other": [1]})");
  std::array<CollectedColor, kPaletteSlots> slots{};
  slots[5] = {0xFFABCDEF, "1"};
  ASSERT_TRUE(SavePaletteCollected(store, slots, 5));
  std::array<std::uint32_t, kPaletteSlots> presets{};
  presets.fill(0xFF0000FF);
  ASSERT_TRUE(SavePalettePresets(store, presets, 2));
  const Json::Value doc = profiles::ReadJson(store);
  EXPECT_EQ(doc["other"][0].asInt(), 1);
  EXPECT_EQ(doc["coloroptioninfo"]["mine"].asString(), "kept");
  EXPECT_EQ(doc["coloroptioninfo"]["palletDialogcollectcoloroption"][5]["color"].asString(), "FFABCDEF");
  const PaletteStore s = ReadPaletteStore(doc);
  EXPECT_EQ(s.collected[5].user_data, "1");
  EXPECT_EQ(s.collected_index, 5);
  EXPECT_EQ(s.preset_index, 2);
  EXPECT_EQ(s.presets[19], 0xFF0000FFu);
}

}  // namespace
}  // namespace brimvex::lighting
