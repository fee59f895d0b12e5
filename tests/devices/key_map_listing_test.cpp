// The key map lines brimvexctl prints: the page keys' names, a slot's code and function, keys
// without a slot, and the function words `keymap set` takes.
#include "devices/key_map_listing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <vector>

#include "devices/key_slots.h"
#include "platform/paths.h"
#include "platform/ui/resource_manager.h"

namespace brimvex::devices {
namespace {

class KeyMapListing : public ::testing::Test {
 protected:
  void SetUp() override {
    resources_.SetLanguageFolder(platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources") + "/lang/");
    ASSERT_TRUE(resources_.LoadLanguage("lan_en.xml")) << resources_.LastError();
  }
  TextLookup English() const {
    return [this](std::string_view key) { return resources_.Text(key); };
  }
  ui::ResourceManager resources_;
};

TEST_F(KeyMapListing, PageKeysAreNamedByTheirFactoryKey) {
  const std::pair<int, const char*> cases[] = {
      {0, "Esc"},        {16, "GM"},      {17, "key17"},  {18, "key18"},   {20, "key20"},  {64, "A"},
      {84, "LShift"},    {95, "RShift"},  {104, "key104"}, {110, "FN"},    {118, "Num Enter"},
      {120, "M1"},       {124, "M5"},     {125, "RWin"},  {126, "key126"}, {-1, "key-1"},
  };
  for (const auto& [key, name] : cases) EXPECT_EQ(PageKeyName(key, English()), name) << key;
}

TEST_F(KeyMapListing, LinesGiveTheSlotsCodeAndItsFunction) {
  const std::vector<std::uint8_t> map = {0x20, 0x01, 0x05, 0xEE, 0x12, 0x34, 0x20, 0x00, 0x00};
  const struct {
    int key;
    int slot;
    std::string line;
  } cases[] = {
      {64, 0, "64\tA\t0x200105\tLCtrl+B\n"},
      {0, 1, "0\tEsc\t0xee1234\tunknown\n"},
      {18, 2, "18\tkey18\t0x200000\tDisabled\n"},
      {5, kNoSlot, "5\tF5\t-\tunknown\n"},
      {6, 3, "6\tF6\t-\tunknown\n"},  // a slot past the map read
  };
  for (const auto& c : cases) EXPECT_EQ(KeyMapLine(c.key, c.slot, map, English()), c.line) << c.key;

  // Every page key, in page order, four fields each.
  const std::vector<int> slots(126, kNoSlot);
  std::istringstream lines(KeyMapLines(slots, map, English()));
  int n = 0;
  for (std::string line; std::getline(lines, line); ++n) {
    EXPECT_TRUE(line.starts_with(std::to_string(n) + "\t")) << line;
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 3) << line;
  }
  EXPECT_EQ(n, 126);
}

TEST_F(KeyMapListing, FunctionWords) {
  const KeyCode def{0x20, 0x00, 0x04};
  const struct {
    const char* word;
    std::optional<KeyCode> code;
  } cases[] = {
      {"0x200005", KeyCode{0x20, 0x00, 0x05}},
      {"0X20000a", KeyCode{0x20, 0x00, 0x0A}},
      {"0x5", KeyCode{0x00, 0x00, 0x05}},
      {"default", def},
      {"DEFAULT", def},
      {"b", KeyCode{0x20, 0x00, 0x05}},
      {"lctrl", KeyCode{0x20, 0x01, 0x00}},
      {"num enter", KeyCode{0x20, 0x00, 0x58}},
      {"FN", KeyCode{0xA0, 0x01, 0x00}},
      {"0x1000000", std::nullopt},  // above 0xFFFFFF
      {"0x", std::nullopt},
      {"0x-1", std::nullopt},
      {"0x20g005", std::nullopt},
      {"2097157", std::nullopt},
      {"LCtrl+B", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseKeyFunction(c.word, def, English()), c.code) << c.word;
}

}  // namespace
}  // namespace brimvex::devices
