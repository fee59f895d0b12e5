// Recording through the hook over the scripted source on the manual clock: the delays of each
// mode, the filters (auto-repeat, the stop button, back while forward is held), insertion
// before and after the selected row, and replacing a row's key.
#include "macros/device_hook.h"
#include "macros/editor_rig.h"
#include "platform/evdev_keys.h"

namespace brimvex::macros::test {
namespace {

using Lines = std::vector<std::string>;
using std::chrono::milliseconds;

constexpr std::uint8_t kA = 0x1E, kB = 0x30;

struct Recorder : EditorRig {
  Recorder() : hook(capture) {}
  // Start as the controller does: the editor first, then the hook for this mode.
  bool Start(int delay_mode, std::uint32_t mode) {
    editor->StartRecording(delay_mode);
    return hook.SetHook(mode, [this](const HookMessage& m) { DeliverHookMessage(*editor, m); }, true, true) == 1;
  }
  void Key(std::uint8_t scan, bool press, int at_ms, bool extended = false) {
    EXPECT_TRUE(capture.Key({0, scan, extended, press, milliseconds(at_ms)}));
  }
  void Mouse(std::uint32_t message, int at_ms, int extra = 0, bool over_stop = false) {
    EXPECT_TRUE(capture.Mouse({message, extra, over_stop, milliseconds(at_ms)}));
  }
  std::vector<std::string> Delays() const {
    std::vector<std::string> out;
    for (std::size_t k = 0; k < editor->RowCount(); ++k) out.push_back(editor->RowDelay(k));
    return out;
  }
  platform::ScriptedCapture capture;
  CDeviceHook hook;
};

TEST(MacroRecording, RecordedDelaysAreThePausesUntilTheNextEvent) {
  Recorder r;
  r.Select("[]");
  ASSERT_TRUE(r.Start(kDelayRecorded, kHookAppend));
  // A held for a second: its auto-repeats are presses of the same key.
  r.Key(kA, true, 1100);
  for (int t = 1600; t < 2100; t += 33) r.Key(kA, true, t);
  r.Key(kB, true, 2100);
  r.Key(kA, false, 2350);
  r.Key(kB, false, 72350);  // 70 s later
  r.Key(kA, true, 72351);
  EXPECT_EQ(r.Rows(), (Lines{"keyboard_key_A macro_action_down_text 1000", "keyboard_key_B macro_action_down_text 250",
                             "keyboard_key_A macro_action_up_text 65535", "keyboard_key_B macro_action_up_text 1",
                             "keyboard_key_A macro_action_down_text 0"}));
  EXPECT_EQ(r.editor->RowEvent(1)["Delay"], "250") << "box and data agree";
}

TEST(MacroRecording, ConstantAndIgnoredDelays) {
  struct Case {
    int mode;
    std::string box;
    Lines delays;
    std::string box_after;
  };
  const Case cases[] = {
      {kDelayConstant, "80000", {"65535", "65535", "65535"}, "65535"},
      {kDelayConstant, "120", {"120", "120", "120"}, "120"},
      {kDelayNone, "80", {"0", "0", "0"}, "80"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.box);
    Recorder r;
    r.Select("[]");
    r.Find("macro_fixed_time_edit")->SetText(c.box);
    ASSERT_TRUE(r.Start(c.mode, kHookAppend));
    r.Key(kA, true, 1010);
    r.Key(kA, false, 1500);
    r.Key(kB, true, 9000);
    EXPECT_EQ(r.Delays(), c.delays);
    EXPECT_EQ(r.Find("macro_fixed_time_edit")->Text(), c.box_after);
  }
}

TEST(MacroRecording, TheFirstEventSinceTheEditorWasMadeLeavesTheRowBeforeIt) {
  Recorder r;
  r.Select(R"([{"Type":10,"Button":4,"Action":"down","Delay":"77"}])");
  ASSERT_TRUE(r.Start(kDelayRecorded, kHookAppend));
  r.Key(kB, true, 1200);
  r.Key(kB, false, 1300);
  EXPECT_EQ(r.Delays(), (Lines{"77", "100", "0"}));
}

TEST(MacroRecording, MouseFiltersStopButtonAndExtraButtons) {
  struct Case {
    const char* what;
    std::vector<platform::MouseRecord> records;
    Lines rows;
  };
  using M = platform::MouseRecord;
  const Case cases[] = {
      {"a left click on the stop button", {M{kLeftDown, 0, true, {}}, M{kLeftUp, 0, true, {}}}, {}},
      {"a right click on the stop button",
       {M{kRightDown, 0, true, {}}, M{kRightUp, 0, true, {}}},
       {"mouse_key_right macro_action_down_text 0", "mouse_key_right macro_action_up_text 0"}},
      {"back while forward is held",
       {M{kExtraDown, kExtraForward, false, {}}, M{kExtraDown, kExtraBack, false, {}}},
       {"mouse_key_forward macro_action_down_text 0"}},
      {"back after forward was released",
       {M{kExtraDown, kExtraForward, false, {}}, M{kExtraUp, kExtraForward, false, {}}, M{kExtraDown, kExtraBack, false, {}}},
       {"mouse_key_forward macro_action_down_text 0", "mouse_key_forward macro_action_up_text 0",
        "mouse_key_back macro_action_down_text 0"}},
      {"an extra button without a number", {M{kExtraDown, 3, false, {}}}, {}},
      {"a message outside the table", {M{0x020A, 0, false, {}}}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Recorder r;
    r.Select("[]");
    ASSERT_TRUE(r.Start(kDelayNone, kHookAppend));
    for (const auto& m : c.records) r.Mouse(m.message, 1000, m.extra_button, m.over_stop_button);
    EXPECT_EQ(r.Rows(), c.rows);
  }
}

TEST(MacroRecording, BeforeAfterAndReplaceWorkOnTheSelectedRow) {
  const std::string two = R"([{"Type":10,"Button":4,"Action":"down","Delay":"120"},{"Type":10,"Button":4,"Action":"up","Delay":"30"}])";
  struct Case {
    const char* what;
    std::uint32_t mode;
    int selected;
    Lines rows;
    int selected_after;
  };
  const Case cases[] = {
      {"before row 0", kHookBefore, 0,
       {"keyboard_key_B macro_action_down_text 0", "keyboard_key_A macro_action_down_text 120",
        "keyboard_key_A macro_action_up_text 30"},
       1},
      {"after row 0", kHookAfter, 0,
       {"keyboard_key_A macro_action_down_text 120", "keyboard_key_B macro_action_down_text 0",
        "keyboard_key_A macro_action_up_text 30"},
       1},
      {"replace row 0", kHookReplace, 0,
       {"keyboard_key_B macro_action_down_text 120", "keyboard_key_A macro_action_up_text 30"}, 0},
      {"before without a selection", kHookBefore, -1,
       {"keyboard_key_A macro_action_down_text 120", "keyboard_key_A macro_action_up_text 30"}, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Recorder r;
    r.Select(two);
    r.editor->SelectRow(c.selected);
    ASSERT_TRUE(r.Start(kDelayNone, c.mode));
    r.Key(kB, true, 1000);
    EXPECT_EQ(r.Rows(), c.rows);
    EXPECT_EQ(r.editor->SelectedRow(), c.selected_after);
  }
}

TEST(MacroRecording, KeysOutsideTheScanTableAndARefusedStartRecordNothing) {
  Recorder r;
  r.Select("[]");
  ASSERT_TRUE(r.Start(kDelayNone, kHookAppend));
  r.Key(0x5F, true, 1000, true);  // no such pair
  r.Key(0x1C, true, 1001, true);  // Num Enter
  r.Key(0x1C, true, 1002, false);  // Enter: another pair, so no repeat
  EXPECT_EQ(r.Rows(), (Lines{"keyboard_key_Num Enter macro_action_down_text 0", "keyboard_key_Enter macro_action_down_text 0"}));
  r.hook.RemoveHooks();
  EXPECT_FALSE(r.capture.Key({0, kA, false, true, milliseconds(1003)})) << "stopped";
  r.capture.refuse = true;
  EXPECT_EQ(r.hook.SetHook(kHookAppend, [](const HookMessage&) {}, true, true), 0);
  EXPECT_FALSE(r.hook.Installed());
}

TEST(MacroRecording, EveryKeyOfTheKeyTableHasOneScanPair) {
  std::set<std::pair<int, bool>> pairs;
  for (const ScanRow& s : ScanTable()) EXPECT_TRUE(pairs.insert({s.scan, s.extended}).second) << int(s.scan);
  // Rows 0-112 of the key table (the modifiers and the plain keys but K42) and nothing else.
  ASSERT_EQ(ScanTable().size(), 113u);
  for (int row = 0; row < 113; ++row) {
    const auto& k = devices::kKeyTable[static_cast<std::size_t>(row)];
    const bool modifier = row < devices::kModifierRows;
    const auto found = std::count_if(ScanTable().begin(), ScanTable().end(), [&](const ScanRow& s) {
      return modifier ? s.type == kTypeModifier && s.button == k.code.p1 : s.type == kTypeKey && s.button == k.code.p2;
    });
    EXPECT_EQ(found, 1) << k.text_key;
  }
  EXPECT_EQ(devices::kKeyTable[113].text_key, "keyboard_key_K42");
}

TEST(MacroRecording, EveryScanPairComesFromOneLinuxKeyThatTheKeyEditorNamesAlike) {
  // The Linux key table's set-1 column against the scan table: each pair is reached by exactly
  // one Linux key, no Linux key gives a pair the table lacks, and where the key editor knows the
  // key by its virtual-key code, both tables name the same macro event.
  for (const ScanRow& s : ScanTable()) {
    SCOPED_TRACE(::testing::Message() << std::hex << int(s.scan) << (s.extended ? " E" : ""));
    std::vector<platform::EvdevKey> from;
    for (const auto& k : platform::EvdevKeyTable())
      if (k.set1 == s.scan && k.set1_extended == s.extended) from.push_back(k);
    ASSERT_EQ(from.size(), 1u);
    if (from[0].vk == 0) continue;
    const int row = devices::FindCaptureRow(devices::CaptureCode(from[0].vk, from[0].extended));
    if (row < 0) continue;
    const auto& code = devices::kKeyTable[static_cast<std::size_t>(row)].code;
    EXPECT_EQ(s.type == kTypeModifier ? code.p1 : code.p2, s.button) << from[0].evdev;
    EXPECT_EQ(row < devices::kModifierRows, s.type == kTypeModifier) << from[0].evdev;
  }
  for (const auto& k : platform::EvdevKeyTable()) {
    if (k.set1 != 0) {
      EXPECT_TRUE(FindScanRow(k.set1, k.set1_extended)) << k.evdev;
    }
  }
}

}  // namespace
}  // namespace brimvex::macros::test
