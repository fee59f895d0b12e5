// The key editor's rows and brimvexctl keymap on the real main window over the emulated keyboard:
// a key chosen on the picture, captured from key presses, saved to the profile and written to
// the keyboard's memory; refusals shown and answered; the emulator's own reading of its memory.
#include <gtest/gtest.h>

#include <sstream>

#include "app/key_editor_routes.h"
#include "app/keymap_requests.h"
#include "devices/device_key_button.h"
#include "devices/key_set_control_ui.h"
#include "devices/keyboard_device.h"
#include "devices/mouse_device.h"
#include "discovery/controller_fixture.h"
#include "macros/macro_source.h"
#include "platform/input_capture.h"
#include "platform/ui/list_controls.h"
#include "profiles/file_helpers.h"

namespace brimvex::app::test {
namespace {

using devices::CKeySetControlUI;
using devices::COmbrixKeyboardDevice;
using profiles::KeyCode;

constexpr int kA = 64;  // page key of A
constexpr int kLinuxLeftShift = 42;
constexpr int kLinuxB = 48;
constexpr int kLinuxMute = 113;

// Macros of the given event counts.
class SizedMacros : public macros::MacroSource {
 public:
  explicit SizedMacros(std::vector<std::size_t> sizes) : sizes_(std::move(sizes)) {}
  std::optional<std::vector<std::string>> Names() const override {
    std::vector<std::string> names;
    for (std::size_t i = 0; i < sizes_.size(); ++i) names.push_back("m" + std::to_string(i));
    return names;
  }
  std::vector<macros::MacroEvent> Events(int index) const override {
    return std::vector<macros::MacroEvent>(sizes_.at(static_cast<std::size_t>(index)), {1, true, 1, 4});
  }

 private:
  std::vector<std::size_t> sizes_;
};

class KeyEditorRoutesTest : public ControllerFixture {
 protected:
  void SetUp() override {
    ControllerFixture::SetUp();
    frontend_.SetModalHandler([this](ui::Window& w) {
      ui::Control* text = w.FindControl("MessageText");
      boxes_.push_back(text->TextKey().empty() ? text->Text() : text->TextKey());
      w.FindControl("confirm_btn")->Activate();
    });
  }
  void StartKeyboard() {
    StartConnected({Product::kKeyboard});
    ASSERT_EQ(wnd_->SelectedDevice(), DeviceOfRow(kKeyboardRow));
    ASSERT_NE(Editor(), nullptr);
  }
  COmbrixKeyboardDevice& Keyboard() { return *dynamic_cast<COmbrixKeyboardDevice*>(DeviceOfRow(kKeyboardRow)); }
  // The page the test works on: the keyboard's unless it says otherwise.
  devices::COmbrixUSBDevice& Page() { return *DeviceOfRow(row_); }
  emulator::EmulatedDevice& Product() { return *emu_.Find(row_ == kMouseRow ? "mouse" : "keyboard"); }
  CKeySetControlUI* Editor() { return KeyEditorOf(Page()); }
  void Press(const std::string& name) {
    ui::Control* c = Page().FindControl(name);
    ASSERT_NE(c, nullptr) << name;
    wnd_->Window().SendNotify(c, ui::notify::kClick);
    loop().RunPending();
  }
  // The user picks the editor page, as in the drop-down.
  void ChoosePage(int page) {
    auto* combo = dynamic_cast<ui::Combo*>(Editor()->FindControl("keyset_function_combo"));
    for (std::size_t i = 0; i < combo->Count(); ++i)
      if (combo->ChildAt(i)->UserData() == std::to_string(page)) combo->SelectItem(static_cast<int>(i), true);
    loop().RunPending();
  }
  bool Key(int linux_code) { return wnd_->Window().HostKeyPress(ui::KeyPress{linux_code}); }
  KeyCode InMemory(int key) {
    const auto at = static_cast<std::size_t>(3 * Page().KeySlotOf(key));
    const auto m = Product().Memory(emulator::Area::kKeyMap);
    return {m.at(at), m.at(at + 1), m.at(at + 2)};
  }
  std::int64_t InProfile(int key) {
    const Json::Value p = profiles::ReadJson(Page().GetProfilePath());
    return p["Device"][0]["KeyList"][key]["Assignment"].asInt64();
  }
  ControlAnswer Ask(std::vector<std::string> words) {
    words.insert(words.begin(), "keymap");
    return wnd_->Requests().Run(ControlRequest{1, "brimvexctl-test", std::move(words)});
  }
  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    return lines;
  }

  std::vector<std::string> boxes_;
  int row_ = kKeyboardRow;
};

TEST_F(KeyEditorRoutesTest, ACapturedKeyIsSavedThenWrittenByTheDeviceSave) {
  StartKeyboard();
  Press("key_" + std::to_string(kA));
  EXPECT_EQ(Keyboard().SelectedKey(), kA);
  EXPECT_EQ(Editor()->Entry().current, (KeyCode{0x20, 0x00, 0x04}));
  EXPECT_EQ(Editor()->ShownPage(), devices::kPageDefault);

  // Keys go to the editor only while it shows its keyboard-key page.
  EXPECT_FALSE(Key(kLinuxB));
  ChoosePage(devices::kPageKey);
  ASSERT_TRUE(Editor()->CaptureShown());
  EXPECT_TRUE(Key(kLinuxLeftShift));
  EXPECT_TRUE(Key(kLinuxB));
  // A media key has no keyboard row: taken, nothing changes.
  EXPECT_TRUE(Key(kLinuxMute));
  EXPECT_EQ(InProfile(kA), 0x200205) << "saved as the save button does";
  EXPECT_EQ(Keyboard().KeyButton(kA)->ToolTip(), wnd_->Resources().Text("keyboard_key_LShift") + "+" +
                                                     wnd_->Resources().Text("keyboard_key_B"));
  EXPECT_EQ(InMemory(kA), (KeyCode{0x20, 0x00, 0x04})) << "not on the keyboard before the device save";

  Press("key_butt_prosave");
  EXPECT_EQ(InMemory(kA), (KeyCode{0x20, 0x02, 0x05}));
  EXPECT_TRUE(boxes_.empty());

  // Default and cancel show the halves; a modifier box and a save compose from the page.
  Press("key_butt_keydefalut");
  EXPECT_EQ(Editor()->ShownPage(), devices::kPageDefault);
  Press("key_butt_keycancel");
  EXPECT_EQ(Editor()->ShownPage(), devices::kPageKey);
  EXPECT_EQ(Editor()->SelectedModifierBox(), 2);
  dynamic_cast<ui::Option*>(Editor()->FindControl("key_ComBox_check_1"))->Selected(true, true);
  loop().RunPending();
  Press("key_butt_keysave");
  EXPECT_EQ(InProfile(kA), 0x200105);
}

TEST_F(KeyEditorRoutesTest, TheHooksSingleKeyCaptureFeedsTheSameCaptureStep) {
  platform::ScriptedCapture capture;
  platform::SetCurrentInputCapture(&capture);
  StartKeyboard();
  Press("key_" + std::to_string(kA));
  ChoosePage(devices::kPageKey);
  ASSERT_TRUE(Editor()->CaptureShown());
  ASSERT_TRUE(wnd_->HandleMessage(0x041E, 2, 0));
  EXPECT_FALSE(capture.Active()) << "only 0 and 1 mean something";
  ASSERT_TRUE(wnd_->HandleMessage(0x041E, 1, 0));
  ASSERT_TRUE(capture.Active());
  // Presses go to the editor's capture step and are saved; releases do not.
  capture.Key({0xA0, 0x2A, false, true, {}, kLinuxLeftShift});
  capture.Key({'B', 0x30, false, true, {}, kLinuxB});
  capture.Key({'B', 0x30, false, false, {}, kLinuxB});
  EXPECT_EQ(InProfile(kA), 0x200205);
  ASSERT_TRUE(wnd_->HandleMessage(0x041E, 0, 0));
  EXPECT_FALSE(capture.Active());
  EXPECT_FALSE(capture.Key({'C', 0x2E, false, true, {}, 46})) << "the hooks are gone";
  EXPECT_EQ(InProfile(kA), 0x200205);
  platform::SetCurrentInputCapture(nullptr);
}

TEST_F(KeyEditorRoutesTest, ARefusedDeviceSaveIsShownAndTheProfileKeepsTheKey) {
  StartKeyboard();
  Press("key_" + std::to_string(kA));
  ChoosePage(devices::kPageKey);
  Key(kLinuxB);
  const auto before = Product().Memory(emulator::Area::kKeyMap);
  Product().InjectFault({emulator::FaultKind::kStatusFE, 0, 100});
  Press("key_butt_prosave");
  Product().ClearFaults();
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_NE(boxes_[0].find("RESULT_DEVICE_FE"), std::string::npos) << boxes_[0];
  EXPECT_EQ(Product().Memory(emulator::Area::kKeyMap), before);
  EXPECT_EQ(InProfile(kA), 0x200005);
}

TEST_F(KeyEditorRoutesTest, MacrosTooBigForTheKeyboardAreShownAndTheEditedMacroKeyGoesBack) {
  StartKeyboard();
  // The emulated keyboard holds 16 x 128 bytes of macros.
  // Both limits can give a count in 251-380: the box names the one that was hit.
  const auto text = [&](const char* key, int n) {
    std::string t = wnd_->Resources().Text(key);
    return t.replace(t.find("%d"), 2, std::to_string(n));
  };
  const struct {
    std::vector<std::size_t> sizes;
    std::string text;  // what the box says
  } cases[] = {
      {{300}, text("message_text_17", 50)},
      {{10, 400}, text("message_text_17", 150)},
      {{250, 250, 250}, text("message_text_16", 247)},
      {{250, 250, 250, 2}, text("message_text_16", 251)},  // 3048 bytes: 1000 over
      {{250, 250, 250, 131}, text("message_text_16", 380)},
  };
  for (const auto& c : cases) {
    Keyboard().SetMacroSource(std::make_shared<SizedMacros>(c.sizes));
    Keyboard().RefreshPage();
    Press("key_" + std::to_string(kA));
    for (std::size_t m = 0; m < c.sizes.size(); ++m)
      ASSERT_TRUE(Keyboard().StoreKeyAssignment(kA + static_cast<int>(m), {0x70, static_cast<std::uint8_t>(m), 0}));
    boxes_.clear();
    Press("key_butt_prosave");
    ASSERT_EQ(boxes_.size(), 1u);
    EXPECT_EQ(boxes_[0], c.text);
    EXPECT_EQ(InProfile(kA), 0x200004) << "the edited key is back to its default";
    EXPECT_EQ(InMemory(kA), (KeyCode{0x20, 0x00, 0x04}));
    EXPECT_TRUE(Product().Macros().entries.empty()) << "no macro block sent";
  }
}

TEST_F(KeyEditorRoutesTest, KeymapRequestsReadAndSetTheKeyboard) {
  StartKeyboard();
  RequestTable emulated;
  RegisterEmulatedKeymapRequests(emulated, emu_, resources_.LanguageFolder());
  auto emulated_lines = [&] {
    const ControlAnswer a = emulated.Run(ControlRequest{2, "brimvexctl-test", {"keymap", "keyboard"}});
    EXPECT_EQ(a.exit_code, kExitDone) << a.text;
    return Lines(a.text);
  };
  const std::vector<std::string> before = emulated_lines();
  ASSERT_EQ(before.size(), 126u);
  EXPECT_EQ(before[kA], "64\tA\t0x200004\tA");
  EXPECT_EQ(before[0], "0\tEsc\t0x200029\tEsc");

  ControlAnswer a = Ask({"keyboard"});
  ASSERT_EQ(a.exit_code, kExitDone) << a.text;
  EXPECT_EQ(Lines(a.text), before) << "the program's slots are the factory ones";

  a = Ask({"keyboard", "set", "64", "0x200005"});
  ASSERT_EQ(a.exit_code, kExitDone) << a.text;
  EXPECT_EQ(a.text, "64\tA\t0x200005\tB\n");
  EXPECT_EQ(InProfile(kA), 2097157);
  std::vector<std::string> after = emulated_lines();
  std::vector<std::string> expected = before;
  expected[kA] = "64\tA\t0x200005\tB";
  EXPECT_EQ(after, expected) << "only that key changed";
  EXPECT_EQ(Lines(Ask({"keyboard"}).text)[kA], "64\tA\t0x200005\tB");
  a = Ask({"keyboard", "set", "64", "Default"});
  EXPECT_EQ(a.text, "64\tA\t0x200004\tA\n");
  a = Ask({"keyboard", "set", "0", "lctrl"});
  EXPECT_EQ(a.text, "0\tEsc\t0x200100\tLCtrl\n");

  // Malformed words change nothing.
  const std::vector<std::vector<std::string>> malformed = {
      {}, {"mouse"}, {"keyboard", "set", "126", "B"}, {"keyboard", "set", "x", "B"},
      {"keyboard", "set", "1", "Bogus"}, {"keyboard", "set", "1"}, {"keyboard", "extra"},
  };
  const auto memory = Product().Memory(emulator::Area::kKeyMap);
  for (const auto& words : malformed) EXPECT_EQ(Ask(words).exit_code, kExitMalformed) << words.size();
  EXPECT_EQ(Product().Memory(emulator::Area::kKeyMap), memory);

  // A refused write: exit 1 naming the result, the memory as it was, the profile keeps the key.
  Product().InjectFault({emulator::FaultKind::kStatusFE, 0, 100});
  a = Ask({"keyboard", "set", "64", "0x200006"});
  Product().ClearFaults();
  EXPECT_EQ(a.exit_code, kExitFailed);
  EXPECT_NE(a.text.find("RESULT_DEVICE_FE"), std::string::npos) << a.text;
  EXPECT_EQ(Product().Memory(emulator::Area::kKeyMap), memory);
  EXPECT_EQ(InProfile(kA), 0x200006);
  EXPECT_EQ(Editor()->Entry().current, (KeyCode{0x20, 0x00, 0x06})) << "the editor shows the key as stored";
  EXPECT_TRUE(boxes_.empty()) << "no message box for brimvexctl";

  // Without a keyboard: exit 1.
  Product().Unplug(Link::kCable);
  ASSERT_TRUE(WaitFor([&] { return !Keyboard().CommandChannelRef().IsOpen(); }));
  EXPECT_EQ(Ask({"keyboard"}).exit_code, kExitFailed);
}

// The mouse page's editor on the same rows: a button chosen on the picture opens the editor with
// its code, a captured key is saved to the profile and, with the device save, reaches the mouse.
TEST_F(KeyEditorRoutesTest, TheMousePagesEditorPutsAKeyboardKeyOnAMouseButton) {
  constexpr int kForward = 3;
  Add(Product::kMouse).Plug(Link::kCable);
  Start();
  ASSERT_TRUE(WaitFor([&] { return selector().CountVisible() == 1; }));
  Advance(Millis(600));
  row_ = kMouseRow;
  ASSERT_EQ(wnd_->SelectedDevice(), &Page());
  ASSERT_NE(Editor(), nullptr);
  EXPECT_EQ(Editor(), Page().FindControl("KeySetControlItem"));
  Press("key_" + std::to_string(kForward));
  EXPECT_EQ(Page().SelectedKey(), kForward);
  EXPECT_EQ(Editor()->Entry().current, (KeyCode{0x10, 0x10, 0x00}));
  EXPECT_EQ(dynamic_cast<ui::TabLayout*>(Page().FindControl("device_function_switch"))->CurrentSel(), 0);
  EXPECT_EQ(dynamic_cast<ui::TabLayout*>(Page().FindControl("device_key_function_switch"))->CurrentSel(), 1) << "the key editor shown";

  ChoosePage(devices::kPageKey);
  ASSERT_TRUE(Editor()->CaptureShown());
  EXPECT_TRUE(Key(kLinuxLeftShift));
  EXPECT_TRUE(Key(kLinuxB));
  EXPECT_EQ(InProfile(kForward), 0x200205);
  EXPECT_EQ(Page().KeyButton(kForward)->ToolTip(),
            wnd_->Resources().Text("keyboard_key_LShift") + "+" + wnd_->Resources().Text("keyboard_key_B"));
  EXPECT_EQ(InMemory(kForward), (KeyCode{0x10, 0x10, 0x00})) << "not on the mouse before the device save";
  Press("key_butt_prosave");
  EXPECT_EQ(InMemory(kForward), (KeyCode{0x20, 0x02, 0x05}));
  // A page key past the mouse's eleven selects nothing.
  Page().SelectKeyForEditing(devices::kMousePageKeys);
  EXPECT_EQ(Page().SelectedKey(), kForward);
  EXPECT_TRUE(boxes_.empty());
}

}  // namespace
}  // namespace brimvex::app::test
