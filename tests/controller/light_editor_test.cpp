// The light editor on the main window over emulated products: each kind of edit reaches the
// device's settings record in the product's memory, typed colours are held to 0..255, the rules
// switch the editor's groups, and the keyboard's custom colours follow key clicks.
#include "app/emulated_light.h"
#include "devices/mouse_device.h"
#include "discovery/controller_fixture.h"
#include "hid/command_codes.h"
#include "lighting/light_control_ui.h"
#include "platform/ui/controls.h"
#include "platform/ui/list_controls.h"
#include "platform/ui/palette_face.h"

namespace brimvex::app::test {
namespace {

constexpr int kPadRow = 2;

class LightEditorTest : public ControllerFixture {
 protected:
  void Select(int row) {
    selector().ShowEntry(selector().IndexOfRow(row), true, true);
    loop().RunPending();
  }
  lighting::CLightControlUI& Editor(int row) {
    auto* editor = dynamic_cast<lighting::CLightControlUI*>(DeviceOfRow(row)->LightEditor());
    EXPECT_NE(editor, nullptr);
    return *editor;
  }
  template <typename T = ui::Control>
  T* Ctl(int row, const char* name) {
    T* c = dynamic_cast<T*>(Editor(row).FindControl(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
  }
  std::vector<std::uint8_t> Record(const char* product, int profile = 0) {
    loop().RunPending();
    return emu_.Find(product)->SettingsRecord(profile);
  }
  void Type(int row, const char* edit, const char* text) {
    Ctl<ui::Edit>(row, edit)->UserSetText(text);
    loop().RunPending();
  }
};

TEST_F(LightEditorTest, PadEditsReachThePadsRecordAndTypedColoursAreHeld) {
  StartConnected({Product::kKeyboard, Product::kMouse, Product::kMousePad});
  Select(kPadRow);
  // Mode 3 (static) through the drop-down: the pad's code for entry 3 is 19.
  ASSERT_TRUE(Ctl<ui::Combo>(kPadRow, "light_combo_modeSelect")->SelectItem(3));
  loop().RunPending();
  EXPECT_EQ(Record("mousepad")[1], 19);
  EXPECT_EQ(DeviceOfRow(kPadRow)->GetLightState().mode, 3);

  Ctl<ui::Slider>(kPadRow, "deng_light_slider")->UserSetValue(1);
  EXPECT_EQ(Record("mousepad")[2], 1);
  Ctl<ui::Slider>(kPadRow, "deng_speed_slider")->UserSetValue(4);
  EXPECT_EQ(Record("mousepad")[3], 0);  // 4 - speed

  struct Typed {
    const char* edit;
    const char* text;
    const char* shown;
    std::size_t byte;
    std::uint8_t value;
  };
  const Typed typed[] = {{"deng_edit_G", "300", "255", 7, 255}, {"deng_edit_G", "", "0", 7, 0},
                         {"deng_edit_B", "-5", "0", 8, 0},      {"deng_edit_R", "42", "42", 6, 42},
                         {"deng_edit_R", "7x", "7", 6, 7}};
  for (const Typed& t : typed) {
    SCOPED_TRACE(std::string(t.edit) + " \"" + t.text + "\"");
    Ctl<ui::CheckBox>(kPadRow, "deng_7color_check")->SetCheck(true);
    loop().RunPending();
    Type(kPadRow, t.edit, t.text);
    EXPECT_EQ(Ctl<ui::Edit>(kPadRow, t.edit)->Text(), t.shown);
    const auto record = Record("mousepad");
    EXPECT_EQ(record[t.byte], t.value);
    EXPECT_EQ(record[5], 0);  // a colour edit turns 7-colour off
    EXPECT_FALSE(Ctl<ui::CheckBox>(kPadRow, "deng_7color_check")->IsChecked());
  }

  // The palette: the colour under the pointer reaches the pad and the edits.
  auto* palette = Ctl<ui::ColorPalette>(kPadRow, "deng_Color_Pallet");
  const std::uint32_t shown = ui::PaletteColorAt(*palette, 20, 10, 150, 110);
  ui::PalettePickAt(*palette, 20, 10, 150, 110);
  auto record = Record("mousepad");
  EXPECT_EQ((std::array<std::uint8_t, 3>{record[6], record[7], record[8]}),
            (std::array<std::uint8_t, 3>{static_cast<std::uint8_t>(shown >> 16), static_cast<std::uint8_t>(shown >> 8),
                                         static_cast<std::uint8_t>(shown)}));
  EXPECT_EQ(Ctl<ui::Edit>(kPadRow, "deng_edit_R")->Text(), std::to_string((shown >> 16) & 0xFF));

  // A preset: the button's colour; it leaves the sync flag alone.
  DeviceOfRow(kPadRow)->CommandChannelRef().SetLightSync(true);
  Ctl<ui::Button>(kPadRow, "color_option_5")->Activate();
  record = Record("mousepad");
  EXPECT_EQ((std::array<std::uint8_t, 3>{record[6], record[7], record[8]}), (std::array<std::uint8_t, 3>{0, 0, 255}));
  EXPECT_TRUE(DeviceOfRow(kPadRow)->CommandChannelRef().LightSync());
  // Any other edit clears it.
  Ctl<ui::Slider>(kPadRow, "deng_light_slider")->UserSetValue(3);
  EXPECT_FALSE(DeviceOfRow(kPadRow)->CommandChannelRef().LightSync());

  // Mode 8 (off) is the pad's entry 8 (code 24): only the effect and the same-mode button remain.
  ASSERT_TRUE(Ctl<ui::Combo>(kPadRow, "light_combo_modeSelect")->SelectItem(8));
  EXPECT_EQ(Record("mousepad")[1], 24);
  EXPECT_FALSE(Ctl(kPadRow, "deng_color_layout")->IsEnabled());
  EXPECT_FALSE(Ctl(kPadRow, "deng_light_layout")->IsEnabled());
  EXPECT_TRUE(Ctl(kPadRow, "lighteffect_layout")->IsEnabled());
  EXPECT_TRUE(Ctl(kPadRow, "deng_same_mode")->IsVisible());
}

// The mouse page's editor: its modes listed, each edit in the mouse's record (the 66-byte one
// with the stages, which stay as they were), and a page refresh shows what the profile holds.
TEST_F(LightEditorTest, MouseEditsReachTheMousesRecordBesideItsStages) {
  StartConnected({Product::kKeyboard, Product::kMouse});
  constexpr int kMouse = kMouseRow;
  Select(kMouse);
  devices::COmbrixUSBDevice& mouse = *DeviceOfRow(kMouse);
  ASSERT_NE(mouse.LightEditor(), nullptr);
  EXPECT_EQ(mouse.LightEditor(), mouse.FindControl("LightControlItem"));
  auto* modes = Ctl<ui::Combo>(kMouse, "light_combo_modeSelect");
  ASSERT_GE(modes->Count(), 10u);
  const auto stages_before = [&] {
    const auto r = Record("mouse");
    return std::vector<std::uint8_t>(r.begin() + 11, r.begin() + 59);
  };
  ASSERT_TRUE(modes->SelectItem(3));
  loop().RunPending();
  const auto before = stages_before();
  EXPECT_EQ(Record("mouse")[1], static_cast<std::uint8_t>(*mouse.LightModes().CodeOf(3)));
  EXPECT_EQ(mouse.GetLightState().mode, 3);
  Ctl<ui::Slider>(kMouse, "deng_light_slider")->UserSetValue(2);
  EXPECT_EQ(Record("mouse")[2], 2);
  Ctl<ui::Slider>(kMouse, "deng_speed_slider")->UserSetValue(1);
  EXPECT_EQ(Record("mouse")[3], 3);  // 4 - speed
  Type(kMouse, "deng_edit_G", "77");
  EXPECT_EQ(Record("mouse")[7], 77);
  EXPECT_EQ(stages_before(), before);

  // What the profile holds comes back on the editor with a refresh.
  auto& profile = dynamic_cast<devices::COmbrixMouseDevice&>(mouse).Profile();
  profiles::LightInfo light = profile.GetLightInfo();
  light.brightness = 4;
  light.green = 5;
  profile.SetLightInfo(light);
  ASSERT_TRUE(mouse.SaveProfile());
  mouse.ReloadProfile();
  mouse.RefreshPage();
  EXPECT_EQ(Ctl<ui::Slider>(kMouse, "deng_light_slider")->Value(), 4);
  EXPECT_EQ(Ctl<ui::Edit>(kMouse, "deng_edit_G")->Text(), "5");
  EXPECT_EQ(modes->CurSel(), 3);
}

TEST_F(LightEditorTest, KeyboardRowsSwitchTheirGroupsAndAHiddenEntryKeepsItsIndex) {
  StartConnected({Product::kKeyboard});
  Select(kKeyboardRow);
  auto* modes = Ctl<ui::Combo>(kKeyboardRow, "light_combo_modeSelect");
  ASSERT_EQ(modes->Count(), 31u);
  EXPECT_FALSE(modes->ChildAt(20)->IsVisible());  // hidden, still at its index
  EXPECT_TRUE(modes->ChildAt(21)->IsVisible());
  struct Case {
    int mode;
    bool color, brightness, speed_shown, custom, zzcc;
  };
  const Case cases[] = {{0, false, false, true, false, false},  {20, false, false, true, false, false},
                        {17, false, true, false, false, true},  {19, true, true, false, true, false},
                        {6, true, true, true, false, false},    {29, true, true, false, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    ASSERT_TRUE(modes->SelectItem(c.mode));
    loop().RunPending();
    EXPECT_EQ(DeviceOfRow(kKeyboardRow)->GetLightState().mode, c.mode);
    if (c.mode == 6) {
      EXPECT_EQ(Record("keyboard")[1], 6);
    }
    EXPECT_EQ(Ctl(kKeyboardRow, "deng_color_layout")->IsEnabled(), c.color);
    EXPECT_EQ(Ctl(kKeyboardRow, "deng_light_layout")->IsEnabled(), c.brightness);
    EXPECT_EQ(Ctl(kKeyboardRow, "deng_speed_layout")->IsVisible(), c.speed_shown);
    EXPECT_EQ(Ctl(kKeyboardRow, "lightcustom_layout")->IsVisible(), c.custom);
    EXPECT_EQ(Ctl(kKeyboardRow, "light_combo_ZZCCmodeSelectLayout")->IsVisible(), c.zzcc);
    EXPECT_TRUE(Ctl(kKeyboardRow, "lighteffect_layout")->IsEnabled());
    // One device alone: the same-mode button is never shown, even in mode 6.
    EXPECT_FALSE(Ctl(kKeyboardRow, "deng_same_mode")->IsVisible());
  }
  // The last mode is the audio mode, which the keyboard record carries as 0xFE.
  EXPECT_EQ(Record("keyboard")[1], 0xFE);
}

TEST_F(LightEditorTest, AKeyClickInCustomColoursWritesTheColourSlotOfItsGroup) {
  StartConnected({Product::kKeyboard});
  Select(kKeyboardRow);
  auto* keyboard = DeviceOfRow(kKeyboardRow);
  ASSERT_TRUE(Ctl<ui::Combo>(kKeyboardRow, "light_combo_modeSelect")->SelectItem(19));
  loop().RunPending();
  Type(kKeyboardRow, "deng_edit_R", "12");
  Type(kKeyboardRow, "deng_edit_G", "34");
  Type(kKeyboardRow, "deng_edit_B", "56");
  constexpr int kGroup = 3;
  ASSERT_TRUE(Ctl<ui::Combo>(kKeyboardRow, "light_combo_custommodeSelect")->SelectItem(kGroup));
  loop().RunPending();
  EXPECT_EQ(keyboard->GetLightState().custom_group, kGroup);
  constexpr int kKey = 64;
  Click(("key_" + std::to_string(kKey)).c_str());
  const int position = keyboard->KeyIndexMap(1).at(kKey);
  const auto slots = emu_.Find("keyboard")->Memory(emulator::Area::kColorSlots);
  const std::size_t at = kGroup * emulator::kColorSlotSize + 3 * static_cast<std::size_t>(position);
  EXPECT_EQ((std::array<std::uint8_t, 3>{slots[at], slots[at + 1], slots[at + 2]}),
            (std::array<std::uint8_t, 3>{12, 34, 56}));
  // Outside mode 19 a click paints nothing.
  ASSERT_TRUE(Ctl<ui::Combo>(kKeyboardRow, "light_combo_modeSelect")->SelectItem(6));
  loop().RunPending();
  Type(kKeyboardRow, "deng_edit_R", "99");
  Click(("key_" + std::to_string(kKey)).c_str());
  EXPECT_EQ(emu_.Find("keyboard")->Memory(emulator::Area::kColorSlots)[at], 12);
}

TEST_F(LightEditorTest, BrimvexctlLightSetChecksWordsThenDeviceThenRulesAndDrivesTheEditor) {
  StartConnected({Product::kKeyboard, Product::kMousePad});
  auto run = [&](std::vector<std::string> words) {
    words.insert(words.begin(), "light");
    ControlAnswer a = wnd_->Requests().Run(ControlRequest{1, "brimvexctl-test", words});
    loop().RunPending();
    return a;
  };
  RequestTable emulated;
  RegisterEmulatedLightRequests(emulated, emu_);
  const auto before = Record("mousepad");
  struct Refused {
    std::vector<std::string> words;
    int exit_code;
    std::string text;
  };
  const Refused refused[] = {
      {{"pad", "set", "speed=5"}, kExitMalformed, ""},
      {{"pad", "set", "color=12345"}, kExitMalformed, ""},
      {{"pad", "set", "color=GG0000"}, kExitMalformed, ""},
      {{"pad", "set", "direction=2"}, kExitMalformed, ""},
      {{"pad", "set", "hue=3"}, kExitMalformed, ""},
      {{"pad", "set", "speed=1", "speed=2"}, kExitMalformed, ""},
      {{"pad", "set"}, kExitMalformed, ""},
      {{"toaster", "set", "speed=1"}, kExitMalformed, ""},
      {{"pad", "set", "mode=light_mode_nothing"}, kExitMalformed, ""},
      {{"mouse", "set", "speed=1"}, kExitFailed, "no mouse is connected\n"},
      {{"pad", "set", "mode=5"}, kExitRefused, "brimvexctl: refused: mode 5 is not offered on the pad\n"},
      {{"pad", "set", "mode=3", "speed=2"}, kExitRefused, "brimvexctl: refused: speed does not apply to mode 3 on the pad\n"},
      {{"pad", "set", "mode=8", "color=FF0000"}, kExitRefused, "brimvexctl: refused: color does not apply to mode 8 on the pad\n"},
  };
  for (const Refused& r : refused) {
    SCOPED_TRACE(r.words.back());
    const ControlAnswer a = run(r.words);
    EXPECT_EQ(a.exit_code, r.exit_code) << a.text;
    if (!r.text.empty()) {
      EXPECT_EQ(a.text, r.text);
    }
  }
  EXPECT_EQ(Record("mousepad"), before);  // nothing changed

  Select(kKeyboardRow);
  const ControlAnswer set = run({"pad", "set", "mode=light_mode_static", "color=1a2B3c", "brightness=2"});
  ASSERT_EQ(set.exit_code, kExitDone) << set.text;
  const std::string lines =
      "mode: 3 light_mode_static\ncolor: 1A2B3C\nbrightness: 2\nspeed: " +
      std::to_string(DeviceOfRow(kPadRow)->GetLightState().speed) + "\ndirection: " +
      std::to_string(DeviceOfRow(kPadRow)->GetLightState().direction) + "\n";
  EXPECT_EQ(set.text, lines);
  EXPECT_EQ(selector().Entry(selector().IndexOfRow(kPadRow))->IsSelected(), true);  // selected as a click does
  const auto record = Record("mousepad");
  EXPECT_EQ(std::vector<std::uint8_t>(record.begin() + 1, record.begin() + 9),
            (std::vector<std::uint8_t>{19, 2, record[3], record[4], 0, 0x1A, 0x2B, 0x3C}));
  // The editor shows what was set, and the profile holds it.
  EXPECT_EQ(Ctl<ui::Edit>(kPadRow, "deng_edit_G")->Text(), "43");
  EXPECT_EQ(Ctl<ui::Combo>(kPadRow, "light_combo_modeSelect")->CurSel(), 3);

  // The emulator's answer reads the pad's memory: the same five lines and the live frame.
  const ControlAnswer held = emulated.Run(ControlRequest{2, "brimvexctl-test", {"light", "pad"}});
  ASSERT_EQ(held.exit_code, kExitDone) << held.text;
  EXPECT_EQ(held.text.substr(0, held.text.find("frame: ")), lines.substr(0, lines.find("direction: ")) +
                                                                  "direction: " + std::to_string(record[4]) + "\n");
  EXPECT_NE(held.text.find("frame: "), std::string::npos);

  // Keyboard mode 6 has no speed: the whole set is refused before anything changes.
  ASSERT_EQ(run({"keyboard", "set", "mode=6"}).exit_code, kExitDone);
  const auto keyboard_before = Record("keyboard");
  const ControlAnswer no = run({"keyboard", "set", "color=00FF00", "speed=3"});
  EXPECT_EQ(no.exit_code, kExitRefused);
  EXPECT_EQ(no.text, "brimvexctl: refused: speed does not apply to mode 6 on the keyboard\n");
  EXPECT_EQ(Record("keyboard"), keyboard_before);
}

}  // namespace
}  // namespace brimvex::app::test
