// A system sleep scripted around the running controller: what it lets go before, what it
// ignores and handles while asleep, and how it takes the devices up again after.
#include "discovery/controller_fixture.h"
#include "hid/command_codes.h"
#include "platform/power_events.h"

namespace brimvex::app::test {
namespace {

std::size_t CountCommand(const emulator::EmulatedDevice& d, std::uint8_t code) {
  std::size_t n = 0;
  for (const auto& ex : d.ExchangeLog())
    if (ex.request.size() > 3 && ex.request[3] == code) ++n;
  return n;
}

class SleepTest : public ControllerFixture {
 protected:
  void StartWithPower(std::initializer_list<Product> products) {
    for (Product p : products) Add(p).Plug(Link::kCable);
    wnd_ = std::make_unique<CMainWnd>(frontend_, resources_, factory_, messages_, &peers_, &backend_);
    wnd_->AttachPower(power_);
    std::string error;
    ASSERT_TRUE(wnd_->Create(&error)) << error;
    ASSERT_TRUE(WaitFor([&] { return selector().CountVisible() == static_cast<int>(products.size()); }));
    Advance(Millis(600));
  }
  void Deliver(const PeerMessage& m) {
    wnd_->HandlePeerMessage(m);
    loop().RunPending();
  }
  platform::ScriptedPowerEvents power_;
};

TEST_F(SleepTest, SuspendLetsTheDevicesGoAndResumeTakesThemUpAgain) {
  StartWithPower({Product::kKeyboard, Product::kMouse});
  auto& keyboard = *emu_.Find("keyboard");
  auto& mouse = *emu_.Find("mouse");
  devices::COmbrixUSBDevice& kb = *DeviceOfRow(kKeyboardRow);
  kb.CommandChannelRef().SetLightSync(true);
  const std::size_t light_controls = CountCommand(keyboard, hid::CMD_LIGHT_CONTROL);

  power_.Suspend();
  EXPECT_FALSE(wnd_->Awake());
  EXPECT_FALSE(power_.Inhibited());  // let go once the devices were at rest
  for (int row : {kKeyboardRow, kMouseRow}) {
    EXPECT_FALSE(ChannelOfRow(row).IsOpen()) << row;
    EXPECT_FALSE(DeviceOfRow(row)->EventChannelRef().IsOpen()) << row;
    EXPECT_FALSE(DeviceOfRow(row)->HostLightControl()) << row;
    EXPECT_TRUE(EntryOfRow(row)->IsEntryVisible()) << row;  // entries and slots stay
  }
  EXPECT_TRUE(wnd_->SlotList().Get(0)->found);

  // Asleep: game events and copy data are ignored, light-control set is handled.
  const std::uint8_t mode = kb.GetLightState().mode;
  Deliver({"Game_Start", 0, static_cast<std::int64_t>(mode) + 1, {}});
  EXPECT_EQ(kb.GetLightState().mode, mode);
  EXPECT_FALSE(loop().HasTimer(wnd_.get(), kTimerGameLight));
  Deliver({std::string(kCopyDataName), 1, 1, "xyz"});
  EXPECT_EQ(wnd_->CopyData().First()[0], 0);
  Deliver({std::string(kLightControlSetName), 1, 0, {}});
  EXPECT_EQ(wnd_->LightControl(), 0);
  Deliver({std::string(kLightControlSetName), 1, 1, {}});
  EXPECT_EQ(wnd_->LightControl(), 1);
  // A device unplugged meanwhile is lost at once: its entry goes.
  mouse.Unplug(Link::kCable);
  ASSERT_TRUE(WaitForTrace("删除一个鼠标设备", 2));
  EXPECT_FALSE(EntryOfRow(kMouseRow)->IsEntryVisible());
  Advance(Millis(1000));
  EXPECT_EQ(CountCommand(keyboard, hid::CMD_LIGHT_CONTROL), light_controls);

  power_.Resume();
  EXPECT_TRUE(wnd_->Awake());
  EXPECT_TRUE(power_.Inhibited());
  EXPECT_EQ(power_.InhibitorsTaken(), 2);
  EXPECT_TRUE(ChannelOfRow(kKeyboardRow).IsOpen());
  EXPECT_TRUE(kb.EventChannelRef().IsOpen());
  EXPECT_TRUE(kb.HostLightControl());
  // The light-control command once the channel was open again, the initial read 500 ms later.
  EXPECT_EQ(CountCommand(keyboard, hid::CMD_LIGHT_CONTROL), light_controls + 1);
  EXPECT_TRUE(EntryOfRow(kKeyboardRow)->HasTimer(kTimerConnection));
  const std::uint64_t frames = EntryOfRow(kKeyboardRow)->FramesTaken();
  Advance(Millis(500) + kFrameWired);
  EXPECT_GT(EntryOfRow(kKeyboardRow)->FramesTaken(), frames) << "the frame goes out again";
  EXPECT_FALSE(ChannelOfRow(kMouseRow).IsOpen());
  // The unplugged mouse comes back when it is plugged.
  mouse.Plug(Link::kCable);
  ASSERT_TRUE(WaitFor([&] { return EntryOfRow(kMouseRow)->IsEntryVisible(); }));
  EXPECT_TRUE(ChannelOfRow(kMouseRow).IsOpen());
}

TEST_F(SleepTest, WhatFallsDueWhileAsleepRunsAtResume) {
  StartWithPower({Product::kKeyboard});
  devices::COmbrixUSBDevice& kb = *DeviceOfRow(kKeyboardRow);
  profiles::LightInfo info;
  info.mode = 7;
  kb.SetLightInfo(info);
  int switches = 0;
  wnd_->SetProfileSwitch([&](devices::COmbrixUSBDevice&) { ++switches; });
  Place("device_profile_combo");
  wnd_->Window().SendNotify(wnd_->Window().FindControl("device_profile_combo"), ui::notify::kItemSelect);
  Deliver({"Game_Start", 0, 3, {}});
  power_.Suspend();
  Advance(Millis(6000));  // both timers fire while asleep
  EXPECT_EQ(kb.GetLightState().mode, 3);
  EXPECT_EQ(switches, 0);
  power_.Resume();
  EXPECT_EQ(kb.GetLightState().mode, 7);
  EXPECT_EQ(switches, 1);
}

TEST_F(SleepTest, TheSleepInhibitorIsLetGoWhenTheWindowCloses) {
  StartWithPower({Product::kKeyboard});
  EXPECT_TRUE(power_.Inhibited());
  wnd_->Exit();
  EXPECT_FALSE(power_.Inhibited());
  // The controller no longer hears the power events once it is gone.
  power_.Suspend();
  power_.Resume();
  EXPECT_FALSE(traces_.Contains("power: suspend"));
}

}  // namespace
}  // namespace brimvex::app::test
