// The keyboard found: what InitialSync reads, how page keys find their slots and lights, the kept
// slot map across restarts, and the settings record in both directions.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <random>

#include "devices/key_slots.h"
#include "devices/keyboard_layout.h"
#include "devices/keyboard_rig.h"
#include "devices/keyboard_settings_record.h"
#include "hid/command_codes.h"
#include "platform/trace.h"
#include "profiles/default_tables.h"
#include "profiles/file_helpers.h"

namespace brimvex::devices::test {
namespace {

using emulator::Area;
using profiles::KeyCode;

KeyCode Factory(int key) { return profiles::kKeyboardPageKeys[static_cast<std::size_t>(key)].code; }

TEST(KeyboardSync, ReadsInfoKeyMapAndPositionsInOneTransactionThenTheActiveRecord) {
  for (Link link : {Link::kCable, Link::kReceiver}) {
    SCOPED_TRACE(link == Link::kCable ? "cable" : "receiver");
    KeyboardRig k(link);
    k.SetMemory(Area::kParameters, 0, {2});  // device profile 2 active: its record at 58
    k.SetMemory(Area::kParameters, 58 + 1, {6, 3, 1, 0, 0, 10, 20, 30});
    ASSERT_TRUE(k.Open());
    EXPECT_EQ(k.Sync(), hid::RESULT_OK);
    const std::uint8_t chunk = link == Link::kCable ? 56 : 24;
    std::vector<Packet> expected{{hid::CMD_BEGIN, 0, 0}};
    auto chunked = [&](std::uint8_t code, std::size_t total, std::uint16_t start) {
      for (std::size_t at = 0; at < total; at += chunk)
        expected.push_back({code, static_cast<std::uint8_t>(std::min<std::size_t>(chunk, total - at)),
                            static_cast<std::uint16_t>(start + at)});
    };
    chunked(hid::CMD_READ_INFO, 34, 0);
    chunked(hid::CMD_READ_KEYMAP, 378, 0);  // 7 packets on the cable, 16 through the receiver
    chunked(hid::CMD_READ_KEY_POSITIONS, 126, 0);
    expected.push_back({hid::CMD_END, 0, 0});
    chunked(hid::CMD_READ_PARAM, 1, 0);
    chunked(hid::CMD_READ_PARAM, 29, 58);
    EXPECT_EQ(k.Packets(), expected);
    EXPECT_EQ(k.device().CommandChannelRef().KeyMapSize(), 378);
    // The record of profile 2 is in force and reached the profile file.
    const LightInfo light = k.device().GetLightState();
    EXPECT_EQ(light.mode, 6);
    EXPECT_EQ(light.brightness, 3);
    EXPECT_EQ(light.speed, 3);
    EXPECT_EQ(light.red, 10);
    EXPECT_EQ(k.device().SettingsRecord()[0], 2);
    EXPECT_EQ(profiles::ReadJson(k.device().GetProfilePath())["Device"][0]["LightInfo"]["SelectItem"].asInt(), 6);
  }
}

// The page-order factory map hides the matching: shuffle the slots, make one unknown.
TEST(KeyboardSync, PageKeysFindTheirSlotsAnywhereAndEachSlotHasOneOwner) {
  KeyboardRig k;
  std::vector<int> order(126);
  std::iota(order.begin(), order.end(), 0);
  std::shuffle(order.begin(), order.end(), std::mt19937(7));  // slot s holds page key order[s]
  std::vector<std::uint8_t> map(378);
  std::vector<std::uint8_t> positions(126, 0xFF);
  for (int s = 0; s < 126; ++s) {
    const KeyCode c = Factory(order[static_cast<std::size_t>(s)]);
    map[3 * static_cast<std::size_t>(s)] = c.type;
    map[3 * static_cast<std::size_t>(s) + 1] = c.p1;
    map[3 * static_cast<std::size_t>(s) + 2] = c.p2;
  }
  const auto slot_of = [&](int key) { return static_cast<int>(std::find(order.begin(), order.end(), key) - order.begin()); };
  // The Esc slot holds a code no page key has; Q is at row 5 column 15, W at 0x60 (no light).
  const int esc = slot_of(0);
  map[3 * static_cast<std::size_t>(esc)] = 0x99;
  positions[static_cast<std::size_t>(slot_of(43))] = 0x5F;
  positions[static_cast<std::size_t>(slot_of(44))] = 0x60;
  k.SetMemory(Area::kKeyMap, 0, map);
  k.SetMemory(Area::kKeyPositions, 0, positions);
  ASSERT_TRUE(k.Open());
  ASSERT_EQ(k.Sync(), hid::RESULT_OK);

  EXPECT_EQ(k.device().KeySlotOf(0), -1) << "a factory code nowhere in the map has no slot";
  for (int key : {1, 43, 64, 110, 125}) EXPECT_EQ(k.device().KeySlotOf(key), slot_of(key)) << key;
  // The none keys 18-20 and 104 share one factory code but take one slot each.
  std::vector<int> none_slots;
  for (int key : {18, 19, 20, 104}) none_slots.push_back(k.device().KeySlotOf(key));
  std::sort(none_slots.begin(), none_slots.end());
  EXPECT_EQ(std::adjacent_find(none_slots.begin(), none_slots.end()), none_slots.end());
  EXPECT_NE(none_slots.front(), -1);
  EXPECT_EQ(k.device().KeyIndexMap(1).at(43), 116);
  EXPECT_EQ(k.device().KeyIndexMap(1).at(44), kNoLight);
  EXPECT_EQ(k.device().KeyIndexMap(0).at(0), kNoLight);

  // A key map write leaves the slot no page key owns as it was read.
  k.kb().ClearExchangeLog();
  EXPECT_EQ(k.device().WriteProfileKeyMap(), hid::RESULT_OK);
  EXPECT_EQ(k.SlotCode(esc), (KeyCode{0x99, Factory(0).p1, Factory(0).p2}));
  EXPECT_EQ(k.SlotCode(slot_of(64)), Factory(64));
}

TEST(KeyboardSync, AKeyCountPastTheKeyMapEndsTheSyncAndRefusesKeyMapWrites) {
  platform::TraceCapture traces;
  KeyboardRig k;
  k.SetMemory(Area::kInfo, 5, {171});  // 513 bytes
  ASSERT_TRUE(k.Open());
  EXPECT_NE(k.Sync(), hid::RESULT_OK);
  EXPECT_EQ(k.Codes(), (std::vector<std::uint8_t>{hid::CMD_BEGIN, hid::CMD_READ_INFO, hid::CMD_END}));
  EXPECT_TRUE(traces.Contains("171"));
  EXPECT_FALSE(k.device().KeyMapUsable());
  k.kb().ClearExchangeLog();
  EXPECT_EQ(k.device().WriteProfileKeyMap(), hid::RESULT_FAILED);
  EXPECT_TRUE(k.Codes().empty());
}

TEST(KeyboardSync, AClosedChannelReadsNothingAndLeavesTheProfileAlone) {
  KeyboardRig k;
  EXPECT_EQ(k.Sync(), hid::RESULT_FAILED);
  EXPECT_TRUE(k.Codes().empty());
  // The default profile's light record stands; nothing read replaced it.
  EXPECT_EQ(k.device().GetLightState(), profiles::kDefaultKeyboardLight);
  EXPECT_FALSE(std::filesystem::exists(k.device().DataFolder() + kKeySlotsFileName));
}

// A remap leaves slots without their factory codes; the slot map learned first is kept.
TEST(KeyboardSync, SwappedKeysKeepTheirSlotsAcrossARestart) {
  constexpr int kA = 64;
  constexpr int kB = 89;
  KeyboardRig k;
  ASSERT_TRUE(k.Open());
  ASSERT_EQ(k.Sync(), hid::RESULT_OK);
  const int slot_a = k.device().KeySlotOf(kA);
  const int slot_b = k.device().KeySlotOf(kB);
  ASSERT_TRUE(k.device().StoreKeyAssignment(kA, Factory(kB)));
  ASSERT_TRUE(k.device().StoreKeyAssignment(kB, Factory(kA)));
  ASSERT_EQ(k.device().WriteProfileKeyMap(), hid::RESULT_OK);
  ASSERT_EQ(k.SlotCode(slot_a), Factory(kB));

  // Brimvex starts again: a new device object over the same keyboard and data folder.
  k.rig.device = std::make_unique<COmbrixKeyboardDevice>(k.rig.backend, k.rig.loop);
  k.rig.device->SetDescriptor(DeviceDescriptor{.path = InterfacePath(k.kb(), Link::kCable, 4)});
  k.device().SetDeviceFolderName("keyboard");
  k.device().SetLightFileName("quelt_light");
  ASSERT_TRUE(k.rig.BuildPage());
  ASSERT_TRUE(k.Open());
  ASSERT_EQ(k.Sync(), hid::RESULT_OK);
  EXPECT_EQ(k.device().KeySlotOf(kA), slot_a);
  EXPECT_EQ(k.device().KeySlotOf(kB), slot_b);
  // B restored to its default reprograms B's slot only.
  ASSERT_TRUE(k.device().StoreKeyAssignment(kB, Factory(kB)));
  ASSERT_EQ(k.device().WriteProfileKeyMap(), hid::RESULT_OK);
  EXPECT_EQ(k.SlotCode(slot_b), Factory(kB));
  EXPECT_EQ(k.SlotCode(slot_a), Factory(kB)) << "A keeps B's function";
}

TEST(KeySlots, AKeptMapServesOnlyTheKeyboardItWasLearnedOn) {
  const std::vector<std::uint8_t> positions{0x00, 0x01, 0x02};
  const KeptKeySlots kept{3, "emu", positions, {0, 1, 2}};
  struct Case {
    const char* what;
    int key_count;
    std::vector<std::uint8_t> positions;
    const char* source;
    bool fits;
  };
  const Case cases[] = {
      {"the same keyboard", 3, positions, "emu", true},
      {"another key count", 4, {0x00, 0x01, 0x02, 0x03}, "emu", false},
      {"other positions", 3, {0x00, 0x01, 0x12}, "emu", false},
      {"a real keyboard", 3, positions, "hidraw", false},
  };
  for (const Case& c : cases) EXPECT_EQ(KeptSlotsFit(kept, c.key_count, c.positions, c.source, 3), c.fits) << c.what;

  // Kept slots are taken as they are; the rest match among the slots nobody owns.
  const std::vector<KeyCode> codes{{0x20, 0, 4}, {0x20, 0, 5}, {0x20, 0, 6}};
  const std::vector<std::uint8_t> map{0x20, 0, 5, 0x20, 0, 4, 0x20, 0, 6};  // A and B swapped
  EXPECT_EQ(MatchKeySlots(codes, map, 3, std::vector<int>{0, kNoSlot, kNoSlot}), (std::vector<int>{0, kNoSlot, 2}));
  EXPECT_EQ(MatchKeySlots(codes, map, 3), (std::vector<int>{1, 0, 2}));
}

TEST(KeyboardSync, ADifferentKeyboardIsLearnedAgain) {
  KeyboardRig k;
  ASSERT_TRUE(k.Open());
  ASSERT_EQ(k.Sync(), hid::RESULT_OK);
  const std::string path = k.device().DataFolder() + kKeySlotsFileName;
  ASSERT_TRUE(std::filesystem::exists(path));
  // Another keyboard layout: A's factory code moves to slot 100, whose code moves to A's slot.
  const int slot_a = k.device().KeySlotOf(64);
  const KeyCode other = k.SlotCode(100);
  k.SetMemory(Area::kKeyMap, static_cast<std::size_t>(3 * slot_a), {other.type, other.p1, other.p2});
  k.SetMemory(Area::kKeyMap, 300, {Factory(64).type, Factory(64).p1, Factory(64).p2});
  k.SetMemory(Area::kKeyPositions, 100, {0x33});
  ASSERT_EQ(k.Sync(), hid::RESULT_OK);
  EXPECT_EQ(k.device().KeySlotOf(64), 100);
  EXPECT_EQ(ReadKeptKeySlots(path)->positions[100], 0x33);
}

TEST(KeyboardRecord, ReadBackSetsTheModeByCodeAndKeepsItForFeOrAnUnlistedCode) {
  struct Case {
    std::uint8_t active;
    std::uint8_t code;
    std::uint8_t mode;  // expected; the mode in force before is 1
  };
  for (const Case& c : {Case{0, 5, 5}, Case{3, 23, 23}, Case{0, 0xFE, 1}, Case{3, 200, 1}}) {
    SCOPED_TRACE(static_cast<int>(c.code));
    KeyboardRig k;
    const std::size_t at = 29u * c.active;
    k.SetMemory(Area::kParameters, 0, {c.active});
    // code, brightness 2, stored speed 1, direction 1, 7-colour 0, colour, ..., ZZCC, W, 6-key, Win
    k.SetMemory(Area::kParameters, at + 1, {c.code, 2, 1, 1, 0, 9, 8, 7});
    k.SetMemory(Area::kParameters, at + 16, {0x55, 0, 3, 1, 1, 1, 3});
    k.SetMemory(Area::kParameters, at + 25, {2, 4, 1, 0x77});
    ASSERT_TRUE(k.Open());
    ASSERT_EQ(k.Sync(), hid::RESULT_OK);
    const LightInfo l = k.device().GetLightState();
    EXPECT_EQ(l.mode, c.mode);
    EXPECT_EQ((std::array<int, 8>{l.brightness, l.speed, l.direction, l.multi_color, l.red, l.green, l.blue, l.zzcc_mode}),
              (std::array<int, 8>{2, 3, 1, 0, 9, 8, 7, 3}));
    EXPECT_EQ(l.custom_group, 2);
    EXPECT_EQ(l.logo_mode, 4);
    EXPECT_EQ(l.byte15, 0x77);
    const auto s = k.device().SystemSettings();
    EXPECT_EQ((std::array<int, 4>{s.w_flag, s.key6_flag, s.win_flag, s.ios_mode}), (std::array<int, 4>{1, 1, 1, 1}));
    EXPECT_EQ(s.polling_rate, profiles::kDefaultKeyboardSystemSettings.polling_rate) << "byte 22 is not read";
    EXPECT_EQ(k.device().SettingsRecord()[16], 0);
    EXPECT_EQ(k.device().SettingsRecord()[0], c.active);
  }
}

TEST(KeyboardRecord, WrittenFromTheProfileWithHostModesAsFe) {
  struct Case {
    std::uint8_t mode;
    std::uint8_t byte1;
  };
  // Mode 40 has no list entry: entry 0's code.
  for (const Case& c : {Case{5, 5}, Case{29, 0xFE}, Case{30, 0xFE}, Case{40, 0}}) {
    SCOPED_TRACE(static_cast<int>(c.mode));
    KeyboardRig k;
    ASSERT_TRUE(k.Open());
    ASSERT_EQ(k.Sync(), hid::RESULT_OK);
    LightInfo l = k.device().Profile().GetLightInfo();
    l.mode = c.mode;
    l.speed = 1;
    l.zzcc_mode = 2;
    l.logo_mode = 3;
    l.byte15 = 0;
    k.device().Profile().SetLightInfo(l);
    profiles::KeyboardSystemSettings s = k.device().SystemSettings();
    s.polling_rate = 2;
    s.w_flag = 1;
    k.device().Profile().SetSystemSettings(s);
    k.kb().ClearExchangeLog();
    ASSERT_EQ(k.device().WriteSettings(3, 0, 1, 0, 0), hid::RESULT_OK);
    EXPECT_EQ(k.Packets(),
              (std::vector<Packet>{{hid::CMD_BEGIN, 0, 0}, {hid::CMD_WRITE_PARAM, 29, 87}, {hid::CMD_END, 0, 0}}));
    const auto r = k.Memory(Area::kParameters, 87, 29);
    EXPECT_EQ(r[1], c.byte1);
    EXPECT_EQ(r[3], 3) << "4 - speed";
    EXPECT_EQ(r[18], 2);
    EXPECT_EQ(r[19], 1);
    EXPECT_EQ(r[22], 2);
    EXPECT_EQ(r[26], 3);
    EXPECT_EQ(r[25], 0);
  }
}

}  // namespace
}  // namespace brimvex::devices::test
