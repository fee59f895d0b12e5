// The keyboard page as shipped: a keyboard whose keys sit where a full-size board has them, each
// labelled with the name of its factory code, ringed by its light and telling its function, and
// the key editor below it.
#include <gtest/gtest.h>

#include "devices/device_key_button.h"
#include "devices/device_rig.h"
#include "devices/key_set_control_ui.h"
#include "devices/keyboard_device.h"
#include "platform/ui/container.h"
#include "profiles/default_tables.h"

namespace brimvex::devices::test {
namespace {

class KeyboardPage : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(rig_.BuildPage()); }
  const ui::Rect& Pos(int key) { return rig_.device->KeyButton(key)->FloatPos(); }
  DeviceRig<COmbrixKeyboardDevice> rig_{Product::kKeyboard, 170, 170};
};

TEST_F(KeyboardPage, EveryKeyIsLabelledWithItsFactoryCodeAndRingedByItsLight) {
  for (int k = 0; k < profiles::kKeyboardPageKeyCount; ++k) {
    const CDeviceKeyButtonUI* key = rig_.device->KeyButton(k);
    const CDeviceKeyButtonUI* light = rig_.device->LightButton(k);
    ASSERT_NE(key, nullptr) << k;
    ASSERT_NE(light, nullptr) << k;
    const int row = FindKeyRow(profiles::kKeyboardPageKeys[static_cast<std::size_t>(k)].code);
    // The key's name, or its short legend where the name is too long for the cap.
    const std::string name(row >= 0 ? kKeyTable[static_cast<std::size_t>(row)].text_key : "");
    const std::string legend = name.empty() ? "" : "keycap_" + name.substr(std::string_view("keyboard_key_").size());
    EXPECT_TRUE(key->TextKey() == name || key->TextKey() == legend) << k << " " << key->TextKey();
    const ui::Rect& r = key->FloatPos();
    const ui::Rect& l = light->FloatPos();
    EXPECT_TRUE(l.x < r.x && l.y < r.y && l.x + l.width > r.x + r.width && l.y + l.height > r.y + r.height) << k;
  }
}

TEST_F(KeyboardPage, KeysDoNotOverlapAndFitThePicture) {
  const ui::Container* panel = rig_.device->SelectPanel();
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(panel->Name(), "device_key_light");
  for (int a = 0; a < profiles::kKeyboardPageKeyCount; ++a) {
    const ui::Rect& p = Pos(a);
    EXPECT_GE(p.x, 0);
    EXPECT_LE(p.x + p.width, panel->FixedWidth()) << a;
    EXPECT_LE(p.y + p.height, panel->FixedHeight()) << a;
    for (int b = a + 1; b < profiles::kKeyboardPageKeyCount; ++b) {
      const ui::Rect& q = Pos(b);
      const bool apart = p.x + p.width <= q.x || q.x + q.width <= p.x || p.y + p.height <= q.y || q.y + q.height <= p.y;
      EXPECT_TRUE(apart) << a << " and " << b;
    }
  }
}

TEST_F(KeyboardPage, RowsAndWidthsOfAFullSizeBoard) {
  // A key's place is its cap plus the gap around it; F1 is one unit.
  const int gap = Pos(2).x - Pos(1).x - Pos(1).width;
  auto units = [&](int key) { return static_cast<double>(Pos(key).width + gap) / (Pos(1).width + gap); };
  struct Width {
    int key;
    double units;
  };
  for (const Width& w : {Width{34, 2}, Width{42, 1.5}, Width{63, 1.75}, Width{75, 2.25}, Width{84, 2.25},
                         Width{95, 2.75}, Width{105, 1.25}, Width{108, 6.25}, Width{116, 2}, Width{43, 1}}) {
    EXPECT_NEAR(units(w.key), w.units, 0.07) << w.key;
  }
  // Left to right on one row: the main block, then the navigation block, then the keypad.
  EXPECT_EQ(Pos(0).y, Pos(12).y);
  EXPECT_LT(Pos(0).y, Pos(21).y) << "the F-row above the number row";
  EXPECT_LT(Pos(34).x, Pos(35).x);
  EXPECT_LT(Pos(37).x, Pos(38).x);
  EXPECT_EQ(Pos(113).y, Pos(114).y);
  EXPECT_LT(Pos(96).y, Pos(114).y) << "Up above Down";
  EXPECT_EQ(Pos(96).x, Pos(114).x);
  EXPECT_GT(Pos(118).height, Pos(117).height) << "the keypad's Enter is tall";
  EXPECT_LT(Pos(120).x, Pos(21).x) << "M1 left of the board";
}

TEST_F(KeyboardPage, TheKeyEditorIsOnThePageBelowThePicture) {
  auto* editor = dynamic_cast<CKeySetControlUI*>(rig_.device->FindControl("KeySetControlItem"));
  ASSERT_NE(editor, nullptr);
  EXPECT_TRUE(editor->BindControls());
  auto* keys = dynamic_cast<ui::TabLayout*>(rig_.device->FindControl("device_key_function_switch"));
  ASSERT_NE(keys, nullptr);
  EXPECT_EQ(keys->ChildAt(1), editor) << "the key page of the function switch";
  ASSERT_NE(rig_.device->FindControl("device_function_switch"), nullptr);
  // The key editor's page of the function tabs shows it.
  rig_.device->ShowFunctionSwitch(2);
  EXPECT_EQ(keys->CurrentSel(), 1);
  rig_.device->ShowFunctionSwitch(1);
  EXPECT_EQ(keys->CurrentSel(), 0);
}

TEST_F(KeyboardPage, KeyTooltipsNameTheirFunctions) {
  std::vector<KeyEntry> keys(profiles::kKeyboardPageKeyCount);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    keys[i].index = keys[i].default_index = static_cast<std::uint16_t>(i);
    keys[i].current = keys[i].default_code = profiles::kKeyboardPageKeys[i].code;
  }
  keys[64].current = {0x20, 0x01, 0x05};  // A -> LCtrl+B
  keys[65].current = {0x70, 1, 0};        // S -> macro 1
  keys[66].current = {0x20, 0x00, 0x68};  // D -> F13, which the tables cannot name
  ShowKeyFunctions(*rig_.device, keys, std::vector<std::string>{"Reload", "Burst"});
  // Without a window the texts are their keys.
  EXPECT_EQ(rig_.device->KeyButton(0)->ToolTip(), "keyboard_key_Esc");
  EXPECT_EQ(rig_.device->KeyButton(64)->ToolTip(), "keyboard_key_LCtrl+keyboard_key_B");
  EXPECT_EQ(rig_.device->KeyButton(65)->ToolTip(), "Burst");
  EXPECT_EQ(rig_.device->KeyButton(66)->ToolTip(), "key_unknown");
  EXPECT_EQ(rig_.device->KeyButton(18)->ToolTip(), "close_text");
}

}  // namespace
}  // namespace brimvex::devices::test
