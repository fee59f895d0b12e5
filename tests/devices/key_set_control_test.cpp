// The key assignment editor built from the shipped layout: each editor page shows a key code and
// composes it back (one table per page), the device kind's pages, the macro list and buttons,
// and key capture fed Linux key codes.
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <map>
#include <memory>

#include "devices/device_classes.h"
#include "devices/key_set_control_ui.h"
#include "platform/paths.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/list_controls.h"
#include "platform/ui/window.h"

namespace brimvex::devices {
namespace {

std::string Resources() { return platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources") + "/"; }

// Esc is the key being edited: its factory code.
constexpr KeyCode kEsc{0x20, 0x00, 0x29};

class KeyEditor : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(resources_.LoadResource(Resources() + "skin/"));
    resources_.SetLanguageFolder(Resources() + "lang/");
    ASSERT_TRUE(resources_.LoadLanguage("lan_en.xml"));
    factory_.Register("CKeySetControlUI", KeySetControlCreator());
    ui::DialogBuilder builder(resources_, factory_);
    auto built = builder.CreateFromText(
        R"(<KeySetControl name="KeySetControlItem"><Include source="XML/CustomControlXML/KeySetControl.xml"/></KeySetControl>)",
        "test");
    ASSERT_TRUE(built) << built.error;
    editor_ = dynamic_cast<CKeySetControlUI*>(built.root.get());
    ASSERT_NE(editor_, nullptr);
    window_.AttachRoot(std::move(built.root));
    ASSERT_TRUE(editor_->Bound());
    ASSERT_TRUE(editor_->BindControls()) << "the layout has every control the editor looks for";
    editor_->SetDeviceKind(kDeviceMouse);  // every page
    editor_->SetMacroNames({"m0", "m1", "m2"});
  }

  ui::Combo* Combo(const std::string& name) { return window_.Find<ui::Combo>(name); }
  ui::Edit* Edit(const std::string& name) { return window_.Find<ui::Edit>(name); }

  // What a control shows: a combo its selected entry ("#2", "#-1"), "box" the modifier box,
  // "name" the key name, "cycle" whether the repeat count shows, an edit its text.
  std::string Shown(const std::string& name) {
    if (name == "box") return "#" + std::to_string(editor_->SelectedModifierBox());
    if (name == "name") return editor_->KeyName();
    if (name == "cycle") return window_.FindControl("keyset_macro_cycle_layout")->IsVisible() ? "shown" : "hidden";
    if (auto* c = Combo(name)) return "#" + std::to_string(c->CurSel());
    if (auto* e = Edit(name)) return e->Text();
    ADD_FAILURE() << "no control " << name;
    return {};
  }

  // The user's changes, routed as the controller routes them: "#i" picks entry i of a combo
  // (or the modifier box i of "box"), "@p" the function entry of page p, other text is typed
  // into an edit.
  void Change(const std::string& name, const std::string& value) {
    if (value.starts_with("#")) {
      const int i = std::stoi(value.substr(1));
      if (name == "box") {
        ASSERT_TRUE(window_.Find<ui::Option>("key_ComBox_check_" + std::to_string(i))->Activate());
        editor_->OnModifierBoxSelected(i);
        return;
      }
      ui::Combo* c = Combo(name);
      ASSERT_NE(c, nullptr) << name;
      ASSERT_TRUE(c->SelectItem(i)) << name;
      if (name == "keyset_function_combo") editor_->OnFunctionSelected();
      if (name == "keyset_macro_over_combo") editor_->OnMacroModeSelected();
      return;
    }
    ui::Edit* e = Edit(name);
    ASSERT_NE(e, nullptr) << name;
    e->UserSetText(value);
    editor_->OnEditDone(e);
  }

  // The function entry that selects `page`.
  std::string FunctionEntry(int page) {
    ui::Combo* c = Combo("keyset_function_combo");
    for (std::size_t i = 0; i < c->Count(); ++i)
      if (c->ChildAt(i)->UserData() == std::to_string(page)) return "#" + std::to_string(i);
    return "#-1";
  }

  struct Case {
    const char* what;
    KeyCode code;  // loaded as the current half; the default is Esc
    int page;      // the page shown, kNoPage when "keyset_layout" is hidden
    std::vector<std::pair<std::string, std::string>> shows;
    std::vector<std::pair<std::string, std::string>> changes;
    KeyCode composed;
  };

  void Run(const std::vector<Case>& cases) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      editor_->Load(KeyEntry{0, c.code, 0, kEsc});
      EXPECT_EQ(editor_->LayoutShown(), c.page != kNoPage);
      if (c.page != kNoPage) {
        EXPECT_EQ(editor_->SelectedPage(), c.page);
        EXPECT_EQ(editor_->ShownPage(), c.page);
      }
      for (const auto& [name, value] : c.shows) EXPECT_EQ(Shown(name), value) << name;
      for (const auto& [name, value] : c.changes)
        Change(name, value.starts_with("@") ? FunctionEntry(std::stoi(value.substr(1))) : value);
      const KeyEntry composed = editor_->Compose();
      EXPECT_EQ(composed.current, c.composed) << std::hex << composed.current.ToInteger();
      EXPECT_EQ(composed.default_code, kEsc);
      EXPECT_EQ(editor_->Entry().current, c.composed) << "stored as the current half";
    }
  }

  ui::ResourceManager resources_;
  ui::ControlFactory factory_;
  ui::Window window_{"MainWnd", &resources_, nullptr};
  CKeySetControlUI* editor_ = nullptr;
};

TEST_F(KeyEditor, FactoryFunctionPage) {
  Run({
      {"the default code", kEsc, kPageDefault, {}, {}, kEsc},
      {"another code, then the factory function chosen",
       {0x10, 0x01, 0},
       kPageMouseButton,
       {},
       {{"keyset_function_combo", "@0"}},
       kEsc},
  });
}

TEST_F(KeyEditor, MouseButtonPage) {
  Run({
      {"right", {0x10, 0x02, 0}, kPageMouseButton, {{"keyset_mousekey_combo", "#2"}}, {}, {0x10, 0x02, 0}},
      {"forward chosen", {0x10, 0x02, 0}, kPageMouseButton, {}, {{"keyset_mousekey_combo", "#3"}}, {0x10, 0x10, 0}},
      {"two buttons: no entry, kept",
       {0x10, 0x03, 0},
       kPageMouseButton,
       {{"keyset_mousekey_combo", "#-1"}},
       {},
       {0x10, 0x03, 0}},
  });
}

TEST_F(KeyEditor, TiltPage) {
  Run({
      {"right 3 times, delay 2, speed 5",
       {0x11, 0x25, 0x83},
       kPageSwing,
       {{"keyset_mouseswing_combo", "#1"},
        {"keyset_mouseswing_num_edit", "3"},
        {"keyset_mouseswing_delay_edit", "2"},
        {"keyset_mouseswing_speed_edit", "5"}},
       {},
       {0x11, 0x25, 0x83}},
      {"typed: right, 3, delay 17 keeps its low 4 bits",
       {0x11, 0x00, 0x05},
       kPageSwing,
       {{"keyset_mouseswing_combo", "#0"}, {"keyset_mouseswing_num_edit", "5"}},
       {{"keyset_mouseswing_combo", "#1"},
        {"keyset_mouseswing_num_edit", "3"},
        {"keyset_mouseswing_delay_edit", "17"},
        {"keyset_mouseswing_speed_edit", "5"}},
       {0x11, 0x15, 0x83}},
      {"no direction: the count byte stays",
       {0x11, 0x25, 0x83},
       kPageSwing,
       {},
       {{"keyset_mouseswing_combo", "#-1"}, {"keyset_mouseswing_num_edit", "9"}},
       {0x11, 0x25, 0x83}},
      {"text that is not a number reads 0",
       {0x11, 0x25, 0x03},
       kPageSwing,
       {},
       {{"keyset_mouseswing_delay_edit", "abc"}, {"keyset_mouseswing_speed_edit", "-4"}},
       {0x11, 0x00, 0x03}},
  });
}

TEST_F(KeyEditor, WheelPage) {
  Run({
      {"down 3 steps, delay 2, speed 5",
       {0x12, 0x25, 0xFD},
       kPageWheel,
       {{"keyset_mousewheel_combo", "#1"},
        {"keyset_mousewheel_num_edit", "3"},
        {"keyset_mousewheel_delay_edit", "2"},
        {"keyset_mousewheel_speed_edit", "5"}},
       {},
       {0x12, 0x25, 0xFD}},
      {"typed: down 3",
       {0x12, 0x00, 0x01},
       kPageWheel,
       {{"keyset_mousewheel_combo", "#0"}},
       {{"keyset_mousewheel_combo", "#1"},
        {"keyset_mousewheel_num_edit", "3"},
        {"keyset_mousewheel_delay_edit", "2"},
        {"keyset_mousewheel_speed_edit", "5"}},
       {0x12, 0x25, 0xFD}},
      {"typed: up 3",
       {0x12, 0x25, 0xFD},
       kPageWheel,
       {},
       {{"keyset_mousewheel_combo", "#0"}, {"keyset_mousewheel_num_edit", "3"}},
       {0x12, 0x25, 0x03}},
      {"down 128 is the most",
       {0x12, 0x00, 0x80},
       kPageWheel,
       {{"keyset_mousewheel_num_edit", "128"}},
       {{"keyset_mousewheel_num_edit", "500"}},
       {0x12, 0x00, 0x80}},
  });
}

TEST_F(KeyEditor, ResolutionPage) {
  Run({
      {"cycle", {0x13, 3, 0}, kPageResolution, {{"keyset_mousedpi_combo", "#2"}}, {}, {0x13, 3, 0}},
      {"up chosen", {0x13, 3, 0}, kPageResolution, {}, {{"keyset_mousedpi_combo", "#0"}}, {0x13, 1, 0}},
  });
}

TEST_F(KeyEditor, RapidFirePage) {
  Run({
      {"interval 10, 20 shots",
       {0x14, 10, 20},
       kPageFire,
       {{"keyset_mousefire_interval_edit", "10"}, {"keyset_mousefire_num_edit", "20"}},
       {},
       {0x14, 10, 20}},
      {"values reduced to 8 bits",
       {0x14, 10, 20},
       kPageFire,
       {},
       {{"keyset_mousefire_interval_edit", "300"}},
       {0x14, 44, 20}},
  });
}

TEST_F(KeyEditor, KeyboardKeyPage) {
  Run({
      {"A", {0x20, 0, 0x04}, kPageKey, {{"box", "#0"}, {"name", "A"}}, {}, {0x20, 0, 0x04}},
      {"Shift+A", {0x20, 0x02, 0x04}, kPageKey, {{"box", "#2"}, {"name", "A"}}, {}, {0x20, 0x02, 0x04}},
      {"right Shift+A shows the Shift box", {0x20, 0x20, 0x04}, kPageKey, {{"box", "#2"}}, {}, {0x20, 0x02, 0x04}},
      {"right Win+A", {0x20, 0x80, 0x04}, kPageKey, {{"box", "#4"}}, {}, {0x20, 0x08, 0x04}},
      {"Ctrl+Shift+A: box 0, saved as A",
       {0x20, 0x03, 0x04},
       kPageKey,
       {{"box", "#0"}, {"name", "A"}},
       {},
       {0x20, 0x00, 0x04}},
      {"left Win alone", {0x20, 0x08, 0}, kPageKey, {{"box", "#4"}, {"name", ""}}, {}, {0x20, 0x08, 0}},
      {"a usage no row names stays as it is",
       {0x20, 0, 0x68},
       kPageKey,
       {{"box", "#0"}, {"name", "Unknown"}},
       {},
       {0x20, 0, 0x68}},
      {"a key that does nothing", {0x20, 0, 0}, kPageKey, {{"box", "#-1"}, {"name", ""}}, {}, {0x20, 0, 0}},
      {"Alt chosen for A", {0x20, 0, 0x04}, kPageKey, {}, {{"box", "#3"}}, {0x20, 0x04, 0x04}},
      {"the page chosen anew starts empty",
       {0x10, 0x01, 0},
       kPageMouseButton,
       {},
       {{"keyset_function_combo", "@6"}},
       {0x20, 0, 0}},
  });
}

TEST_F(KeyEditor, MediaAndSystemPages) {
  Run({
      {"mute", {0x30, 0xE2, 0x00}, kPageMedia, {{"keyset_media_combo", "#7"}}, {}, {0x30, 0xE2, 0x00}},
      {"media player chosen", {0x30, 0xE2, 0x00}, kPageMedia, {}, {{"keyset_media_combo", "#0"}}, {0x30, 0x83, 0x01}},
      {"a usage not in the list stays",
       {0x30, 0x01, 0x00},
       kPageMedia,
       {{"keyset_media_combo", "#-1"}},
       {},
       {0x30, 0x01, 0x00}},
      {"sleep", {0x40, 0x02, 0}, kPageSystem, {{"keyset_system_combo", "#1"}}, {}, {0x40, 0x02, 0}},
      {"wake up chosen", {0x40, 0x02, 0}, kPageSystem, {}, {{"keyset_system_combo", "#2"}}, {0x40, 0x04, 0}},
  });
}

TEST_F(KeyEditor, MacroPage) {
  Run({
      {"macro 1, play mode 2",
       {0x70, 1, 2},
       kPageMacro,
       {{"keyset_macro_combo", "#1"}, {"keyset_macro_over_combo", "#2"}, {"cycle", "hidden"}},
       {},
       {0x70, 1, 2}},
      {"macro 2 repeated 7 times",
       {0x71, 2, 7},
       kPageMacro,
       {{"keyset_macro_combo", "#2"},
        {"keyset_macro_over_combo", "#4"},
        {"cycle", "shown"},
        {"keyset_macro_cycle_edit", "7"}},
       {},
       {0x71, 2, 7}},
      {"a macro the store lacks: nothing selected, kept",
       {0x70, 5, 0},
       kPageMacro,
       {{"keyset_macro_combo", "#-1"}, {"keyset_macro_over_combo", "#-1"}, {"cycle", "hidden"}},
       {},
       {0x70, 5, 0}},
      {"repeat count chosen",
       {0x70, 0, 0},
       kPageMacro,
       {},
       {{"keyset_macro_over_combo", "#4"}, {"keyset_macro_cycle_edit", "3"}},
       {0x71, 0, 3}},
      {"another macro and mode",
       {0x71, 2, 7},
       kPageMacro,
       {{"cycle", "shown"}},
       {{"keyset_macro_combo", "#1"}, {"keyset_macro_over_combo", "#0"}},
       {0x70, 1, 0}},
  });
  EXPECT_FALSE(window_.FindControl("keyset_macro_cycle_layout")->IsVisible()) << "only the repeat mode shows it";
}

TEST_F(KeyEditor, GunKeyAndShortcutPages) {
  Run({
      {"gun key 1", {0x72, 1, 0}, kPageGunKey, {{"keyset_gunkey_combo", "#1"}}, {}, {0x72, 1, 0}},
      {"gun key 3 chosen", {0x72, 1, 0}, kPageGunKey, {}, {{"keyset_gunkey_combo", "#3"}}, {0x72, 3, 0}},
      {"save", {0x20, 0x10, 0x16}, kPageShortcut, {{"keyset_combokey_combo", "#3"}}, {}, {0x20, 0x10, 0x16}},
      {"open chosen", {0x20, 0x10, 0x16}, kPageShortcut, {}, {{"keyset_combokey_combo", "#0"}}, {0x20, 0x10, 0x12}},
      {"high modifier bits: no entry, kept",
       {0x20, 0x90, 0x04},
       kPageShortcut,
       {{"keyset_combokey_combo", "#-1"}},
       {},
       {0x20, 0x90, 0x04}},
      {"type 0xB0", {0xB0, 0, 0}, kPageShortcut, {{"keyset_combokey_combo", "#-1"}}, {}, {0xB0, 0, 0}},
  });
}

TEST_F(KeyEditor, CodesWithoutAPageHideTheLayoutAndStay) {
  Run({
      {"a device function key", {0xA0, 0x01, 0}, kNoPage, {}, {}, {0xA0, 0x01, 0}},
      {"an unknown type", {0x50, 1, 2}, kNoPage, {}, {}, {0x50, 1, 2}},
      {"none that is not the default", {0x00, 0, 0}, kNoPage, {}, {}, {0x00, 0, 0}},
  });
}

TEST_F(KeyEditor, TheKeyboardOffersNeitherResolutionNorGunKeys) {
  editor_->SetDeviceKind(kDeviceKeyboard);
  EXPECT_EQ(FunctionEntry(kPageResolution), "#-1");
  EXPECT_EQ(FunctionEntry(kPageGunKey), "#-1");
  EXPECT_EQ(Combo("keyset_function_combo")->Count(), 10u);
  Run({
      {"a resolution code on a keyboard key", {0x13, 1, 0}, kNoPage, {}, {}, {0x13, 1, 0}},
      {"the pages it offers still work", {0x10, 0x02, 0}, kPageMouseButton, {}, {}, {0x10, 0x02, 0}},
  });
  editor_->SetDeviceKind(kDeviceMouse);
  EXPECT_EQ(Combo("keyset_function_combo")->Count(), 12u) << "the mouse gets them back";
  EXPECT_EQ(Combo("keyset_function_combo")->CurSel(), std::stoi(FunctionEntry(kPageMouseButton).substr(1)))
      << "the page in force stays selected";
}

TEST_F(KeyEditor, DefaultAndCancelShowTheHalves) {
  editor_->Load(KeyEntry{7, {0x20, 0x02, 0x04}, 7, kEsc});
  Change("keyset_function_combo", FunctionEntry(kPageMedia));
  Change("keyset_media_combo", "#1");
  editor_->ShowDefault();
  EXPECT_EQ(editor_->SelectedPage(), kPageDefault);
  editor_->ShowCurrent();
  EXPECT_EQ(editor_->SelectedPage(), kPageKey);
  EXPECT_EQ(Shown("box"), "#2");
  const KeyEntry e = editor_->Compose();
  EXPECT_EQ(e.index, 7);
  EXPECT_EQ(e.current, (KeyCode{0x20, 0x02, 0x04})) << "the edit was thrown away";
}

TEST_F(KeyEditor, MacroNamesAndButtons) {
  editor_->SetMacroNames({"Reload", "Burst"});
  ui::Combo* macros = Combo("keyset_macro_combo");
  ASSERT_EQ(macros->Count(), 2u);
  EXPECT_EQ(macros->ChildAt(1)->Text(), "Burst");
  EXPECT_EQ(macros->ChildAt(1)->FixedHeight(), 30);
  EXPECT_EQ(macros->CurSel(), -1);
  editor_->SelectMacro(1);
  editor_->SetMacroName(1, "Spray");
  EXPECT_EQ(macros->CurSel(), 1);
  EXPECT_EQ(macros->ChildAt(1)->Text(), "Spray");
  editor_->Load(KeyEntry{0, {0x70, 2, 0}, 0, kEsc});
  EXPECT_EQ(macros->CurSel(), -1) << "macro 2 is gone";
  editor_->SetMacroNames({});
  Change("keyset_macro_over_combo", "#0");
  EXPECT_EQ(editor_->Compose().current, (KeyCode{0x70, 2, 0})) << "an empty store keeps the code";

  editor_->EnableButtons(false);
  for (const char* b : {"key_butt_keysave", "key_butt_keycancel", "key_butt_prosave"})
    EXPECT_FALSE(window_.FindControl(b)->IsEnabled()) << b;
  EXPECT_TRUE(window_.FindControl("key_butt_keydefalut")->IsEnabled());
  editor_->EnableButtons(true);
  EXPECT_TRUE(window_.FindControl("key_butt_keysave")->IsEnabled());
}

// Key capture on the keyboard-key page, fed Linux key codes one after the other.
TEST_F(KeyEditor, CaptureOfLinuxKeys) {
  using C = CKeySetControlUI::Capture;
  struct Keys {
    const char* what;
    std::vector<int> keys;
    C last;
    KeyCode code;      // what saving the page then gives
    std::string name;  // the key name shown
    int box;
  };
  const std::vector<Keys> cases = {
      {"A", {KEY_A}, C::kKey, {0x20, 0x00, 0x04}, "A", 0},
      {"left Shift, then A", {KEY_LEFTSHIFT, KEY_A}, C::kKey, {0x20, 0x02, 0x04}, "A", 2},
      {"right Shift, then A", {KEY_RIGHTSHIFT, KEY_A}, C::kKey, {0x20, 0x02, 0x04}, "A", 2},
      {"right Ctrl alone", {KEY_RIGHTCTRL}, C::kModifier, {0x20, 0x01, 0x00}, "", 1},
      {"A, then Alt", {KEY_A, KEY_LEFTALT}, C::kModifier, {0x20, 0x04, 0x00}, "", 3},
      {"the 102nd key is K45", {KEY_102ND}, C::kKey, {0x20, 0x00, 0x64}, "K45", 0},
      {"the keypad's Enter", {KEY_KPENTER}, C::kKey, {0x20, 0x00, 0x58}, "Num Enter", 0},
      {"Enter", {KEY_ENTER}, C::kKey, {0x20, 0x00, 0x28}, "Enter", 0},
      {"Mute has no keyboard-key row", {KEY_A, KEY_MUTE}, C::kUnsupported, {0x20, 0x00, 0x04}, "A", 0},
      {"F13 has no row", {KEY_F13}, C::kUnsupported, {0x20, 0x00, 0x00}, "", -1},
      {"the yen key has no virtual-key code", {KEY_YEN}, C::kUnsupported, {0x20, 0x00, 0x00}, "", -1},
  };
  for (const Keys& c : cases) {
    SCOPED_TRACE(c.what);
    editor_->Load(KeyEntry{0, kEsc, 0, kEsc});
    Change("keyset_function_combo", FunctionEntry(kPageKey));
    C last = C::kNotShown;
    KeyCode before = editor_->Entry().current;
    for (int k : c.keys) {
      before = editor_->Entry().current;
      last = editor_->CaptureLinuxKey(k);
    }
    EXPECT_EQ(last, c.last);
    if (last == C::kUnsupported) {
      EXPECT_EQ(editor_->Entry().current, before) << "an unsupported key changes nothing";
    } else {
      EXPECT_EQ(editor_->Entry().current, c.code) << std::hex << editor_->Entry().current.ToInteger();
    }
    EXPECT_EQ(editor_->Compose().current, c.code) << "saving takes what the page shows";
    EXPECT_EQ(editor_->KeyName(), c.name);
    EXPECT_EQ(editor_->SelectedModifierBox(), c.box);
    EXPECT_EQ(window_.FindControl("keyset_capture_hint_label")->Text(),
              c.last == C::kUnsupported ? "This key cannot be assigned" : "Press a key");
  }
}

TEST_F(KeyEditor, CaptureOnlyOnTheKeyboardKeyPageOnScreen) {
  using C = CKeySetControlUI::Capture;
  editor_->Load(KeyEntry{0, {0x10, 0x01, 0}, 0, kEsc});
  EXPECT_EQ(editor_->CaptureLinuxKey(KEY_A), C::kNotShown) << "another page";
  EXPECT_EQ(editor_->Entry().current, (KeyCode{0x10, 0x01, 0}));
  editor_->Load(KeyEntry{0, {0x20, 0x00, 0x05}, 0, kEsc});
  editor_->SetVisible(false);
  EXPECT_EQ(editor_->CaptureLinuxKey(KEY_A), C::kNotShown) << "the editor is hidden";
  editor_->SetVisible(true);
  EXPECT_EQ(editor_->CaptureLinuxKey(KEY_A), C::kKey);
  editor_->Load(KeyEntry{0, {0xA0, 0x01, 0}, 0, kEsc});
  EXPECT_EQ(editor_->CaptureLinuxKey(KEY_A), C::kNotShown) << "no page, no layout";
}

}  // namespace
}  // namespace brimvex::devices
