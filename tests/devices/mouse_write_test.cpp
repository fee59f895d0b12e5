// Writing the mouse: the settings record byte for byte, the resolution display, the key map of a
// key without a slot, change notices, the recoil block and its limits, and the receiver's gate.
#include <gtest/gtest.h>

#include "devices/mouse_rig.h"
#include <json/json.h>

#include <functional>
#include <sstream>

#include "devices/key_slots.h"
#include "platform/ui/controls.h"
#include "hid/command_codes.h"
#include "profiles/file_helpers.h"

namespace brimvex::devices::test {
namespace {

using emulator::Area;
using profiles::KeyCode;
using profiles::StageRecord;
using C = std::vector<std::uint8_t>;

constexpr std::uint8_t kLq = hid::CMD_LINK_QUERY;

struct Synced : MouseRig {
  explicit Synced(Link link = Link::kCable) : MouseRig(link) {
    EXPECT_TRUE(Open());
    EXPECT_EQ(Sync(), hid::RESULT_OK);
    mouse().ClearExchangeLog();
  }
};

TEST(ResolutionScale, SliderUnitsShownAndTypedBack) {
  struct Case {
    const char* what;
    ResolutionScale scale;
    int slider;      // shown as `dpi`
    int dpi;
    const char* typed;  // gives `typed_slider`
    int typed_slider;
  };
  const ResolutionScale coarse{13093, 50, 120, 50};
  const ResolutionScale plain{1234, 50, 120, 100};
  const Case cases[] = {
      {"13093 at 48", coarse, 48, 2450, "2450", 48},
      {"13093 at 49", coarse, 49, 2650, "2650", 49},
      {"13093 typed 6000", coarse, 65, 5850, "6000", 65},
      {"13093 typed between units", coarse, 52, 3250, "3300", 52},
      {"13093 at the maximum", coarse, 120, 16850, "16850", 120},
      {"13093 typed past the maximum", coarse, 120, 16850, "99999", 120},
      {"other sensor at 10", plain, 10, 600, "80", 0},
      {"other sensor empty", plain, 0, 100, "", 0},
      {"other sensor not a number", plain, 0, 100, "abc", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.scale.Display(c.slider), c.dpi);
    EXPECT_EQ(c.scale.SliderOf(c.typed), c.typed_slider);
  }
  EXPECT_EQ(coarse.EditMaximum(), 16850);
}

TEST(ReportRate, OptionsAndRates) {
  const int hz[] = {125, 250, 500, 1000, 2000};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(ReportRateHz(i), hz[i]);
    EXPECT_EQ(ReportRateIndex(hz[i]), i);
  }
  EXPECT_EQ(ReportRateIndex(300), -1);
  EXPECT_EQ(ReportRateHz(5), 0);
}

// Sets CorrectInfo in the profile file and reloads it.
void SetCorrections(MouseRig& m, const std::string& json) {
  Json::Value doc = profiles::ReadJson(m.device().GetProfilePath());
  Json::Value list;
  std::string errors;
  std::istringstream in(json);
  ASSERT_TRUE(Json::parseFromStream(Json::CharReaderBuilder(), in, &list, &errors));
  doc["Device"][0]["CorrectInfo"] = list;
  ASSERT_TRUE(profiles::WriteJson(m.device().GetProfilePath(), doc));
  m.device().ReloadProfile();
}

TEST(MouseWrite, SettingsRecordReachesTheMouseByteForByte) {
  Synced m;
  SetCorrections(m, R"([{"CorrectSelect":0,"CorrectMinSq":9,"CorrectPixThresh":9},
                        {"CorrectSelect":1,"CorrectMinSq":3,"CorrectPixThresh":7},
                        {"CorrectSelect":1,"CorrectMinSq":5,"CorrectPixThresh":5}])");
  std::vector<StageRecord> stages = {{1, 0, 16, 16, 0xFF, 0, 0}, {1, 1, 300, 0x0102, 0, 0xFF, 0x80}};
  ASSERT_TRUE(m.device().StoreStages(stages));
  ASSERT_TRUE(m.device().StoreActiveStage(1));
  auto pointer = m.device().PointerOptions();
  pointer.report_rate_index = 4;
  ASSERT_TRUE(m.device().StorePointerOptions(pointer));
  // Profile 2 so the record's place is checked too (2 x 128).
  ASSERT_EQ(m.device().WriteSettings(2, 0, 1, 1920, 1080), hid::RESULT_OK);
  const auto r = m.Memory(Area::kParameters, 256, 71);
  EXPECT_EQ(C(r.begin() + 11, r.begin() + 14), (C{4, 1, 0})) << "report rate, active stage";
  EXPECT_EQ(C(r.begin() + 14, r.begin() + 32), (C{1, 0, 16, 0, 16, 0, 0xFF, 0, 0, 1, 1, 0x2C, 0x01, 0x02, 0x01, 0, 0xFF, 0x80}));
  EXPECT_EQ(C(r.begin() + 32, r.begin() + 59), C(27, 0)) << "stages 2-4 missing: zero";
  EXPECT_EQ(C(r.begin() + 59, r.begin() + 66), (C{1, 0x80, 0x07, 0x38, 0x04, 3, 7}));
  EXPECT_EQ(m.Packets().size(), 4u) << "BEGIN, 66 bytes in two packets, END";
}

TEST(MouseWrite, LightModeByte) {
  struct Case {
    std::uint8_t mode;
    std::uint8_t byte1;
  };
  Synced m;
  ASSERT_GT(m.device().LightModes().Count(), 12);
  const Case cases[] = {{3, static_cast<std::uint8_t>(*m.device().LightModes().CodeOf(3))},
                        {9, static_cast<std::uint8_t>(*m.device().LightModes().CodeOf(9))},
                        {12, static_cast<std::uint8_t>(*m.device().LightModes().CodeOf(0))}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.mode));
    LightInfo light = m.device().Profile().GetLightInfo();
    light.mode = c.mode;
    light.speed = 1;
    m.device().Profile().SetLightInfo(light);
    ASSERT_EQ(m.device().WriteSettings(0, 0, 1, 800, 600), hid::RESULT_OK);
    EXPECT_EQ(m.Memory(Area::kParameters, 1, 3), (C{c.byte1, light.brightness, 3}));
  }
}

TEST(MouseWrite, APageKeyWithoutASlotIsNeverWritten) {
  MouseRig m;
  // The GM key's slot holds something else: the page key has no slot.
  m.mouse().SetMemory(Area::kKeyMap, 3 * 8, C{0x20, 0x00, 0x05});
  ASSERT_TRUE(m.Open());
  ASSERT_EQ(m.Sync(), hid::RESULT_OK);
  EXPECT_EQ(m.device().KeyIndexMap(0).at(8), kMouseNoSlot);
  EXPECT_EQ(m.device().KeySlotOf(8), kNoSlot);
  const KeyCode b{0x20, 0x00, 0x06};
  ASSERT_TRUE(m.device().StoreKeyAssignment(8, b));
  ASSERT_TRUE(m.device().StoreKeyAssignment(1, b));
  ASSERT_EQ(m.device().WriteProfileKeyMap(), hid::RESULT_OK);
  EXPECT_EQ(m.Memory(Area::kKeyMap, 3 * 8, 3), (C{0x20, 0x00, 0x05}));
  EXPECT_EQ(m.Memory(Area::kKeyMap, 3, 3), (C{0x20, 0x00, 0x06}));
  EXPECT_EQ(m.Memory(Area::kKeyMap, 0, 3), (C{0x10, 0x01, 0x00}));
}

TEST(MouseNotice, StageNoticeSetsProfileAndStage) {
  Synced m;
  ASSERT_TRUE(m.rig.OpenEvents());
  ASSERT_TRUE(m.mouse().SwitchProfileAndStage(2, 3));  // 0x1132
  ASSERT_TRUE(m.rig.owner.WaitRefreshes(1));
  EXPECT_EQ(m.device().ActiveProfile(), 2);
  EXPECT_EQ(m.device().SubSetting(), 3);
  m.device().RefreshPage();
  EXPECT_EQ(m.device().ActiveStage(), 3);
  EXPECT_EQ(profiles::ReadJson(m.device().GetProfilePath())["Device"][0]["DPIStages"]["StageActive"].asInt(), 3);
}

TEST(MouseRecoil, BlocksWrittenAndRefused) {
  struct Case {
    const char* what;
    Link link;
    std::vector<std::size_t> guns;
    int result;
    std::size_t length;
    std::vector<Packet> shoot;  // the CMD_WRITE_SHOOT packets
  };
  constexpr std::uint8_t kS = hid::CMD_WRITE_SHOOT;
  const Case cases[] = {
      {"10, 0, 3, 7 events through the receiver", Link::kReceiver, {10, 0, 3, 7}, 0, 120,
       {{kS, 56, 0}, {kS, 56, 56}, {kS, 8, 112}}},
      {"four guns of 4096 events", Link::kCable, {4096, 4096, 4096, 4096}, (65576 - 4096) / 4 + 1, 65576, {}},
      {"4440 bytes", Link::kCable, {275, 275, 275, 275}, (4440 - 4096) / 4 + 1, 4440, {}},
      {"a full set of 4 x 30 bullets", Link::kCable, {180, 180, 180, 180}, 0, 2920, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Synced m(c.link);
    for (int g = 0; g < 4; ++g) m.WriteGun(g, c.guns[static_cast<std::size_t>(g)]);
    const RecoilWrite w = m.device().WriteShootData();
    EXPECT_EQ(w.result, c.result);
    EXPECT_EQ(w.length, c.length);
    EXPECT_EQ(w.limit, 4096u);
    std::vector<Packet> shoot;
    for (const Packet& p : m.Packets())
      if (p.code == kS) shoot.push_back(p);
    if (c.result != 0) {
      EXPECT_TRUE(m.Packets().empty()) << "nothing sent";
      continue;
    }
    if (!c.shoot.empty()) {
      EXPECT_EQ(shoot, c.shoot);
    }
    const emulator::DecodedBlock d = m.mouse().Recoil();
    ASSERT_TRUE(d.valid) << d.error;
    EXPECT_EQ(d.total_length, c.length);
    ASSERT_EQ(d.entries.size(), 4u);
    for (std::size_t g = 0; g < 4; ++g) EXPECT_EQ(d.entries[g].size(), c.guns[g]);
    const emulator::BlockEvent& e = d.entries[0][0];
    EXPECT_EQ(e.delay, 10);
    EXPECT_TRUE(e.down);
    EXPECT_EQ(e.type, 4);
    EXPECT_EQ(e.code, 30);
  }
}

TEST(MouseRecoil, FilesWithoutAnEventArrayCountNone) {
  Synced m;
  m.WriteGunText(0, R"({"x":1})");
  m.WriteGunText(1, R"({"Events":5})");
  m.WriteGunText(2, R"({"Events":[null,{"Type":1,"Action":"up","Button":1,"Delay":7}]})");
  m.WriteGunText(3, "not json");
  const RecoilWrite w = m.device().WriteShootData();
  ASSERT_EQ(w.result, 0);
  EXPECT_EQ(w.length, 48u);
  const auto d = m.mouse().Recoil();
  ASSERT_TRUE(d.valid) << d.error;
  EXPECT_EQ(d.entries[2][0].delay, 0) << "a null event is four zero bytes";
  EXPECT_EQ(d.entries[2][0].type, 0);
  EXPECT_EQ(d.entries[2][1].delay, 7);
  EXPECT_FALSE(d.entries[2][1].down);
  EXPECT_EQ(m.Memory(Area::kRecoil, 36, 8), (C{0, 0, 0, 0, 7, 0, 1, 1}));
}

// Every command through the receiver follows a link query (a chunked command's packets follow
// one query together).
bool EveryStepQueried(const C& codes) {
  for (std::size_t i = 0; i < codes.size(); ++i) {
    if (codes[i] == kLq) continue;
    if (i == 0 || (codes[i - 1] != kLq && codes[i - 1] != codes[i])) return false;
  }
  return true;
}

TEST(MouseGate, ASwitchedOffMouseGetsOneLinkQuery) {
  struct Op {
    const char* what;
    std::function<int(COmbrixMouseDevice&)> run;
    C on_codes;  // switched on; empty: only checked for the queries
  };
  const Op ops[] = {
      {"WriteSettings", [](COmbrixMouseDevice& d) { return d.WriteSettings(0, 0, 1, 1920, 1080); },
       {kLq, hid::CMD_BEGIN, kLq, hid::CMD_WRITE_PARAM, hid::CMD_WRITE_PARAM, hid::CMD_WRITE_PARAM, kLq, hid::CMD_END}},
      {"WriteKeyMap", [](COmbrixMouseDevice& d) { return d.WriteProfileKeyMap(); }, {}},
      {"WriteMacros", [](COmbrixMouseDevice& d) { return d.WriteMacros({0}); }, {}},
      {"WriteShootData", [](COmbrixMouseDevice& d) { return d.WriteShootData().result; },
       {kLq, hid::CMD_READ_INFO, hid::CMD_READ_INFO, kLq, hid::CMD_BEGIN, kLq, hid::CMD_WRITE_SHOOT, kLq, hid::CMD_END}},
      {"Resync", [](COmbrixMouseDevice& d) { return d.Resync(); }, {}},
  };
  for (const Op& op : ops) {
    SCOPED_TRACE(op.what);
    Synced m(Link::kReceiver);
    m.device().SetMacroSource(FixtureMacros::Make(1, {3}));
    m.WriteGun(0, 2);
    m.mouse().SetPoweredOn(false);
    EXPECT_EQ(op.run(m.device()), hid::RESULT_LINK_DOWN);
    EXPECT_EQ(m.Codes(), C{kLq});
    m.mouse().SetPoweredOn(true);
    m.mouse().ClearExchangeLog();
    const int on = op.run(m.device());
    EXPECT_TRUE(on == hid::RESULT_OK || on == 0) << on;
    if (!op.on_codes.empty()) {
      EXPECT_EQ(m.Codes(), op.on_codes);
    }
    EXPECT_TRUE(EveryStepQueried(m.Codes()));
  }
  // On the cable nothing asks.
  Synced m;
  ASSERT_EQ(m.device().WriteSettings(0, 0, 1, 1920, 1080), hid::RESULT_OK);
  EXPECT_EQ(m.CountOf(kLq), 0u);
}

TEST(MouseSync, ReadsTheKeyMapButNotTheSettings) {
  MouseRig m(Link::kReceiver);
  ASSERT_TRUE(m.Open());
  ASSERT_EQ(m.Sync(), hid::RESULT_OK);
  EXPECT_EQ(m.Codes(), (C{kLq, hid::CMD_BEGIN, kLq, hid::CMD_READ_INFO, hid::CMD_READ_INFO, kLq, hid::CMD_READ_KEYMAP,
                          hid::CMD_READ_KEYMAP, kLq, hid::CMD_END}));
  EXPECT_TRUE(m.device().KeyMapUsable());
  EXPECT_EQ(m.device().KeySlotOf(10), 10);
  // The stages are the profile's, not the mouse's.
  EXPECT_EQ(m.device().Stages()[0].x, 7);
}

// Resync reads the record of the mouse's active profile into the light and the active stage,
// keeps it (byte 9 cleared), saves the profile and shows it; bytes out of range change nothing.
TEST(MouseResync, TheActiveRecordIsReadKeptSavedAndShown) {
  struct Case {
    const char* what;
    Link link;
    std::uint8_t mode_code_of;  // a mode index, or 0xFF for a code no mode has
    std::uint8_t speed_byte;
    std::uint8_t stage;
    int mode, speed, active;  // read; -1: as before
  };
  const Case cases[] = {
      {"cable", Link::kCable, 3, 1, 4, 3, 3, 4},
      {"receiver", Link::kReceiver, 5, 4, 1, 5, 0, 1},
      {"unknown mode, speed and stage bytes", Link::kCable, 0xFF, 9, 9, -1, 0, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Synced m(c.link);
    const LightInfo before = m.device().GetLightState();
    const int stage_before = m.device().ActiveStage();
    const std::uint8_t code =
        c.mode_code_of == 0xFF ? 0x7B : static_cast<std::uint8_t>(*m.device().LightModes().CodeOf(c.mode_code_of));
    ASSERT_FALSE(c.mode_code_of == 0xFF && m.device().LightModes().IndexOfCode(code));
    // The mouse is in its profile 2: record 2 at 256.
    m.mouse().SetMemory(Area::kParameters, 0, C{2});
    m.mouse().SetMemory(Area::kParameters, 256, C{0, code, 2, c.speed_byte, 0, 1, 10, 20, 30, 0x55, 0, 0, c.stage});
    ASSERT_EQ(m.device().Resync(), hid::RESULT_OK);
    for (std::uint8_t k : m.Codes()) {
      EXPECT_TRUE(k == hid::CMD_READ_PARAM || (c.link == Link::kReceiver && k == kLq)) << int(k);
    }
    EXPECT_TRUE(EveryStepQueried(m.Codes()) || c.link == Link::kCable);
    const auto& kept = m.device().SettingsRecord();
    EXPECT_EQ((C{kept[0], kept[9], kept[10]}), (C{2, 0, 0}));
    const int mode = c.mode < 0 ? before.mode : c.mode;
    const int active = c.active < 0 ? stage_before : c.active;
    EXPECT_EQ(profiles::ReadJson(m.device().GetProfilePath())["Device"][0]["DPIStages"]["StageActive"].asInt(), active);
    // What the page shows, and what the profile file holds once read again.
    for (int pass = 0; pass < 2; ++pass) {
      const LightInfo l = m.device().GetLightState();
      EXPECT_EQ((std::vector<int>{l.mode, l.brightness, l.speed, l.multi_color, l.red, l.green, l.blue}),
                (std::vector<int>{mode, 2, c.speed, 1, 10, 20, 30}))
          << "pass " << pass;
      EXPECT_EQ(m.device().ActiveStage(), active) << "pass " << pass;
      auto* option = dynamic_cast<ui::Option*>(m.device().FindControl("DPI_select_check_" + std::to_string(active)));
      ASSERT_NE(option, nullptr);
      EXPECT_TRUE(option->IsSelected()) << "pass " << pass;
      m.device().ReloadProfile();
      m.device().RefreshPage();
    }
  }
}

}  // namespace
}  // namespace brimvex::devices::test
