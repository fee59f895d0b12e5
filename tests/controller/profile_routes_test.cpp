// The profile list's rows on the real main window over the emulated keyboard: the buttons of
// the page in front, their messages, the switch after the drop-down's timer, and the
// brimvexctl "profile" requests.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/app_messages.h"
#include "devices/keyboard_device.h"
#include "devices/keyboard_settings_record.h"
#include "devices/mouse_device.h"
#include "hid/command_codes.h"
#include "macros/macro_source.h"
#include "discovery/controller_fixture.h"
#include "platform/file_dialog.h"
#include "platform/ui/list_controls.h"
#include "profiles/device_profile_ui.h"
#include "profiles/file_helpers.h"
#include "profiles/profile_import.h"
#include "test_support/temp_dir.h"

namespace brimvex::app::test {
namespace {

using profiles::CDeviceProfileUI;

class ProfileRoutesTest : public ControllerFixture {
 protected:
  void SetUp() override {
    ControllerFixture::SetUp();
    saved_home_ = platform::GetEnv("XDG_DATA_HOME");
    platform::SetEnv("XDG_DATA_HOME", home_.path().string());
    platform::SetCurrentFileChooser(&chooser_);
    frontend_.SetModalHandler([this](ui::Window& w) {
      ui::Control* text = w.FindControl("MessageText");
      boxes_.push_back(text->TextKey().empty() ? text->Text() : text->TextKey());
      w.FindControl(confirm_ ? "confirm_btn" : "cancel_btn")->Activate();
    });
  }
  void TearDown() override {
    ControllerFixture::TearDown();
    platform::SetCurrentFileChooser(nullptr);
    platform::SetEnv("XDG_DATA_HOME", saved_home_);
  }
  devices::COmbrixUSBDevice& Keyboard() { return *DeviceOfRow(kKeyboardRow); }
  // The list of the page the test works on (the keyboard's unless it says otherwise).
  CDeviceProfileUI& List() { return *DeviceOfRow(row_)->ProfileList(); }
  // A click on a control of that list.
  void Press(const char* name) {
    ui::Control* c = List().FindControl(name);
    ASSERT_NE(c, nullptr) << name;
    wnd_->Window().SendNotify(c, ui::notify::kClick);
    loop().RunPending();
  }
  // A choice in that list's drop-down, as the user makes it.
  void Choose(int index) {
    dynamic_cast<ui::Combo*>(List().FindControl("device_profile_combo"))->SelectItem(index, true);
    loop().RunPending();
  }
  ControlAnswer Ask(std::vector<std::string> words) {
    words.insert(words.begin(), "profile");
    return wnd_->Requests().Run(ControlRequest{1, "brimvexctl-test", std::move(words)});
  }

  brimvex::test::TempDir home_;
  std::optional<std::string> saved_home_;
  platform::ScriptedFileChooser chooser_;
  std::vector<std::string> boxes_;
  bool confirm_ = true;
  int row_ = kKeyboardRow;
};

TEST_F(ProfileRoutesTest, ButtonsActOnTheListOfThePageInFront) {
  StartConnected({Product::kKeyboard});
  ASSERT_EQ(wnd_->SelectedDevice(), &Keyboard());
  EXPECT_EQ(Keyboard().CurrentProfileName(), List().GetCurrentId());
  Press("device_add_btn");
  Press("device_copy_btn");
  EXPECT_EQ(List().Names(), (std::vector<std::string>{"profile1", "profile2", "profile1 copy"}));

  struct Rename {
    std::string name;
    std::vector<std::string> boxes;
    std::string stored;
  };
  const Rename renames[] = {{"PROFILE2", {"message_text_5"}, "profile1"},
                            {"  ", {"message_text_25"}, "profile1"},
                            {"", {}, "profile1"},
                            {"Mine", {}, "Mine"}};
  for (const auto& r : renames) {
    boxes_.clear();
    List().SetNameText(r.name);
    Press("device_profile_edit_save_btn");
    EXPECT_EQ(boxes_, r.boxes) << r.name;
    EXPECT_EQ(List().Names()[0], r.stored) << r.name;
  }

  Press("profile_fun_spread_btn");
  EXPECT_TRUE(List().IsMenuShown());
  Press("profile_fun_spread_btn");
  EXPECT_FALSE(List().IsMenuShown());

  const std::string out = home_.folder() + "out.json";
  chooser_.Answer(out);
  Press("device_export_btn");
  EXPECT_EQ(profiles::ReadJson(out)["profilename"].asString(), "Mine");
  // A refused import shows its reason; a good one adds the profile under the file's name.
  const std::string bad = home_.folder() + "bad.json";
  ASSERT_TRUE(profiles::WriteJson(bad, Json::Value(Json::arrayValue)));
  boxes_.clear();
  chooser_.Answer(home_.folder() + "missing.json");  // the chooser's own check: a cancel
  Press("device_import_btn");
  EXPECT_TRUE(boxes_.empty());
  chooser_.Answer(bad);
  Press("device_import_btn");
  EXPECT_EQ(boxes_, std::vector<std::string>{profiles::kImportNotAProfile});
  chooser_.Answer(out);
  Press("device_import_btn");
  EXPECT_EQ(List().Names().back(), "out");

  // Reset asks first; cancelled, the profile stays.
  Json::Value mine = profiles::ReadJson(List().PathOf(0));
  mine["own"] = 1;
  ASSERT_TRUE(profiles::WriteJson(List().PathOf(0), mine));
  confirm_ = false;
  boxes_.clear();
  Press("device_reset_btn");
  EXPECT_EQ(boxes_, std::vector<std::string>{"message_text_22"});
  EXPECT_TRUE(profiles::ReadJson(List().PathOf(0)).isMember("own"));
  confirm_ = true;
  Press("device_reset_btn");
  EXPECT_FALSE(profiles::ReadJson(List().PathOf(0)).isMember("own"));
  EXPECT_EQ(profiles::ReadJson(List().PathOf(0))["profilename"].asString(), "Mine");
}

TEST_F(ProfileRoutesTest, TheDeviceFollowsTheLastChoiceAndADeletedSelection) {
  StartConnected({Product::kKeyboard});
  Press("device_add_btn");
  Press("device_add_btn");
  const std::vector<std::string> ids = List().Identifiers();
  ASSERT_EQ(ids.size(), 3u);
  // Two choices within 400 ms: one switch, to the second.
  Choose(1);
  Advance(Millis(300));
  Choose(2);
  Advance(Millis(300));
  EXPECT_EQ(Keyboard().CurrentProfileName(), ids[0]);
  Advance(Millis(100));
  EXPECT_EQ(Keyboard().CurrentProfileName(), ids[2]);
  EXPECT_EQ(profiles::ReadJson(List().DataFolder() + "ProfileList.ini")["profileselect"].asInt(), 2);
  // Deleting the selected profile selects the one before it and switches the device to it.
  Press("device_sub_btn");
  EXPECT_EQ(List().GetCurSel(), 1);
  Advance(Millis(400));
  EXPECT_EQ(Keyboard().CurrentProfileName(), ids[1]);
  EXPECT_EQ(Keyboard().CurrentProfilePath(), List().PathOf(1));
  EXPECT_FALSE(std::filesystem::exists(List().DataFolder() + ids[2] + ".Json"));
}

TEST_F(ProfileRoutesTest, RequestsListSelectExportImportAndDelete) {
  StartConnected({Product::kKeyboard});
  Press("device_add_btn");
  const std::vector<std::string> ids = List().Identifiers();
  ControlAnswer a = Ask({"keyboard", "list"});
  EXPECT_EQ(a.exit_code, kExitDone);
  EXPECT_EQ(a.text, "0\t*\t" + ids[0] + "\tprofile1\n1\t-\t" + ids[1] + "\tprofile2\n");

  a = Ask({"keyboard", "select", "PROFILE2"});
  EXPECT_EQ(a.text.substr(0, a.text.find('\n')), "selected\t1\tprofile2");
  EXPECT_NE(a.text.find("\nsettings\t"), std::string::npos);
  EXPECT_NE(a.text.find("\nkeymap\t"), std::string::npos);
  EXPECT_EQ(Keyboard().CurrentProfileName(), ids[1]);
  EXPECT_EQ(List().GetCurSel(), 1);

  const std::string file = home_.folder() + "Game.json";
  a = Ask({"keyboard", "export", "profile1", file});
  EXPECT_EQ(a.exit_code, kExitDone) << a.text;
  EXPECT_EQ(a.text, "exported\tprofile1\n");
  a = Ask({"keyboard", "import", file});
  ASSERT_EQ(a.exit_code, kExitDone) << a.text;
  const std::string imported = List().Identifiers().back();
  EXPECT_EQ(a.text, "imported\t" + imported + "\tGame\n");

  // Deleting another than the selected one leaves the selection.
  a = Ask({"keyboard", "delete", "game"});
  EXPECT_EQ(a.exit_code, kExitDone) << a.text;
  EXPECT_EQ(a.text, "deleted\tGame\n");
  EXPECT_EQ(List().GetCurSel(), 1);

  struct Bad {
    std::vector<std::string> words;
    int exit_code;
  };
  const Bad bad[] = {
      {{"keyboard"}, kExitMalformed},
      {{"toaster", "list"}, kExitMalformed},
      {{"keyboard", "rename", "x"}, kExitMalformed},
      {{"keyboard", "select"}, kExitMalformed},
      {{"keyboard", "select", "nope"}, kExitMalformed},
      {{"keyboard", "export", "profile1", "relative.json"}, kExitMalformed},
      {{"keyboard", "import", home_.folder()}, kExitRefused},
      {{"pad", "list"}, kExitRefused},  // no pad page
  };
  const auto before = profiles::ReadTextFile(List().DataFolder() + "ProfileList.ini");
  for (const auto& b : bad) {
    a = Ask(b.words);
    EXPECT_EQ(a.exit_code, b.exit_code) << b.words.back() << ": " << a.text;
  }
  EXPECT_EQ(profiles::ReadTextFile(List().DataFolder() + "ProfileList.ini"), before);

  // The selected one moves the selection back; the last one cannot go.
  a = Ask({"keyboard", "delete", "profile2"});
  EXPECT_EQ(a.text.substr(0, a.text.find('\n')), "deleted\tprofile2");
  EXPECT_EQ(Keyboard().CurrentProfileName(), ids[0]);
  Advance(Millis(1000));  // the drop-down's switch ran with the answer, not again
  a = Ask({"keyboard", "delete", "profile1"});
  EXPECT_EQ(a.exit_code, kExitRefused);
  EXPECT_EQ(List().Names(), std::vector<std::string>{"profile1"});
}

// Macros of a store with three entries: macro k has k + 2 events of code 10 + k.
class ThreeMacros : public macros::MacroSource {
 public:
  std::optional<std::vector<std::string>> Names() const override { return std::vector<std::string>{"a", "b", "c"}; }
  std::vector<macros::MacroEvent> Events(int index) const override {
    if (index < 0 || index > 2) return {};
    std::vector<macros::MacroEvent> events;
    for (int e = 0; e < index + 2; ++e)
      events.push_back({static_cast<std::uint16_t>(5 * e), e % 2 == 0, 1, static_cast<std::uint8_t>(10 + index)});
    return events;
  }
};

TEST_F(ProfileRoutesTest, ASwitchPutsTheWholeProfileOnTheKeyboard) {
  StartConnected({Product::kKeyboard});
  auto& kb = *emu_.Find("keyboard");
  auto& keyboard = dynamic_cast<devices::COmbrixKeyboardDevice&>(Keyboard());
  keyboard.SetMacroSource(std::make_shared<ThreeMacros>());
  // profile2: custom colours in one colour, page key 1 on macro c and key 3 on macro a.
  Press("device_add_btn");
  Choose(1);
  Advance(Millis(400));
  profiles::LightInfo light = keyboard.GetLightState();
  light.mode = devices::kCustomColorsMode;
  light.brightness = 4;
  light.red = 12, light.green = 34, light.blue = 56;
  ASSERT_EQ(wnd_->WriteLight(keyboard, light), hid::RESULT_OK);
  keyboard.FillCustomColors(true);
  ASSERT_TRUE(keyboard.StoreKeyAssignment(1, {0x70, 2, 0}));
  ASSERT_TRUE(keyboard.StoreKeyAssignment(3, {0x70, 0, 0}));
  ASSERT_TRUE(keyboard.SaveProfile());
  // Away to profile1 and back, with the colour slot and the macro memory wiped between.
  Choose(0);
  Advance(Millis(400));
  const std::vector<std::uint8_t> zeros(4096, 0);
  kb.SetMemory(emulator::Area::kColorSlots, 0, zeros);
  kb.SetMemory(emulator::Area::kMacros, 0, zeros);
  Choose(1);
  Advance(Millis(400));

  // The record reads back as profile2's light.
  const auto stored = kb.SettingsRecord(0);
  ASSERT_EQ(stored.size(), devices::kKeyboardRecordSize);
  devices::KeyboardRecord record{};
  std::copy(stored.begin(), stored.end(), record.begin());
  profiles::LightInfo read_back;
  profiles::KeyboardSystemSettings system;
  devices::ApplyKeyboardRecord(record, keyboard.LightModes(), read_back, system);
  EXPECT_EQ(std::make_tuple(read_back.mode, read_back.brightness, read_back.red, read_back.green, read_back.blue),
            std::make_tuple(light.mode, light.brightness, light.red, light.green, light.blue));
  // The macro block holds c then a, in the order the keys use them; the keys name them 0 and 1.
  const emulator::DecodedBlock block = kb.Macros();
  ASSERT_TRUE(block.valid) << block.error;
  ASSERT_EQ(block.entries.size(), 2u);
  EXPECT_EQ(block.entries[0].size(), 4u);
  EXPECT_EQ(block.entries[0][0].code, 12);
  EXPECT_EQ(block.entries[1].size(), 2u);
  EXPECT_EQ(block.entries[1][0].code, 10);
  const auto map = kb.Memory(emulator::Area::kKeyMap);
  const auto slot = [&](int key) {
    const auto at = static_cast<std::size_t>(3 * keyboard.KeySlotOf(key));
    return std::vector<std::uint8_t>(map.begin() + static_cast<std::ptrdiff_t>(at),
                                     map.begin() + static_cast<std::ptrdiff_t>(at + 3));
  };
  EXPECT_EQ(slot(1), (std::vector<std::uint8_t>{0x70, 0, 0}));
  EXPECT_EQ(slot(3), (std::vector<std::uint8_t>{0x70, 1, 0}));
  // The wiped colour slot 0 holds the one colour at full brightness, and nothing else.
  const auto colours = kb.Memory(emulator::Area::kColorSlots);
  std::size_t lit = 0;
  for (std::size_t at = 0; at + 2 < 3 * kb.LightCount(); at += 3) {
    const std::vector<std::uint8_t> rgb(colours.begin() + static_cast<std::ptrdiff_t>(at),
                                        colours.begin() + static_cast<std::ptrdiff_t>(at + 3));
    if (rgb == std::vector<std::uint8_t>{0, 0, 0}) continue;
    EXPECT_EQ(rgb, (std::vector<std::uint8_t>{11, 33, 55})) << "position " << at / 3;
    ++lit;
  }
  EXPECT_GT(lit, 0u);
}

TEST_F(ProfileRoutesTest, ASwitchPutsTheWholeProfileOnTheMouseThroughItsReceiver) {
  auto& mo = Add(Product::kMouse);
  mo.Plug(Link::kReceiver);
  Start();
  ASSERT_TRUE(WaitForTrace("添加一个鼠标设备", 2));
  Advance(Millis(600));
  row_ = kMouseRow;
  auto& mouse = dynamic_cast<devices::COmbrixMouseDevice&>(*DeviceOfRow(kMouseRow));
  ASSERT_TRUE(mouse.KeyMapUsable());
  mouse.SetMacroSource(std::make_shared<ThreeMacros>());
  // profile2: its own stages, active stage 2, report rate 2000 Hz, a colour, and page key 1 on
  // macro b.
  Press("device_add_btn");
  Choose(1);
  Advance(Millis(400));
  const std::vector<profiles::StageRecord> stages = {
      {1, 0, 10, 10, 1, 2, 3}, {0, 0, 20, 20, 4, 5, 6}, {1, 1, 30, 0x0123, 7, 8, 9}, {1, 0, 40, 40, 10, 11, 12},
      {0, 0, 50, 50, 13, 14, 15}};
  ASSERT_TRUE(mouse.StoreStages(stages));
  ASSERT_TRUE(mouse.StoreActiveStage(2));
  auto pointer = mouse.PointerOptions();
  pointer.report_rate_index = 4;
  ASSERT_TRUE(mouse.StorePointerOptions(pointer));
  profiles::LightInfo light = mouse.Profile().GetLightInfo();
  light.mode = 3;
  light.red = 21, light.green = 43, light.blue = 65;
  mouse.Profile().SetLightInfo(light);
  ASSERT_TRUE(mouse.StoreKeyAssignment(1, {0x70, 1, 0}));
  ASSERT_TRUE(mouse.SaveProfile());
  // Away to profile1 and back, with the macro memory wiped between.
  Choose(0);
  Advance(Millis(400));
  EXPECT_NE(mo.SettingsRecord(0)[11], 4);
  mo.SetMemory(emulator::Area::kMacros, 0, std::vector<std::uint8_t>(mo.Memory(emulator::Area::kMacros).size(), 0));
  mo.ClearExchangeLog();
  Choose(1);
  Advance(Millis(400));

  // The record: light, rate, active stage, the five stages, flag, screen size.
  using C = std::vector<std::uint8_t>;
  const C r = mo.SettingsRecord(0);
  ASSERT_GE(r.size(), 66u);
  EXPECT_EQ(C(r.begin() + 1, r.begin() + 2), C{static_cast<std::uint8_t>(*mouse.LightModes().CodeOf(3))});
  EXPECT_EQ(C(r.begin() + 6, r.begin() + 9), (C{21, 43, 65}));
  EXPECT_EQ(C(r.begin() + 11, r.begin() + 13), (C{4, 2}));
  EXPECT_EQ(C(r.begin() + 14, r.begin() + 59),
            (C{1, 0, 10, 0, 10, 0, 1, 2, 3, 0, 0, 20, 0, 20, 0, 4, 5, 6, 1, 1, 30, 0, 0x23, 0x01, 7, 8, 9,
               1, 0, 40, 0, 40, 0, 10, 11, 12, 0, 0, 50, 0, 50, 0, 13, 14, 15}));
  const ui::ScreenSize screen = frontend_.MonitorSize(wnd_->Window());
  EXPECT_EQ(C(r.begin() + 59, r.begin() + 64),
            (C{1, static_cast<std::uint8_t>(screen.width & 0xFF), static_cast<std::uint8_t>(screen.width >> 8),
               static_cast<std::uint8_t>(screen.height & 0xFF), static_cast<std::uint8_t>(screen.height >> 8)}));
  // The macro block holds b alone; the key names it 0.
  const emulator::DecodedBlock block = mo.Macros();
  ASSERT_TRUE(block.valid) << block.error;
  ASSERT_EQ(block.entries.size(), 1u);
  ASSERT_EQ(block.entries[0].size(), 3u);
  EXPECT_EQ(block.entries[0][0].code, 11);
  const auto map = mo.Memory(emulator::Area::kKeyMap);
  const auto at = static_cast<std::size_t>(3 * mouse.KeySlotOf(1));
  EXPECT_EQ(C(map.begin() + static_cast<std::ptrdiff_t>(at), map.begin() + static_cast<std::ptrdiff_t>(at + 3)),
            (C{0x70, 0, 0}));
  // Through the receiver every command followed a link query: record, macros, key map, in order.
  C codes;
  for (const auto& ex : mo.ExchangeLog()) {
    const std::uint8_t code = ex.request[3];
    if (code != hid::CMD_LINK_QUERY && !codes.empty() && codes.back() != hid::CMD_LINK_QUERY && codes.back() != code) {
      ADD_FAILURE() << "command " << int(code) << " without a link query before it";
    }
    if (codes.empty() || codes.back() != code) codes.push_back(code);
  }
  C commands;
  for (auto c : codes)
    if (c != hid::CMD_LINK_QUERY) commands.push_back(c);
  EXPECT_EQ(commands, (C{hid::CMD_BEGIN, hid::CMD_WRITE_PARAM, hid::CMD_END, hid::CMD_READ_INFO, hid::CMD_BEGIN,
                         hid::CMD_WRITE_MACROS, hid::CMD_END, hid::CMD_READ_INFO, hid::CMD_BEGIN, hid::CMD_WRITE_KEYMAP,
                         hid::CMD_END}));
  EXPECT_TRUE(boxes_.empty());
}

}  // namespace
}  // namespace brimvex::app::test
