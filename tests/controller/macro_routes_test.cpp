// The macro editor's rows on the real main window over the emulated keyboard: the delete command
// with its key rule over every profile, recording through the scripted input source into the
// keyboard's macro memory, the keyboard lost while recording, and the
// brimvexctl words over a store changed by hand.
#include <gtest/gtest.h>

#include "discovery/controller_fixture.h"
#include "macros/macro_control_ui.h"
#include "macros/macro_store.h"
#include "macros/macro_tables.h"
#include "platform/file_system.h"
#include "platform/input_capture.h"
#include "platform/ui/controls.h"
#include "platform/ui/list_controls.h"
#include "profiles/basic_profile_data.h"
#include "profiles/device_profile_ui.h"
#include "profiles/file_helpers.h"

namespace brimvex::app::test {
namespace {

using profiles::KeyCode;
using std::chrono::milliseconds;

KeyCode Macro(std::uint8_t n) { return {0x70, n, 0}; }

class MacroRoutesTest : public ControllerFixture {
 protected:
  void SetUp() override {
    ControllerFixture::SetUp();
    platform::SetCurrentInputCapture(&capture_);
    frontend_.SetModalHandler([this](ui::Window& w) {
      ui::Control* text = w.FindControl("MessageText");
      boxes_.push_back(text->TextKey().empty() ? text->Text() : text->TextKey());
      ui::Control* answer = w.FindControl(confirm_ ? "confirm_btn" : "cancel_btn");
      (answer != nullptr ? answer : w.FindControl("confirm_btn"))->Activate();
    });
    StartConnected({Product::kKeyboard});
  }
  void TearDown() override {
    ControllerFixture::TearDown();
    platform::SetCurrentInputCapture(nullptr);
  }
  devices::COmbrixUSBDevice& Keyboard() { return *DeviceOfRow(kKeyboardRow); }
  macros::CMacroControlUI& Editor() {
    return *dynamic_cast<macros::CMacroControlUI*>(Keyboard().FindControl("MacroControlItem"));
  }
  void Press(const char* name) {
    ui::Control* c = Keyboard().FindControl(name);
    ASSERT_NE(c, nullptr) << name;
    wnd_->Window().SendNotify(c, ui::notify::kClick);
    loop().RunPending();
  }
  // The other profile's key list, as stored.
  std::vector<profiles::KeyEntry> KeysOf(const std::string& path) {
    profiles::CBasicProfiledata p;
    p.SetDeviceIndex(0);
    p.LoadScratchSection(path);
    return p.GetScratchKeyList();
  }
  void SetKeysOf(const std::string& path, const std::vector<std::pair<int, KeyCode>>& keys) {
    profiles::CBasicProfiledata p;
    p.SetDeviceIndex(0);
    p.LoadScratchSection(path);
    auto list = p.GetScratchKeyList();
    for (const auto& [k, code] : keys) list[static_cast<std::size_t>(k)].current = code;
    p.SetScratchKeyList(list);
    ASSERT_TRUE(p.SaveScratchSection(path));
  }
  std::map<std::string, std::string> Folder() {
    std::map<std::string, std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(data_home_.path() / "Brimvex/keyboard"))
      out[e.path().filename().string()] = profiles::ReadTextFile(e.path().string());
    return out;
  }

  platform::ScriptedCapture capture_;
  std::vector<std::string> boxes_;
  bool confirm_ = true;
};

TEST_F(MacroRoutesTest, DeleteKeepsEveryBindingOnItsMacroAcrossProfiles) {
  for (int k = 0; k < 3; ++k) Press("macro_btn_name_add");
  ASSERT_EQ(Editor().GetNames(), (std::vector<std::string>{"macro_1", "macro_2", "macro_3"}));
  Press("device_add_btn");
  profiles::CDeviceProfileUI& list = *Keyboard().ProfileList();
  ASSERT_EQ(list.Count(), 2);
  const int other = list.GetCurSel() == 0 ? 1 : 0;
  const std::string other_path = list.PathOf(other);
  SetKeysOf(other_path, {{5, Macro(2)}, {6, Macro(1)}, {7, {0x71, 0, 3}}});
  const KeyCode default6 = KeysOf(other_path)[6].default_code;
  ASSERT_TRUE(Keyboard().StoreKeyAssignment(10, Macro(2)));
  ASSERT_TRUE(Keyboard().StoreKeyAssignment(11, Macro(1)));

  // Cancelling either question changes nothing.
  Editor().SelectMacro(1);
  const auto before = Folder();
  for (int cancel_at : {1, 2}) {
    boxes_.clear();
    int asked = 0;
    frontend_.SetModalHandler([&](ui::Window& w) {
      ++asked;
      boxes_.push_back(w.FindControl("MessageText")->TextKey());
      w.FindControl(asked == cancel_at ? "cancel_btn" : "confirm_btn")->Activate();
    });
    Press("macro_btn_name_sub");
    EXPECT_EQ(Folder(), before) << cancel_at;
  }
  EXPECT_EQ(boxes_, (std::vector<std::string>{"message_text_4", "message_text_2"}));

  frontend_.SetModalHandler([](ui::Window& w) { w.FindControl("confirm_btn")->Activate(); });
  emu_.Devices()[0]->ClearExchangeLog();
  Press("macro_btn_name_sub");
  EXPECT_EQ(Editor().GetNames(), (std::vector<std::string>{"macro_1", "macro_3"}));
  const auto others = KeysOf(other_path);
  EXPECT_EQ(others[5].current, Macro(1));
  EXPECT_EQ(others[6].current, default6);
  EXPECT_EQ(others[7].current, (KeyCode{0x71, 0, 3}));
  const auto current = Keyboard().GetKeyList();
  EXPECT_EQ(current[10].current, Macro(1));
  EXPECT_EQ(current[11].current, current[11].default_code);
  // The keyboard was written: its key map points the key at device macro 0, the block has it.
  const emulator::DecodedBlock block = emu_.Devices()[0]->Macros();
  EXPECT_TRUE(block.valid) << block.error;
  EXPECT_EQ(block.entries.size(), 1u);
}

TEST_F(MacroRoutesTest, RecordedKeysReachTheKeyboardsMacroMemory) {
  Press("macro_btn_name_add");
  ASSERT_TRUE(Keyboard().StoreKeyAssignment(10, Macro(0)));
  Press("macro_btn_starredio");
  ASSERT_TRUE(capture_.Active());
  EXPECT_FALSE(wnd_->Window().FindControl("device_select_layout")->IsEnabled());
  const milliseconds t0 = loop().Now();
  capture_.Key({0, 0x1E, false, true, t0 + milliseconds(5)});
  capture_.Key({0, 0x1E, false, true, t0 + milliseconds(40)});  // auto-repeat
  capture_.Key({0, 0x1E, false, false, t0 + milliseconds(125)});
  capture_.Mouse({macros::kLeftDown, 0, true, t0 + milliseconds(300)});  // the stop button
  Press("macro_btn_stopredio");
  EXPECT_FALSE(capture_.Active());
  EXPECT_TRUE(wnd_->Window().FindControl("device_select_layout")->IsEnabled());
  const emulator::DecodedBlock block = emu_.Devices()[0]->Macros();
  ASSERT_TRUE(block.valid) << block.error;
  ASSERT_EQ(block.entries.size(), 1u);
  ASSERT_EQ(block.entries[0].size(), 2u);
  EXPECT_EQ(block.entries[0][0].delay, 120);
  EXPECT_TRUE(block.entries[0][0].down);
  EXPECT_EQ(block.entries[0][0].type, 10);
  EXPECT_EQ(block.entries[0][0].code, 0x04);
  EXPECT_FALSE(block.entries[0][1].down);
}

TEST_F(MacroRoutesTest, LosingTheKeyboardWhileRecordingEndsItWithTheRowsSaved) {
  Press("macro_btn_name_add");
  Press("macro_btn_starredio");
  capture_.Key({0, 0x30, false, true, loop().Now()});
  emu_.Devices()[0]->Unplug(Link::kCable);
  ASSERT_TRUE(WaitFor([&] { return selector().CountVisible() == 0; }));
  EXPECT_FALSE(capture_.Active());
  EXPECT_FALSE(Editor().Recording());
  EXPECT_EQ(Editor().Store()->Events(0).size(), 1u);
}

TEST_F(MacroRoutesTest, ADesktopCaptureThatOpensNoDeviceLeavesTheWindowRecording) {
  platform::ScriptedCapture desktop;
  desktop.refuse = true;
  platform::SetDesktopCapture(&desktop);
  Press("macro_btn_name_add");
  Editor().OfferDesktopCapture(true);
  auto* option = dynamic_cast<ui::Option*>(Editor().FindControl("macro_check_desktop"));
  ASSERT_NE(option, nullptr);
  option->Selected(true, false);
  Press("macro_btn_starredio");
  platform::SetDesktopCapture(nullptr);
  EXPECT_EQ(boxes_, (std::vector<std::string>{"macro_desktop_fallback"}));
  EXPECT_TRUE(capture_.Active()) << "the window capture records instead";
  EXPECT_TRUE(Editor().Recording());
  capture_.Key({0, 0x1E, false, true, loop().Now()});
  Press("macro_btn_stopredio");
  EXPECT_EQ(Editor().Store()->Events(0).size(), 1u);
  // Without readable devices the option is not offered.
  Editor().OfferDesktopCapture(false);
  EXPECT_FALSE(option->IsEnabled());
  EXPECT_FALSE(option->IsSelected());
}

TEST_F(MacroRoutesTest, ThePointerMoveButtonsAreMatchedByExactName) {
  Press("macro_btn_name_add");
  ui::Control* move = Keyboard().FindControl("macro_inset_moveleftkey_btn");
  move->SetName("MACRO_INSET_MOVELEFTKEY_BTN");
  wnd_->Window().SendNotify(move, ui::notify::kClick);
  loop().RunPending();
  EXPECT_EQ(Editor().RowCount(), 0u);
  move->SetName("macro_inset_moveleftkey_btn");
  wnd_->Window().SendNotify(move, ui::notify::kClick);
  loop().RunPending();
  EXPECT_EQ(Editor().RowCount(), 1u);
  EXPECT_EQ(Editor().Store()->Events(0).size(), 1u) << "saved at once";
}

TEST_F(MacroRoutesTest, BrimvexctlWordsDoWhatTheButtonsDo) {
  auto ask = [&](std::vector<std::string> words) {
    words.insert(words.begin(), "macro");
    return wnd_->Requests().Run(ControlRequest{1, "brimvexctl-test", std::move(words)});
  };
  brimvex::test::TempDir in;
  const std::string good = in.folder() + "Combo.mac";
  ASSERT_TRUE(platform::WriteFileAtomically(
      good, R"({"Events":[{"Type":10,"Button":4,"Action":"down","Delay":"30"},{"Type":10,"Button":4,"Action":"up","Delay":0}]})"));
  const std::string bad = in.folder() + "Bad.mac";
  ASSERT_TRUE(platform::WriteFileAtomically(bad, R"({"Events":[],"Guid":"../../x"})"));

  struct Case {
    std::vector<std::string> words;
    int exit;
    std::string out;  // the answer's start
  };
  const Case cases[] = {
      {{"keyboard", "import", good}, kExitDone, "imported Combo as macro 0 (2 events)\n"},
      {{"keyboard", "import", bad}, kExitRefused, "refused: the \"Guid\" is not an identifier\n"},
      {{"keyboard", "show", "combo"}, kExitDone, "macro Combo events=2\n30\tdown\t10\t4\n0\tup\t10\t4\n"},
      {{"keyboard", "show", "nothing"}, kExitMalformed, "no such macro: nothing\n"},
      {{"keyboard", "bind", "10", "Combo", "repeat", "3"}, kExitDone, "bound key 10 to macro 0; macro block 30 bytes\n"},
      {{"keyboard", "bind", "999", "Combo"}, kExitMalformed, "no such key: 999\n"},
      {{"keyboard", "export", "Combo", in.folder() + "out.mac"}, kExitDone, "exported Combo (2 events)\n"},
      {{"keyboard", "frob"}, kExitMalformed, "usage: macro"},
      {{"keyboard", "delete", "Combo"}, kExitDone, "deleted Combo (macro 0)\n"},
      {{"keyboard", "list"}, kExitDone, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.words[1]);
    const ControlAnswer a = ask(c.words);
    EXPECT_EQ(a.exit_code, c.exit);
    EXPECT_EQ(a.text.substr(0, c.out.size()), c.out);
    if (c.words[1] == "bind") {
      const emulator::DecodedBlock block = emu_.Devices()[0]->Macros();
      if (c.exit == kExitDone) {
        ASSERT_TRUE(block.valid) << block.error;
        EXPECT_EQ(block.entries.at(0).size(), 2u);
        EXPECT_EQ(block.entries[0][0].delay, 30);
      }
    }
  }
  EXPECT_EQ(profiles::ReadTextFile(in.folder() + "out.mac"), profiles::ReadTextFile(good));
  EXPECT_EQ(Keyboard().GetKeyList()[10].current, Keyboard().GetKeyList()[10].default_code) << "deleted: default again";
}

TEST_F(MacroRoutesTest, AMacroAddedByHandIsFoundByEveryWordAsListPrintsIt) {
  auto ask = [&](std::vector<std::string> words) {
    words.insert(words.begin(), "macro");
    return wnd_->Requests().Run(ControlRequest{1, "brimvexctl-test", std::move(words)});
  };
  brimvex::test::TempDir in;
  const std::string combo = in.folder() + "Combo.mac";
  ASSERT_TRUE(platform::WriteFileAtomically(
      combo, R"({"Events":[{"Type":10,"Button":4,"Action":"down","Delay":"30"},{"Type":10,"Button":4,"Action":"up","Delay":0}]})"));
  ASSERT_EQ(ask({"keyboard", "import", combo}).exit_code, kExitDone);
  ASSERT_EQ(Editor().RowCount(), 2u);
  // Written by hand while the program runs: the page read its list before.
  macros::MacroStore by_hand(Editor().Store()->folder());
  const auto added = by_hand.Append("Hand");
  ASSERT_TRUE(added.ok);
  Json::Value events(Json::arrayValue);
  events.append(profiles::ParseJson(R"({"Type":1,"Button":30,"Action":"down","Delay":"7"})"));
  ASSERT_TRUE(by_hand.Save(added.index, events));

  const std::string hand_file = profiles::ReadTextFile(by_hand.MacroPath(by_hand.Entries().at(1)));
  Editor().Row(0)->SetUserData(R"({"Type":10,"Button":4,"Action":"down","Delay":"99"})");  // an unsaved edit

  const ControlAnswer shown = ask({"keyboard", "show", "Hand"});
  EXPECT_EQ(shown.exit_code, kExitDone);
  EXPECT_EQ(shown.text, "macro Hand events=1\n7\tdown\t1\t30\n");
  EXPECT_EQ(Editor().GetNames(), (std::vector<std::string>{"Combo", "Hand"}));
  EXPECT_EQ(Editor().GetSelectedMacro(), 0);
  EXPECT_EQ(Editor().Row(0)->UserData(), R"({"Type":10,"Button":4,"Action":"down","Delay":"99"})")
      << "the page's macro keeps its rows";

  struct Case {
    std::vector<std::string> words;
    int exit;
    std::string out;
  };
  const Case cases[] = {
      {{"keyboard", "export", "hand", in.folder() + "out.mac"}, kExitDone, "exported Hand (1 events)\n"},
      {{"keyboard", "delete", "Hand"}, kExitDone, "deleted Hand (macro 1)\n"},
      {{"keyboard", "show", "Hand"}, kExitMalformed, "no such macro: Hand\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.words[1]);
    const ControlAnswer a = ask(c.words);
    EXPECT_EQ(a.exit_code, c.exit);
    EXPECT_EQ(a.text, c.out);
  }
  EXPECT_EQ(profiles::ReadTextFile(in.folder() + "out.mac"), hand_file);
  EXPECT_EQ(by_hand.Names(), (std::vector<std::string>{"Combo"}));
}

// The mouse behind its receiver, recording on the mouse page.
class MouseRecordingTest : public ControllerFixture {
 protected:
  void SetUp() override {
    ControllerFixture::SetUp();
    platform::SetCurrentInputCapture(&capture_);
    Add(Product::kMouse).Plug(Link::kReceiver);
    Start();
    ASSERT_TRUE(WaitForTrace("添加一个鼠标设备", 2));
    Advance(Millis(600));
    ASSERT_TRUE(WaitFor([&] { return selector().CountVisible() == 1; }));
  }
  void TearDown() override {
    ControllerFixture::TearDown();
    platform::SetCurrentInputCapture(nullptr);
  }
  platform::ScriptedCapture capture_;
};

TEST_F(MouseRecordingTest, UnpluggingTheReceiverWhileRecordingEndsItWithTheRowsSaved) {
  devices::COmbrixUSBDevice& mouse = *DeviceOfRow(kMouseRow);
  auto& editor = *dynamic_cast<macros::CMacroControlUI*>(mouse.FindControl("MacroControlItem"));
  for (const char* name : {"macro_btn_name_add", "macro_btn_starredio"}) {
    wnd_->Window().SendNotify(mouse.FindControl(name), ui::notify::kClick);
    loop().RunPending();
  }
  ASSERT_TRUE(capture_.Active());
  capture_.Mouse({macros::kRightDown, 0, false, loop().Now()});
  capture_.Mouse({macros::kRightUp, 0, false, loop().Now() + milliseconds(80)});
  emu_.Devices()[0]->Unplug(Link::kReceiver);
  ASSERT_TRUE(WaitFor([&] { return selector().CountVisible() == 0; }));
  EXPECT_FALSE(capture_.Active());
  EXPECT_FALSE(editor.Recording());
  const auto events = editor.Store()->Events(0);
  ASSERT_EQ(events.size(), 2u) << "the rows were saved";
  EXPECT_EQ(events[0].delay, 80);
  EXPECT_TRUE(wnd_->Window().FindControl("device_select_layout")->IsEnabled());
}

}  // namespace
}  // namespace brimvex::app::test
