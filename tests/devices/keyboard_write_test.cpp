// Writing the keyboard: what each write returns when the keyboard refuses, the key map with its
// macro numbering, the macro block and its limits, and a profile key list that cannot be used.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "devices/keyboard_rig.h"
#include "hid/command_codes.h"
#include "profiles/default_tables.h"
#include "profiles/file_helpers.h"

namespace brimvex::devices::test {
namespace {

using emulator::Area;
using emulator::FaultKind;
using profiles::KeyCode;

constexpr KeyCode kB{0x20, 0x00, 0x05};
constexpr int kAKey = 64;

KeyCode Macro(std::uint8_t number, std::uint8_t mode = 0) { return {0x70, number, mode}; }
KeyCode Factory(int key) { return profiles::kKeyboardPageKeys[static_cast<std::size_t>(key)].code; }

// A synced keyboard whose page key A is bound to B in the profile.
struct Synced : KeyboardRig {
  explicit Synced(Link link = Link::kCable) : KeyboardRig(link) {
    EXPECT_TRUE(Open());
    EXPECT_EQ(Sync(), hid::RESULT_OK);
    EXPECT_TRUE(device().StoreKeyAssignment(kAKey, kB));
    kb().ClearExchangeLog();
  }
};

// Every request after the first `skip` of the log, by code.
std::vector<std::uint8_t> CodesAfter(const KeyboardRig& k, std::size_t skip) {
  auto codes = k.Codes();
  codes.erase(codes.begin(), codes.begin() + static_cast<std::ptrdiff_t>(std::min(skip, codes.size())));
  return codes;
}

TEST(KeyboardWrite, ResultsAreTheFirstFailureAndEveryAnsweredBeginIsEnded) {
  using C = std::vector<std::uint8_t>;
  constexpr std::uint8_t kMap = hid::CMD_WRITE_KEYMAP;
  struct Case {
    const char* what;
    emulator::Fault fault;
    int result;
    C codes;  // after CMD_READ_INFO
  };
  const Case cases[] = {
      {"0xFE on CMD_BEGIN", {FaultKind::kStatusFE, 1, 1}, hid::RESULT_DEVICE_FE, {hid::CMD_BEGIN, hid::CMD_END}},
      {"0xFE on key map packet 3", {FaultKind::kStatusFE, 4, 1}, hid::RESULT_DEVICE_FE,
       {hid::CMD_BEGIN, kMap, kMap, kMap, hid::CMD_END}},
      {"0xFE on CMD_END", {FaultKind::kStatusFE, 9, 1}, hid::RESULT_DEVICE_FE,
       {hid::CMD_BEGIN, kMap, kMap, kMap, kMap, kMap, kMap, kMap, hid::CMD_END}},
      {"unplugged on key map packet 3", {FaultKind::kUnplug, 4, 1}, hid::RESULT_FAILED,
       {hid::CMD_BEGIN, kMap, kMap, kMap}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Synced k;
    const auto before = k.kb().Memory(Area::kKeyMap);
    k.kb().InjectFault(c.fault);
    EXPECT_EQ(k.device().WriteProfileKeyMap(), c.result);
    EXPECT_EQ(CodesAfter(k, 1), c.codes);
    // Packets before the failure stay in the keyboard; nothing after it was sent.
    if (c.fault.kind == FaultKind::kUnplug) {
      EXPECT_EQ(k.kb().Memory(Area::kKeyMap), before);
    }
  }
}

TEST(KeyboardWrite, AClosedChannelSendsNothingAndSaysSo) {
  Synced k;
  {
    std::lock_guard lock(k.device().CommandChannelRef().TransactionLock());
    k.device().CommandChannelRef().Wired().Close();
    k.device().CommandChannelRef().SetOpen(false);
  }
  k.device().SetMacroSource(FixtureMacros::Make(1, {2}));
  EXPECT_EQ(k.device().WriteSettings(0, 0, 1, 0, 0), hid::RESULT_FAILED);
  EXPECT_EQ(k.device().WriteProfileKeyMap(), hid::RESULT_FAILED);
  EXPECT_EQ(k.device().WriteMacros({0}), hid::RESULT_SEND_FAILED);
  EXPECT_EQ(k.device().WriteMacros({}), 0) << "nothing to write";
  EXPECT_TRUE(k.Codes().empty());
}

TEST(KeyboardWrite, SettingsWriteStopsAtARefusedBegin) {
  Synced k;
  k.kb().InjectFault({FaultKind::kStatusFF, 0, 1});
  EXPECT_EQ(k.device().WriteSettings(0, 0, 1, 0, 0), hid::RESULT_DEVICE_FF);
  EXPECT_EQ(k.Codes(), (std::vector<std::uint8_t>{hid::CMD_BEGIN, hid::CMD_END}));
}

TEST(KeyboardWrite, KeyMapWriteGoesToTheSlotsOfThePageKeys) {
  for (Link link : {Link::kCable, Link::kReceiver}) {
    SCOPED_TRACE(link == Link::kCable ? "cable" : "receiver");
    Synced k(link);
    ASSERT_EQ(k.device().WriteProfileKeyMap(), hid::RESULT_OK);
    const std::size_t packets = link == Link::kCable ? 7 : 16;
    EXPECT_EQ(k.CountOf(hid::CMD_WRITE_KEYMAP), packets);
    EXPECT_EQ(k.SlotCode(k.device().KeySlotOf(kAKey)), kB);
    EXPECT_EQ(k.SlotCode(k.device().KeySlotOf(kAKey + 1)), Factory(kAKey + 1));
  }
}

TEST(KeyboardWrite, MacroKeysAreNumberedByFirstUseAndUnknownMacrosFallBack) {
  Synced k;
  k.device().SetMacroSource(FixtureMacros::Make(6, {0, 0, 3, 0, 0, 4}));
  // In page order: key 1 -> macro 5, key 2 -> macro 5, key 3 -> macro 2, key 4 -> macro 9 (gone).
  ASSERT_TRUE(k.device().StoreKeyAssignment(1, Macro(5)));
  ASSERT_TRUE(k.device().StoreKeyAssignment(2, Macro(5, 2)));
  ASSERT_TRUE(k.device().StoreKeyAssignment(3, {0x71, 2, 7}));
  ASSERT_TRUE(k.device().StoreKeyAssignment(4, Macro(9)));
  EXPECT_EQ(k.device().CollectUsedMacros(), (std::vector<int>{5, 2}));
  ASSERT_EQ(k.device().WriteProfileKeyMap(), hid::RESULT_OK);
  EXPECT_EQ(k.SlotCode(k.device().KeySlotOf(1)), Macro(0));
  EXPECT_EQ(k.SlotCode(k.device().KeySlotOf(2)), Macro(0, 2));
  EXPECT_EQ(k.SlotCode(k.device().KeySlotOf(3)), (KeyCode{0x71, 1, 7}));
  EXPECT_EQ(k.SlotCode(k.device().KeySlotOf(4)), Factory(4));

  ASSERT_EQ(k.device().WriteMacros(k.device().CollectUsedMacros()), 0);
  const emulator::DecodedBlock block = k.kb().Macros();
  ASSERT_TRUE(block.valid) << block.error;
  ASSERT_EQ(block.entries.size(), 2u);
  EXPECT_EQ(block.entries[0].size(), 4u) << "device macro 0 is macro 5";
  EXPECT_EQ(block.entries[1].size(), 3u);
  EXPECT_TRUE(block.entries[0][0].down);
  EXPECT_EQ(block.entries[1][0].code, 2);

  // RepairMacroKeys makes the same fallback in the profile.
  k.device().RepairMacroKeys();
  EXPECT_EQ(k.device().GetKeyList()[4].current, Factory(4));
  EXPECT_EQ(k.device().GetKeyList()[1].current, Macro(5));
}

TEST(KeyboardWrite, MacroBlockLimitsSendNothing) {
  struct Case {
    const char* what;
    std::uint8_t capacity;  // 128-byte units
    std::vector<std::size_t> events;
    int result;
  };
  const Case cases[] = {
      {"548 bytes into 512", 4, {60, 70}, 10},
      {"a macro of 251 events", 16, {10, 251}, 251},
      {"a macro of 300 events is named before the capacity", 4, {10, 300}, 300},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Synced k;
    k.SetMemory(Area::kInfo, 6, {c.capacity});
    k.device().SetMacroSource(FixtureMacros::Make(static_cast<int>(c.events.size()), c.events));
    EXPECT_EQ(k.device().WriteMacros({0, 1}), c.result);
    EXPECT_EQ(k.Codes(), (std::vector<std::uint8_t>{hid::CMD_READ_INFO}));
  }
  Synced k;
  auto unreadable = FixtureMacros::Make(2, {1, 1});
  unreadable->readable = false;
  k.device().SetMacroSource(unreadable);
  EXPECT_EQ(k.device().WriteMacros({0}), 0);
  EXPECT_EQ(k.CountOf(hid::CMD_WRITE_MACROS), 0u);
}

std::string ReadAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A key list that cannot be used gives the keys their defaults, and the file as it was is kept.
TEST(KeyboardProfile, AnUnusableKeyListIsRepairedAndTheOldFileKeptAside) {
  struct Case {
    const char* what;
    std::string key_list;  // JSON of "KeyList"
    int key;               // the key that takes its default (-1: every key)
  };
  auto list = [](int n, const std::string& replace_5 = "") {
    std::string s = "[";
    for (int i = 0; i < n; ++i) {
      const int code = Factory(i).ToInteger();
      s += (i ? "," : "") + (i == 5 && !replace_5.empty()
                                 ? replace_5
                                 : "{\"Assignment\":" + std::to_string(code + (i == 7 ? 1 : 0)) +
                                       ",\"DefaultAssignment\":" + std::to_string(code) + "}");
    }
    return s + "]";
  };
  const std::string f5 = std::to_string(Factory(5).ToInteger());
  const Case cases[] = {
      {"not an array", "{\"a\":1}", -1},
      {"125 objects", list(125), 125},
      {"Assignment missing", list(126, "{\"DefaultAssignment\":" + f5 + "}"), 5},
      {"Assignment a string", list(126, "{\"Assignment\":\"x\",\"DefaultAssignment\":" + f5 + "}"), 5},
      {"Assignment not whole", list(126, "{\"Assignment\":2.5,\"DefaultAssignment\":" + f5 + "}"), 5},
      {"DefaultAssignment above 0xFFFFFF", list(126, "{\"Assignment\":16777216,\"DefaultAssignment\":16777216}"), 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    KeyboardRig k;
    const std::string folder = k.device().DataFolder();
    const std::string id = k.device().CurrentProfileName();
    const std::string text =
        "{\"profilename\":\"mine\",\"profileUUID\":\"" + id + "\",\"Device\":[{\"KeyList\":" + c.key_list + "}]}";
    { std::ofstream(folder + id + ".Json") << text; }
    ASSERT_TRUE(k.Open());
    ASSERT_EQ(k.Sync(), hid::RESULT_OK);

    const auto keys = k.device().GetKeyList();
    ASSERT_EQ(keys.size(), 126u);
    for (int key : {0, 5, 7, 125}) {
      const bool repaired = c.key == -1 || key == c.key;
      EXPECT_EQ(keys[static_cast<std::size_t>(key)].current,
                repaired || key != 7 ? Factory(key) : KeyCode::FromInteger(Factory(7).ToInteger() + 1))
          << key;
      EXPECT_EQ(keys[static_cast<std::size_t>(key)].default_code, Factory(key)) << key;
    }
    std::vector<std::filesystem::path> aside;
    for (const auto& e : std::filesystem::directory_iterator(folder))
      if (e.path().filename().string().starts_with(id + ".Json.broken-")) aside.push_back(e.path());
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(ReadAll(aside[0]), text);
    const Json::Value saved = profiles::ReadJson(folder + id + ".Json");
    EXPECT_EQ(saved["profilename"].asString(), "mine");
    EXPECT_EQ(saved["Device"][0]["KeyList"][5]["DefaultAssignment"].asInt(), Factory(5).ToInteger());
    // The repaired key reaches the keyboard with its default, not as a disabled key.
    ASSERT_EQ(k.device().WriteProfileKeyMap(), hid::RESULT_OK);
    if (c.key >= 0) {
      EXPECT_EQ(k.SlotCode(k.device().KeySlotOf(c.key)), Factory(c.key));
    }
  }
}

TEST(KeyboardProfile, SystemSettingsAreSavedAndWrittenAndRepeatResets) {
  Synced k;
  profiles::KeyboardSystemSettings s = k.device().SystemSettings();
  s.repeat = 5;
  s.repeat_delay = 3;
  s.key6_flag = 1;
  s.polling_rate = 3;
  EXPECT_EQ(k.device().ApplySystemSettings(s), hid::RESULT_OK);
  EXPECT_EQ(k.Memory(Area::kParameters, 20, 3), (std::vector<std::uint8_t>{1, 0, 3}));  // 6-key, Win, polling
  const Json::Value stages = profiles::ReadJson(k.device().GetProfilePath())["Device"][0]["SystemStages"];
  EXPECT_EQ(stages["Repeat"].asInt(), 5);
  EXPECT_EQ(stages["PollingRate"].asInt(), 3);

  EXPECT_EQ(k.device().ResetRepeatSettings(), hid::RESULT_OK);
  EXPECT_EQ(k.device().SystemSettings().repeat, profiles::kDefaultKeyboardSystemSettings.repeat);
  EXPECT_EQ(k.device().SystemSettings().repeat_delay, profiles::kDefaultKeyboardSystemSettings.repeat_delay);
  EXPECT_EQ(k.device().SystemSettings().polling_rate, 3);
  // A refused write keeps the change in the profile.
  s.repeat = 9;
  k.kb().InjectFault({FaultKind::kStatusFE, 0, 1});
  EXPECT_EQ(k.device().ApplySystemSettings(s), hid::RESULT_DEVICE_FE);
  EXPECT_EQ(profiles::ReadJson(k.device().GetProfilePath())["Device"][0]["SystemStages"]["Repeat"].asInt(), 9);
}

}  // namespace
}  // namespace brimvex::devices::test
