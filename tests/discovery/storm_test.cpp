// A plug/unplug storm over every identity of the full set while frames, power reads, notices and
// a second thread's exchanges run on the channels, and one while synchronised lighting paints the
// devices. Afterwards the program must see the set as it ends, and stop every thread.
#include <algorithm>
#include <atomic>
#include <thread>

#include "controller_fixture.h"

namespace brimvex::app::test {
namespace {

class StormTest : public ControllerFixture {};

TEST_F(StormTest, FiveHundredPlugCyclesWithTrafficLeaveAConsistentProgram) {
  struct Identity {
    emulator::EmulatedDevice* device;
    Link link;
    std::size_t command_slot;
  };
  auto& keyboard = Add(Product::kKeyboard);
  auto& mouse = Add(Product::kMouse);
  auto& pad = Add(Product::kMousePad);
  auto& headset = Add(Product::kHeadset);
  const Identity identities[] = {{&keyboard, Link::kCable, 0},    {&mouse, Link::kReceiver, 6},
                                 {&mouse, Link::kCable, 4},       {&pad, Link::kCable, 8},
                                 {&keyboard, Link::kReceiver, 2}, {&headset, Link::kCable, 10}};
  for (const Identity& id : identities) id.device->Plug(id.link);
  // Short passes so that the storm is seen, not only its end.
  auto wnd = std::make_unique<CMainWnd>(frontend_, resources_, factory_, messages_, nullptr, &backend_);
  wnd->SetDiscoveryPeriod(Millis(2));
  wnd_ = std::move(wnd);
  std::string error;
  ASSERT_TRUE(wnd_->Create(&error)) << error;
  ASSERT_TRUE(WaitFor([&] { return wnd_->SlotList().AllFound(); }));

  // Traffic besides the UI thread's: link queries and status reads on the mouse's channel,
  // notices from the devices to their event workers.
  std::atomic<bool> stop{false};
  hid::CommandChannel& mouse_channel = ChannelOfRow(kMouseRow);
  std::thread traffic([&] {
    std::array<std::uint8_t, 6> status{};
    while (!stop) {
      mouse_channel.LinkQuery();
      mouse_channel.ReadStatus(status);
      keyboard.NotifySettingsChanged();
      pad.NotifySettingsChanged();
      mouse.SwitchProfile(1);
    }
  });
  for (int cycle = 0; cycle < 500; ++cycle) {
    const Identity& id = identities[static_cast<std::size_t>(cycle) % std::size(identities)];
    id.device->Unplug(id.link);
    WaitFor([&] { return wnd_->SlotList().Get(id.command_slot)->found == 0; });
    Advance(Millis(7));
    id.device->Plug(id.link);
    WaitFor([&] { return wnd_->SlotList().Get(id.command_slot)->found == 1; });
    Advance(Millis(7));
  }
  stop = true;
  traffic.join();
  // Every mouse unplug was seen (its command slot at least; a quick replug may beat the check of
  // its event slot).
  EXPECT_GE(traces_.Count("删除一个鼠标设备"), 500u / 3);

  // Everything is plugged: each product has its one page and its channel open; the wireless
  // ones are on their cables.
  ASSERT_TRUE(WaitFor([&] { return wnd_->SlotList().AllFound(); }));
  for (int i = 0; i < 20; ++i) {
    loop().RunUntil([] { return false; }, Millis(5));
    Advance(Millis(600));
  }
  DeviceManager& devices = *wnd_->Devices();
  EXPECT_EQ(selector().Count(), 4);
  EXPECT_EQ(devices.Keyboards().size(), 1u);
  EXPECT_EQ(devices.Mice().size(), 1u);
  for (devices::COmbrixUSBDevice* d : devices.AllDevices()) {
    EXPECT_TRUE(d->CommandChannelRef().IsOpen()) << d->DeviceFolderName();
    EXPECT_TRUE(selector().Entry(selector().IndexOf(devices.EntryOf(d)))->IsEntryVisible()) << d->DeviceFolderName();
  }
  EXPECT_FALSE(ChannelOfRow(kMouseRow).IsWireless());
  EXPECT_FALSE(ChannelOfRow(kKeyboardRow).IsWireless());
  EXPECT_EQ(selector().CountVisible(), 4);

  // Every thread stops in time.
  wnd_->Exit();
  EXPECT_EQ(traces_.Count("抓取设备线程设定退出"), 1u);
  EXPECT_FALSE(traces_.Contains("超时"));
  wnd_.reset();
}

TEST_F(StormTest, PlugCyclesDuringSynchronisedLightingKeepTheWorkerOnTheDevicesAsTheyAre) {
  auto& keyboard = Add(Product::kKeyboard);
  auto& mouse = Add(Product::kMouse);
  auto& pad = Add(Product::kMousePad);
  auto& headset = Add(Product::kHeadset);
  struct Identity {
    emulator::EmulatedDevice* device;
    Link link;
    std::size_t command_slot;
  };
  const Identity identities[] = {{&keyboard, Link::kCable, 0}, {&mouse, Link::kReceiver, 6},
                                 {&pad, Link::kCable, 8},      {&mouse, Link::kCable, 4},
                                 {&headset, Link::kCable, 10}, {&keyboard, Link::kReceiver, 2}};
  for (const Identity& id : identities) id.device->Plug(id.link);
  auto wnd = std::make_unique<CMainWnd>(frontend_, resources_, factory_, messages_, nullptr, &backend_);
  wnd->SetDiscoveryPeriod(Millis(2));
  wnd_ = std::move(wnd);
  std::string error;
  ASSERT_TRUE(wnd_->Create(&error)) << error;
  ASSERT_TRUE(WaitFor([&] { return wnd_->SlotList().AllFound() && selector().CountVisible() == 4; }));
  Advance(Millis(600));  // every initial read done: it would end the devices' part in the effect

  // Static from the mouse: every step paints one colour, so each frame can be checked whole.
  DeviceManager& devices = *wnd_->Devices();
  devices::COmbrixUSBDevice& source = *DeviceOfRow(kMouseRow);
  selector().ShowEntry(selector().IndexOfRow(kMouseRow), true, true);
  ASSERT_EQ(wnd_->SelectedDevice(), &source);
  profiles::LightInfo info = source.GetLightState();
  info.mode = 3;
  info.brightness = 4;
  info.speed = 4;
  info.red = 200, info.green = 40, info.blue = 90;
  source.SetLightInfo(info);
  // A button of that name of its own (the pages' light editors hold hidden ones).
  ui::Button* same_mode = Place("deng_same_mode");
  ASSERT_NE(same_mode, nullptr);
  const auto click_same_mode = [&] {
    same_mode->Activate();
    loop().RunPending();
  };
  click_same_mode();
  const devices::Rgba painted{200, 40, 90, 255};
  const auto steps_past = [&](std::uint64_t n) { return WaitFor([&] { return wnd_->Sync().Steps() >= n; }); };
  ASSERT_TRUE(steps_past(2));

  // Channels close and open on the UI thread while the worker reads who takes part and paints;
  // every thirty cycles the worker is seen to have stepped among them.
  for (int cycle = 0; cycle < 300; ++cycle) {
    const Identity& id = identities[static_cast<std::size_t>(cycle) % std::size(identities)];
    id.device->Unplug(id.link);
    WaitFor([&] { return wnd_->SlotList().Get(id.command_slot)->found == 0; });
    Advance(Millis(7));
    id.device->Plug(id.link);
    WaitFor([&] { return wnd_->SlotList().Get(id.command_slot)->found == 1; });
    Advance(Millis(7));
    if (cycle % 30 == 29) {
      ASSERT_TRUE(steps_past(wnd_->Sync().Steps() + 2)) << "cycle " << cycle;
    }
  }
  ASSERT_TRUE(WaitFor([&] { return wnd_->SlotList().AllFound() && selector().CountVisible() == 4; }));
  for (int i = 0; i < 4; ++i) {
    loop().RunUntil([] { return false; }, Millis(5));
    Advance(Millis(600));
  }

  // The same setup again reaches every device as it is now, and the keyboard streams the colour.
  click_same_mode();
  for (devices::COmbrixUSBDevice* d : devices.AllDevices()) {
    ASSERT_TRUE(d->CommandChannelRef().IsOpen()) << d->DeviceFolderName();
    EXPECT_TRUE(d->CommandChannelRef().LightSync()) << d->DeviceFolderName();
  }
  ASSERT_TRUE(steps_past(wnd_->Sync().Steps() + 2));
  for (devices::COmbrixUSBDevice* d : devices.AllDevices()) {
    const auto frame = d->FrameSnapshot();
    EXPECT_TRUE(!frame.empty() && std::all_of(frame.begin(), frame.end(), [&](const devices::Rgba& c) {
      return c == painted;
    })) << d->DeviceFolderName();
  }
  Advance(Millis(5));
  const auto live = keyboard.Memory(emulator::Area::kLiveFrame);
  ASSERT_GE(live.size(), 3u);
  EXPECT_EQ(std::vector<std::uint8_t>(live.begin(), live.begin() + 3), (std::vector<std::uint8_t>{199, 39, 89}));

  wnd_->Exit();
  EXPECT_EQ(traces_.Count("同步灯光线程设定退出"), 1u);
  EXPECT_FALSE(traces_.Contains("超时"));
  wnd_.reset();
}

}  // namespace
}  // namespace brimvex::app::test
