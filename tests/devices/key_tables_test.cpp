// The key tables: how the page names a key code, that the factory codes of the page keys and
// every capturable key are in the tables, and that both language files know every text.
#include "devices/key_tables.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "platform/evdev_keys.h"
#include "platform/paths.h"
#include "platform/ui/resource_manager.h"
#include "profiles/default_tables.h"

namespace brimvex::devices {
namespace {

std::string Lang() { return platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources") + "/lang/"; }

class KeyNames : public ::testing::Test {
 protected:
  void SetUp() override {
    resources_.SetLanguageFolder(Lang());
    ASSERT_TRUE(resources_.LoadLanguage("lan_en.xml")) << resources_.LastError();
  }
  std::optional<std::string> Name(KeyCode code) const {
    static const std::vector<std::string> kMacros = {"Reload", "Combo"};
    return KeyCodeName(
        code, [this](std::string_view key) { return resources_.Text(key); }, kMacros);
  }
  ui::ResourceManager resources_;
};

TEST_F(KeyNames, NamingRule) {
  struct Case {
    KeyCode code;
    std::optional<std::string> name;  // nullopt: the tables cannot name it
  };
  const std::vector<Case> cases = {
      {{0x20, 0x00, 0x04}, "A"},
      {{0x20, 0x00, 0x58}, "Num Enter"},
      {{0x20, 0x00, 0x31}, "\\"},
      {{0x20, 0x00, 0x36}, ","},
      {{0x20, 0x00, 0x39}, "Caps Lock"},
      {{0x20, 0x02, 0x00}, "LShift"},
      {{0x20, 0x01, 0x05}, "LCtrl+B"},
      {{0x20, 0x03, 0x04}, "LCtrl+LShift+A"},  // each modifier bit is named
      {{0x20, 0x22, 0x00}, "LShift+RShift"},
      {{0x20, 0x10, 0x16}, "RCtrl+S (Save)"},  // a shortcut is named after its keys
      {{0x20, 0x00, 0x00}, "Disabled"},
      {{0x00, 0x00, 0x00}, "Disabled"},
      {{0x00, 0x00, 0x29}, "Esc"},
      {{0x20, 0x00, 0x68}, std::nullopt},  // F13: no row
      {{0x20, 0x01, 0x68}, std::nullopt},
      {{0x10, 0x04, 0x00}, "Middle button"},
      {{0x10, 0x03, 0x00}, std::nullopt},
      {{0x11, 0x25, 0x83}, "Tilt right"},
      {{0x11, 0x25, 0x03}, "Tilt left"},
      {{0x12, 0x25, 0xFD}, "Wheel down"},
      {{0x12, 0x25, 0x03}, "Wheel up"},
      {{0x13, 0x03, 0x00}, "DPI cycle"},
      {{0x13, 0x04, 0x00}, std::nullopt},
      {{0x14, 0x0A, 0x05}, "Rapid fire"},
      {{0x16, 0x00, 0x00}, "DPI shift"},
      {{0x22, 0x00, 0x03}, "Save"},
      {{0x22, 0x00, 0x08}, "Select all"},
      {{0x22, 0x00, 0x09}, std::nullopt},  // the second form names the first nine shortcuts only
      {{0x23, 0x00, 0x00}, "Show window"},
      {{0x30, 0xE2, 0x00}, "Mute"},
      {{0x30, 0x92, 0x01}, "Calculator"},
      {{0x30, 0x92, 0x02}, std::nullopt},
      {{0x40, 0x02, 0x00}, "Sleep"},
      {{0x70, 0x01, 0x02}, "Combo"},
      {{0x71, 0x00, 0x05}, "Reload"},
      {{0x71, 0x02, 0x05}, std::nullopt},  // macro 2 is not in the store
      {{0xA0, 0x01, 0x00}, "FN"},
      {{0xA0, 0x1B, 0x00}, "GM"},
      {{0xA0, 0x02, 0x00}, "Smart key"},
      {{0xA0, 0x24, 0x00}, std::nullopt},
      {{0xD0, 0xA2, 0x03}, "M3"},
      {{0xD0, 0xA2, 0x06}, std::nullopt},
      {{0x15, 0x01, 0x02}, ""},
      {{0xB0, 0x00, 0x00}, ""},
      {{0xC0, 0x07, 0x00}, ""},
      {{0x99, 0x00, 0x00}, std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Name(c.code), c.name) << std::hex << c.code.ToInteger();
  }
}

TEST_F(KeyNames, EveryPageKeyFactoryCodeHasItsName) {
  // brimvexctl and the page name a key by its factory code; only the keys without a function
  // (17: 0xA0 0x24, and the spare keys) have none of their own.
  for (int i = 0; i < profiles::kKeyboardPageKeyCount; ++i) {
    const auto& key = profiles::kKeyboardPageKeys[static_cast<std::size_t>(i)];
    const int row = FindKeyRow(key.code);
    if (i == 17 || key.name == "none") {
      EXPECT_LT(row, 0) << i;
      continue;
    }
    ASSERT_GE(row, 0) << i << " " << key.name;
    EXPECT_TRUE(Name(key.code).has_value()) << i;
  }
  EXPECT_EQ(Name(profiles::kKeyboardPageKeys[84].code), "LShift");
  EXPECT_EQ(Name(profiles::kKeyboardPageKeys[118].code), "Num Enter");
}

TEST(KeyTable, RowsAreWhereTheOtherTablesExpectThem) {
  for (int r = 0; r < kModifierRows; ++r) {
    const KeyCode c = kKeyTable[static_cast<std::size_t>(r)].code;
    EXPECT_EQ(c.type, kTypeKey);
    EXPECT_EQ(c.p1, 1u << r);
    EXPECT_EQ(c.p2, 0);
  }
  for (int r = kModifierRows; r < kPlainKeyRowsEnd; ++r) {
    const KeyCode c = kKeyTable[static_cast<std::size_t>(r)].code;
    EXPECT_EQ(c.type, kTypeKey) << r;
    EXPECT_EQ(c.p1, 0) << r;
    EXPECT_EQ(FindPlainKeyRow(c.p2), r) << "one row per usage: " << r;
  }
  EXPECT_EQ(kKeyTable[114].code.type, kTypeMedia);
  EXPECT_EQ(kKeyTable[131].code.type, kTypeMedia);
  EXPECT_EQ(kKeyTable[132].code, (KeyCode{kTypeSystem, 1, 0}));
  EXPECT_EQ(kKeyTable[141].code, (KeyCode{kTypeDeviceFunction, 0x1B, 0}));
  // Both Ctrl rows give box 1, both Shift rows 2, both Alt rows 3, both Win rows 4.
  for (int r = 0; r < kModifierRows; ++r) EXPECT_EQ(ModifierBox(r), r % 4 + 1) << r;
  EXPECT_EQ(ModifierBit(2), 0x02);
  EXPECT_EQ(ModifierBit(0), 0);
}

TEST(KeyTable, EveryCapturableKeyHasItsLinuxKey) {
  // Each keyboard key the table can capture is reached by exactly the Linux key that gives its
  // capture code. K42 shares "/"'s code and is never captured; 0xFF matches no key.
  std::set<std::uint16_t> from_linux;
  for (const auto& k : platform::EvdevKeyTable()) from_linux.insert(CaptureCode(k.vk, k.extended));
  for (int r = 0; r < kPlainKeyRowsEnd; ++r) {
    const KeyTableRow& row = kKeyTable[static_cast<std::size_t>(r)];
    if (row.capture == 0xFF || row.text_key == "keyboard_key_K42") continue;
    EXPECT_TRUE(from_linux.contains(row.capture)) << row.text_key;
    EXPECT_EQ(FindCaptureRow(row.capture), r) << row.text_key;
  }
  EXPECT_EQ(FindCaptureRow(CaptureCode(0x0D, true)), FindPlainKeyRow(0x58)) << "the keypad's Enter";
  EXPECT_EQ(FindCaptureRow(CaptureCode(0x0D, false)), FindPlainKeyRow(0x28));
  EXPECT_EQ(FindCaptureRow(0), -1);
}

TEST(KeyTable, BothLanguagesNameEveryKeyAndEntry) {
  std::vector<std::string_view> keys = {"close_text",          "key_unknown",          "keyset_key_unsupported",
                                        "keyset_capture_hint", "mouse_key_left_Swing", "mouse_key_right_Swing",
                                        "mouse_key_up_Swing",  "mouse_key_down_Swing", "mouse_key_fire_key",
                                        "mouse_key_DPI_shift", "show_window",          "mouse_key_smart_key"};
  for (const auto& row : kKeyTable) keys.push_back(row.text_key);
  for (auto list : {std::span<const ListEntry>(kMouseButtonList), std::span<const ListEntry>(kResolutionList),
                    std::span<const ListEntry>(kMediaList), std::span<const ListEntry>(kSystemList),
                    std::span<const ListEntry>(kShortcutList)}) {
    for (const auto& e : list) keys.push_back(e.text_key);
  }
  for (const char* file : {"lan_en.xml", "lan_cn.xml"}) {
    ui::ResourceManager r;
    r.SetLanguageFolder(Lang());
    ASSERT_TRUE(r.LoadLanguage(file)) << r.LastError();
    // Text() gives the key itself when the file lacks it.
    for (std::string_view k : keys) EXPECT_NE(r.Text(k), k) << file << ": " << k;
  }
}

}  // namespace
}  // namespace brimvex::devices
