// The controller's own notification rows on the real main window over emulated products: the
// light-control switch, the rows that act on the selected page, and what an unknown name does.
#include <algorithm>

#include "discovery/controller_fixture.h"
#include "hid/command_codes.h"

namespace brimvex::app::test {
namespace {

std::size_t CountCommand(const emulator::EmulatedDevice& d, std::uint8_t code) {
  std::size_t n = 0;
  for (const auto& ex : d.ExchangeLog())
    if (ex.request.size() > 3 && ex.request[3] == code) ++n;
  return n;
}

class RoutesTest : public ControllerFixture {
 protected:
  // Raises a notification from the named control, as the skin would.
  void Raise(const char* name, const char* type) {
    ui::Control* c = wnd_->Window().FindControl(name);
    ASSERT_NE(c, nullptr) << name;
    wnd_->Window().SendNotify(c, type);
    loop().RunPending();
  }
};

TEST_F(RoutesTest, TwoLightControlClicksBroadcastOffThenOnAndTheKeyboardHearsOnlyTheSecond) {
  StartConnected({Product::kKeyboard, Product::kMouse});
  auto& keyboard = *emu_.Find("keyboard");
  keyboard.ClearExchangeLog();
  Place("control_light_status");
  peers_.broadcasts.clear();

  Click("control_light_status");
  EXPECT_EQ(wnd_->LightControl(), 0);
  EXPECT_EQ(wnd_->Window().FindControl("control_light_status")->TextKey(), "control_light_off");
  EXPECT_FALSE(DeviceOfRow(kMouseRow)->HostLightControl());
  EXPECT_FALSE(DeviceOfRow(kKeyboardRow)->HostLightControl());
  EXPECT_EQ(CountCommand(keyboard, hid::CMD_LIGHT_CONTROL), 0u);

  Click("control_light_status");
  EXPECT_EQ(wnd_->Window().FindControl("control_light_status")->TextKey(), "control_light_on");
  EXPECT_TRUE(DeviceOfRow(kMouseRow)->HostLightControl());
  EXPECT_EQ(CountCommand(keyboard, hid::CMD_LIGHT_CONTROL), 1u);
  EXPECT_TRUE(keyboard.LightControl());

  ASSERT_EQ(peers_.broadcasts.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(peers_.broadcasts[i].name, kLightControlStateName);
    EXPECT_EQ(peers_.broadcasts[i].wparam, 1u);
    EXPECT_EQ(peers_.broadcasts[i].lparam, static_cast<std::int64_t>(i));
  }
}

TEST_F(RoutesTest, PageRowsActOnTheSelectedDevice) {
  StartConnected({Product::kKeyboard});
  devices::COmbrixUSBDevice* keyboard = DeviceOfRow(kKeyboardRow);
  ASSERT_EQ(wnd_->SelectedDevice(), keyboard);
  const int keys = keyboard->KeyButtonCount();
  ASSERT_GT(keys, 12);
  for (const char* name : {"key_12", "key_" /* 0 */, "KEY_3", "key_99999999999"}) Place(name);
  Place(("key_" + std::to_string(keys)).c_str());
  Place<ui::Option>("key_Op_tab");
  Place<ui::Option>("Virtual7.1_Op_tab");

  Click("key_12");
  EXPECT_EQ(keyboard->SelectedKey(), 12);
  Click(("key_" + std::to_string(keys)).c_str());  // past the page's keys
  EXPECT_EQ(keyboard->SelectedKey(), 12);
  Click("key_99999999999");
  EXPECT_EQ(keyboard->SelectedKey(), 12);
  Click("KEY_3");
  EXPECT_EQ(keyboard->SelectedKey(), 3);
  Click("key_");
  EXPECT_EQ(keyboard->SelectedKey(), 0);
  Raise("Virtual7.1_Op_tab", ui::notify::kSelectChanged);
  EXPECT_EQ(keyboard->GetFunctionSwitchType(), 8);
  Raise("key_Op_tab", ui::notify::kSelectChanged);
  EXPECT_EQ(keyboard->GetFunctionSwitchType(), 2);

  // The default profile is asked for first; cancelled, nothing happens.
  int boxes = 0;
  frontend_.SetModalHandler([&](ui::Window& w) {
    ++boxes;
    EXPECT_EQ(w.FindControl("MessageText")->TextKey(), "message_text_22");
    EXPECT_TRUE(w.FindControl("cancel_btn")->IsVisible());
    w.FindControl("cancel_btn")->Activate();
  });
  Place("default_btn");
  Click("default_btn");
  EXPECT_EQ(boxes, 1);
}

TEST_F(RoutesTest, WithoutASelectedDeviceOrForAnUnknownNameOnlyTheTwoTracesAreWritten) {
  Start();  // nothing plugged
  ASSERT_EQ(wnd_->SelectedDevice(), nullptr);
  int boxes = 0;
  frontend_.SetModalHandler([&](ui::Window&) { ++boxes; });
  for (const char* name : {"key_3", "default_btn", "no_such_button"}) {
    Place(name);
    const auto before = traces_.Lines().size();
    Click(name);
    // Worker threads (discovery, the capture watchdog) may trace meanwhile; the click writes its
    // two lines one after the other and nothing else of its own.
    const auto lines = traces_.Lines();
    const std::vector<std::string> added(lines.begin() + static_cast<std::ptrdiff_t>(before), lines.end());
    const std::vector<std::string> pair{"click", name};
    EXPECT_NE(std::search(added.begin(), added.end(), pair.begin(), pair.end()), added.end()) << name;
    EXPECT_EQ(std::count(added.begin(), added.end(), "click"), 1) << name;
    EXPECT_EQ(std::count(added.begin(), added.end(), name), 1) << name;
  }
  EXPECT_EQ(boxes, 0);
}

TEST_F(RoutesTest, ProfileDropDownSwitchesOnce400MsAfterTheLastSelection) {
  StartConnected({Product::kKeyboard});
  std::vector<devices::COmbrixUSBDevice*> switched;
  wnd_->SetProfileSwitch([&](devices::COmbrixUSBDevice& d) { switched.push_back(&d); });
  Place("device_profile_combo");
  Raise("device_profile_combo", ui::notify::kItemSelect);
  Advance(Millis(300));
  Raise("device_profile_combo", ui::notify::kItemSelect);  // re-armed: 400 ms from now
  Advance(Millis(300));
  EXPECT_TRUE(switched.empty());
  Advance(Millis(100));
  ASSERT_EQ(switched.size(), 1u);
  EXPECT_EQ(switched[0], DeviceOfRow(kKeyboardRow));
  Advance(Millis(1000));
  EXPECT_EQ(switched.size(), 1u);
}

}  // namespace
}  // namespace brimvex::app::test
