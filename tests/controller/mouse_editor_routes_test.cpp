// The macro and recoil editors' rows on the mouse page, over the emulated mouse on its cable and
// behind its receiver: a recorded macro bound to a button and a bullet typed into the recoil
// editor reach the mouse's memory; a switched-off mouse gets one link query per write, nothing
// else, and no message is shown.
#include <gtest/gtest.h>

#include <functional>

#include "app/mouse_routes.h"
#include "controller/mouse_fixture.h"
#include "hid/command_codes.h"
#include "hid/command_report.h"
#include "macros/macro_tables.h"
#include "platform/input_capture.h"

namespace brimvex::app::test {
namespace {

using emulator::BlockEvent;
using std::chrono::milliseconds;

constexpr int kSideButton = 5;  // the page key the macro is bound to
const profiles::KeyCode kMacro0{0x70, 0, 0};

// Through the receiver every command (one packet or a run of packets of one code) comes right
// after a link query.
::testing::AssertionResult EveryStepFollowsALinkQuery(const std::vector<emulator::Exchange>& log) {
  std::uint8_t last = 0;
  for (std::size_t k = 0; k < log.size(); ++k) {
    const std::uint8_t code = log[k].request[hid::kOffsetCode];
    if (code != hid::CMD_LINK_QUERY && last != hid::CMD_LINK_QUERY && code != last)
      return ::testing::AssertionFailure() << "request " << k << " (code " << int(code) << ") without a link query";
    last = code;
  }
  return ::testing::AssertionSuccess();
}

std::vector<std::uint8_t> Bytes(const BlockEvent& e) {
  return {static_cast<std::uint8_t>(e.delay), e.down, e.type, e.code};
}

class MouseEditorRoutesTest : public MouseFixture {
 protected:
  void SetUp() override {
    MouseFixture::SetUp();
    platform::SetCurrentInputCapture(&capture_);
  }
  void TearDown() override {
    MouseFixture::TearDown();
    platform::SetCurrentInputCapture(nullptr);
  }
  // A new macro bound to the side button, recording the A key pressed and released.
  void RecordA() {
    Press("macro_btn_starredio");
    ASSERT_TRUE(capture_.Active());
    const milliseconds t0 = loop().Now();
    capture_.Key({0, 0x1E, false, true, t0 + milliseconds(5), -1});
    capture_.Key({0, 0x1E, false, false, t0 + milliseconds(65), -1});
  }
  void Choose(const std::string& option) {
    auto& o = Control<ui::Option>(option);
    o.Selected(true, false);
    Raise(o, ui::notify::kSelectChanged);
  }
  void Type(const std::string& edit, const std::string& text) {
    Control(edit).SetText(text);
    Raise(Control(edit), ui::notify::kKillFocus);
  }
  std::vector<std::uint8_t> KeyMapSlot(int key) {
    const auto map = Device().Memory(emulator::Area::kKeyMap);
    const auto at = static_cast<std::size_t>(3 * Mouse().KeySlotOf(key));
    return {map[at], map[at + 1], map[at + 2]};
  }
  void ExpectGateKept(Link link) {
    if (link == Link::kReceiver) {
      EXPECT_GT(Count(hid::CMD_LINK_QUERY), 0u);
      EXPECT_TRUE(EveryStepFollowsALinkQuery(Device().ExchangeLog()));
    } else {
      EXPECT_EQ(Count(hid::CMD_LINK_QUERY), 0u);
    }
  }

  platform::ScriptedCapture capture_;
};
class MouseEditorRoutesOnLink : public MouseEditorRoutesTest, public ::testing::WithParamInterface<Link> {};

TEST_P(MouseEditorRoutesOnLink, ARecordedMacroBoundToAButtonReachesTheMouse) {
  StartMouse(GetParam());
  Press("macro_btn_name_add");
  ASSERT_TRUE(Mouse().StoreKeyAssignment(kSideButton, kMacro0));
  RecordA();
  Press("macro_btn_stopredio");
  const emulator::DecodedBlock block = Device().Macros();
  ASSERT_TRUE(block.valid) << block.error;
  ASSERT_EQ(block.entries.size(), 1u);
  ASSERT_EQ(block.entries[0].size(), 2u);
  EXPECT_EQ(Bytes(block.entries[0][0]), (std::vector<std::uint8_t>{60, 1, macros::kTypeKey, 0x04}));
  EXPECT_EQ(Bytes(block.entries[0][1]), (std::vector<std::uint8_t>{0, 0, macros::kTypeKey, 0x04}));
  EXPECT_EQ(KeyMapSlot(kSideButton), (std::vector<std::uint8_t>{0x70, 0, 0})) << "the button plays device macro 0";
  ExpectGateKept(GetParam());
  EXPECT_TRUE(boxes_.empty());
}

TEST_P(MouseEditorRoutesOnLink, ABulletTypedIntoTheRecoilEditorReachesTheMouse) {
  StartMouse(GetParam());
  Choose("shoot_gun_op_1");
  Choose("bullet_op_3");
  Choose("bullet_x_check");  // to the left
  Type("bullet_x_eidt", "5");
  Type("bullet_y_eidt", "9");
  Type("bullet_delay_eidt", "40");
  Press("shootdate_save_btn");
  const emulator::DecodedBlock block = Device().Recoil();
  ASSERT_TRUE(block.valid) << block.error;
  ASSERT_EQ(block.entries.size(), 4u);
  ASSERT_EQ(block.entries[1].size(), 180u);
  const std::vector<std::uint8_t> bullet3[] = {{10, 1, 1, 1}, {0, 0, 1, 1}, {5, 1, 4, 5}, {40, 0, 5, 9}};
  for (std::size_t e = 0; e < 4; ++e) EXPECT_EQ(Bytes(block.entries[1][18 + e]), bullet3[e]) << e;
  EXPECT_EQ(Bytes(block.entries[2][18]), (std::vector<std::uint8_t>{10, 1, 1, 1})) << "other guns as shipped";
  ExpectGateKept(GetParam());
  EXPECT_TRUE(boxes_.empty());
}

TEST_F(MouseEditorRoutesTest, ASwitchedOffMouseGetsOneLinkQueryPerWriteAndNoMessage) {
  StartMouse(Link::kReceiver);
  Press("macro_btn_name_add");
  ASSERT_TRUE(Mouse().StoreKeyAssignment(kSideButton, kMacro0));
  RecordA();
  Device().SetPoweredOn(false);
  struct Row {
    const char* what;
    std::function<void()> act;
    std::size_t writes;  // gated writes the row runs, one link query each
  };
  const Row rows[] = {
      {"recording stopped: macros and key map", [&] { Press("macro_btn_stopredio"); }, 2},
      {"recoil saved", [&] { Press("shootdate_save_btn"); }, 1},
      {"stage typed", [&] { Type("DPI_edit_1", "2450"); }, 1},
      {"report rate chosen", [&] { Choose("polling_rate_option_1"); }, 1},
      {"stage switched off", [&] {
         auto& o = Control<ui::Option>("DPI_enable_check_3");
         o.Selected(false, false);
         Raise(o, ui::notify::kSelectChanged);
       }, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Device().ClearExchangeLog();
    row.act();
    EXPECT_EQ(Count(hid::CMD_LINK_QUERY), row.writes);
    EXPECT_EQ(Device().ExchangeLog().size(), row.writes) << "nothing after the link query";
    EXPECT_TRUE(boxes_.empty());
  }
  EXPECT_EQ(WriteRecoil(Mouse()).result, hid::RESULT_LINK_DOWN);
  EXPECT_EQ(TypeStageValue(*wnd_, Mouse(), 1, "2450").result, hid::RESULT_LINK_DOWN);

  // Switched on, the next writes carry what was kept: the first recording and the stage.
  Device().SetPoweredOn(true);
  Device().ClearExchangeLog();
  RecordA();
  Press("macro_btn_stopredio");
  const emulator::DecodedBlock block = Device().Macros();
  ASSERT_TRUE(block.valid) << block.error;
  EXPECT_EQ(block.entries.at(0).size(), 4u) << "both recordings";
  EXPECT_EQ(KeyMapSlot(kSideButton), (std::vector<std::uint8_t>{0x70, 0, 0}));
  Press("shootdate_save_btn");
  EXPECT_TRUE(Device().Recoil().valid);
  Choose("polling_rate_option_1");
  const auto record = Device().SettingsRecord(0);
  EXPECT_EQ(record[16 + 9], 48) << "stage 1";
  EXPECT_EQ(record[11], 1) << "report rate";
  EXPECT_TRUE(EveryStepFollowsALinkQuery(Device().ExchangeLog()));
  EXPECT_TRUE(boxes_.empty());
}

INSTANTIATE_TEST_SUITE_P(Links, MouseEditorRoutesOnLink, ::testing::Values(Link::kCable, Link::kReceiver),
                         [](const ::testing::TestParamInfo<Link>& i) {
                           return std::string(i.param == Link::kCable ? "Cable" : "Receiver");
                         });

}  // namespace
}  // namespace brimvex::app::test
