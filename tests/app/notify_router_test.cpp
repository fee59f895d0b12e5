// The notification table alone: which row a notification reaches, with what number, and when a
// row that needs the selected device stays quiet.
#include "app/notify_router.h"

#include <gtest/gtest.h>

#include "devices/keyboard_device.h"
#include "devices/mouse_device.h"
#include "emulator/emulated_hid_backend.h"
#include "emulator/emulator.h"
#include "platform/headless_event_loop.h"
#include "platform/ui/control_name.h"
#include "platform/ui/controls.h"

namespace brimvex::app {
namespace {

using devices::kDeviceKeyboard;
using devices::kDeviceMouse;

TEST(ControlNameTest, SplitsAtTheLastUnderscore) {
  struct Case {
    const char* name;
    bool split;
    const char* prefix;
    std::int32_t number;
  };
  const Case cases[] = {
      {"key_12", true, "key_", 12},
      {"key_", true, "key_", 0},
      {"DPI_color_option_3", true, "DPI_color_option_", 3},
      {"key_2147483647", true, "key_", 2147483647},
      {"key_2147483648", false, "", 0},
      {"key_99999999999", false, "", 0},
      {"key_-1", false, "", 0},
      {"key_1a", false, "", 0},
      {"key_butt_keysave", false, "", 0},
      {"closebtn", false, "", 0},
  };
  for (const Case& c : cases) {
    const auto s = ui::SplitControlName(c.name);
    ASSERT_EQ(s.has_value(), c.split) << c.name;
    if (!s) continue;
    EXPECT_EQ(s->prefix, c.prefix) << c.name;
    EXPECT_EQ(s->number, c.number) << c.name;
  }
  EXPECT_TRUE(ui::NameEqualsNoCase("Virtual7.1_OP_TAB", "virtual7.1_op_tab"));
  EXPECT_TRUE(ui::NameEqualsNoCase("\xC3\x84pfel", "\xC3\xA4pfel"));  // Ä / ä
  EXPECT_FALSE(ui::NameEqualsNoCase("\xC3\x97", "\xC3\xB7"));        // × is no letter
  EXPECT_FALSE(ui::NameEqualsNoCase("key_1", "key_2"));
}

class NotifyRouterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    min_btn_.SetName("minbtn");
    other_min_btn_.SetName("minbtn");
    const auto record = [this](std::string label) {
      return [this, label](const Route& r) { hits_.push_back(label + ":" + std::to_string(r.number)); };
    };
    ASSERT_TRUE(router_.AddPrefix("click", "key_", record("key"), {DeviceNeed::Any()}));
    ASSERT_TRUE(router_.AddName("click", "profile_fun_spread_btn", record("spread"), {DeviceNeed::None(), true}));
    ASSERT_TRUE(router_.AddName("click", "default_btn", record("default"), {DeviceNeed::Any()}));
    ASSERT_TRUE(router_.AddName("click", "mouse_only", record("mouse"), {DeviceNeed::Kinds({kDeviceMouse})}));
    ASSERT_TRUE(router_.AddIdentity("click", &min_btn_, record("minimise")));
    ASSERT_TRUE(router_.AddName("selectchanged", "key_1", record("tab")));
    ASSERT_TRUE(router_.AddType("click_wpremove", record("ignored")));
  }

  // Routes a notification from a control named `name` (or from `sender`), returns the hits.
  std::vector<std::string> Hit(const char* type, const char* name, devices::COmbrixUSBDevice* selected,
                                 ui::Control* sender = nullptr) {
    ui::Button control;
    control.SetName(name);
    selected_ = selected;
    hits_.clear();
    ui::Notification n{type, sender != nullptr ? sender : &control, 0, 0};
    router_.Dispatch(n);
    return hits_;
  }

  emulator::Emulator emu_;
  emulator::EmulatedHidBackend backend_{emu_};
  platform::HeadlessEventLoop loop_;
  devices::COmbrixKeyboardDevice keyboard_{backend_, loop_};
  devices::COmbrixMouseDevice mouse_{backend_, loop_};
  devices::COmbrixUSBDevice* selected_ = nullptr;
  NotifyRouter router_{[this] { return selected_; }};
  ui::Button min_btn_;
  ui::Button other_min_btn_;
  std::vector<std::string> hits_;
};

TEST_F(NotifyRouterTest, RoutesByIdentityNamePrefixAndType) {
  using Hits = std::vector<std::string>;
  auto* kb = &keyboard_;
  EXPECT_EQ(Hit("click", "key_12", kb), Hits{"key:12"});
  EXPECT_EQ(Hit("click", "key_", kb), Hits{"key:0"});
  EXPECT_EQ(Hit("click", "KEY_3", kb), Hits{"key:3"});
  EXPECT_EQ(Hit("click", "key_99999999999", kb), Hits{});
  EXPECT_EQ(Hit("click", "DEFAULT_BTN", kb), Hits{"default:0"});
  // Case-sensitive row: only the exact spelling.
  EXPECT_EQ(Hit("click", "profile_fun_spread_btn", nullptr), Hits{"spread:0"});
  EXPECT_EQ(Hit("click", "Profile_Fun_Spread_Btn", nullptr), Hits{});
  // Title-bar identity: a second control named "minbtn" is not the title-bar one.
  EXPECT_EQ(Hit("click", "", nullptr, &min_btn_), Hits{"minimise:0"});
  EXPECT_EQ(Hit("click", "", nullptr, &other_min_btn_), Hits{});
  // The type decides which table is looked at: "key_1" as a selection is the exact row.
  EXPECT_EQ(Hit("selectchanged", "key_1", nullptr), Hits{"tab:0"});
  EXPECT_EQ(Hit("click_wpremove", "anything", nullptr), Hits{"ignored:0"});
  EXPECT_EQ(Hit("click", "no_such_control", kb), Hits{});
}

TEST_F(NotifyRouterTest, ARowThatNeedsADeviceDoesNothingWithoutOneOrForAnotherKind) {
  using Hits = std::vector<std::string>;
  EXPECT_EQ(Hit("click", "key_4", nullptr), Hits{});
  EXPECT_EQ(Hit("click", "default_btn", nullptr), Hits{});
  EXPECT_EQ(Hit("click", "mouse_only", &keyboard_), Hits{});
  EXPECT_EQ(Hit("click", "mouse_only", nullptr), Hits{});
  EXPECT_EQ(Hit("click", "mouse_only", &mouse_), Hits{"mouse:0"});
}

TEST_F(NotifyRouterTest, OneRowPerKey) {
  const RouteHandler h = [](const Route&) {};
  EXPECT_FALSE(router_.AddPrefix("click", "KEY_", h));
  EXPECT_FALSE(router_.AddName("click", "Default_Btn", h));
  EXPECT_FALSE(router_.AddIdentity("click", &min_btn_, h));
  EXPECT_FALSE(router_.AddIdentity("click", nullptr, h));
  EXPECT_FALSE(router_.AddPrefix("click", "no_underscore", h));
  EXPECT_FALSE(router_.AddName("click", "", h));
  // The same name under another type is another key.
  EXPECT_TRUE(router_.AddName("selectchanged", "default_btn", h));
}

}  // namespace
}  // namespace brimvex::app
