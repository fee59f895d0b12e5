// The light and event workers on their threads: notices read from an emulated product's
// notification interface, the light worker's steps, and the stop traces.
#include <gtest/gtest.h>

#include <thread>

#include "devices/device_rig.h"
#include "devices/keyboard_rig.h"
#include "devices/keyboard_device.h"
#include "devices/mouse_device.h"
#include "devices/mouse_pad_device.h"
#include "platform/trace.h"

namespace brimvex::devices::test {
namespace {

using platform::Millis;

// Polls a condition another thread makes true (false after 5 s).
template <typename F>
bool Eventually(F f) {
  for (int i = 0; i < 5000; ++i) {
    if (f()) return true;
    std::this_thread::sleep_for(Millis(1));
  }
  return f();
}

struct NoticeCase {
  Product product;
  std::vector<std::uint16_t> codes;  // sent in order; the product's last code is always 1025
  int profile, sub_setting, refreshes;
  std::vector<long> resyncs;
};

template <typename Device>
void RunNotices(const NoticeCase& c) {
  DeviceRig<Device> rig(c.product, 0, 15);
  ASSERT_TRUE(rig.OpenCommand());
  ASSERT_TRUE(rig.OpenEvents());
  for (auto code : c.codes) ASSERT_TRUE(rig.product_device.Notify(code));
  // The codes arrive in order, so once the last resync is asked for every code before it is done.
  ASSERT_TRUE(rig.owner.WaitResyncs(c.resyncs.size()));
  EXPECT_EQ(rig.device->ActiveProfile(), c.profile);
  EXPECT_EQ(rig.device->SubSetting(), c.sub_setting);
  EXPECT_EQ(rig.owner.Refreshes(), c.refreshes);
  EXPECT_EQ(rig.owner.Resyncs(), c.resyncs);
}

TEST(EventWorker, NoticesOfTheMouse) {
  // 0x1103: profile 3, sub-setting 0; 0x0F00 ignored; 1026 is a notice with high byte 4 and ignored.
  RunNotices<COmbrixMouseDevice>({Product::kMouse, {0x1103, 0x0F00, 1026, 1025}, 3, 0, 1, {50}});
  RunNotices<COmbrixMouseDevice>({Product::kMouse, {0x1002, 0xA205, 1025}, 2, 5, 2, {50}});
}

TEST(EventWorker, NoticesOfTheKeyboard) {
  COmbrixUSBDevice::SetReloadRequested(false);
  RunNotices<COmbrixKeyboardDevice>({Product::kKeyboard, {0xA205, 1026, 1025}, 2, 5, 1, {50, 50}});
  EXPECT_TRUE(COmbrixUSBDevice::ReloadRequested());
  COmbrixUSBDevice::SetReloadRequested(false);
}

TEST(EventWorker, ThePadOnlyAsksForAResyncAfter500ms) {
  RunNotices<COmbrixMousePadDevice>({Product::kMousePad, {0x1103, 1026, 1025}, -1, -1, 0, {500}});
}

TEST(EventWorker, KeyboardKeyPressAndRelease) {
  DeviceRig<COmbrixKeyboardDevice> rig(Product::kKeyboard, 170, 170);
  ASSERT_TRUE(rig.OpenCommand());
  ASSERT_TRUE(rig.OpenEvents());
  ASSERT_TRUE(rig.product_device.KeyPress(0x12));
  ASSERT_TRUE(rig.product_device.Notify(1025));
  ASSERT_TRUE(rig.owner.WaitResyncs(1));
  EXPECT_TRUE(rig.device->KeyHeld(0x12));
  EXPECT_FALSE(rig.device->KeyHeld(0x13));
  ASSERT_TRUE(rig.product_device.KeyRelease(0x12));
  ASSERT_TRUE(rig.product_device.Notify(1025));
  ASSERT_TRUE(rig.owner.WaitResyncs(2));
  EXPECT_FALSE(rig.device->KeyHeld(0x12));
}

// A press of the slot a page key owns reaches the reactive effect of that key's light.
TEST(EventWorker, KeyboardKeyNoticesFeedTheReactiveEffectOfTheirKey) {
  KeyboardRig k;
  ASSERT_TRUE(k.Open());
  ASSERT_EQ(k.Sync(), hid::RESULT_OK);
  LightInfo info = k.device().GetLightState();
  info.mode = 7;  // hold glow
  k.device().SetLightInfo(info);
  ASSERT_TRUE(k.rig.OpenEvents());
  const int slot = k.device().KeySlotOf(64);
  ASSERT_TRUE(k.kb().KeyPress(static_cast<std::uint8_t>(slot)));
  ASSERT_TRUE(k.kb().Notify(1025));
  ASSERT_TRUE(k.rig.owner.WaitResyncs(1));
  EXPECT_EQ(k.device().EffectSnapshot().level[64], 255);
  EXPECT_EQ(k.device().EffectSnapshot().held[64], 1);
  ASSERT_TRUE(k.kb().KeyRelease(static_cast<std::uint8_t>(slot)));
  ASSERT_TRUE(k.kb().Notify(1025));
  ASSERT_TRUE(k.rig.owner.WaitResyncs(2));
  EXPECT_EQ(k.device().EffectSnapshot().held[64], 0);
}

TEST(LightWorker, RunsTheKeyboardsOwnEffects) {
  KeyboardRig k;
  ASSERT_TRUE(k.Open());
  ASSERT_EQ(k.Sync(), hid::RESULT_OK);
  LightInfo info = k.device().GetLightState();
  info.mode = 17;  // one wheel colour by the sub-mode
  info.zzcc_mode = 2;
  info.brightness = 4;
  k.device().SetLightInfo(info);
  ASSERT_TRUE(k.device().StartLightWorker());
  const Rgb w = ColorWheel()[70];
  EXPECT_TRUE(Eventually([&] { return k.device().GetLedColor(100) == Rgba{w.r, w.g, w.b, 255}; }));
  EXPECT_EQ(k.device().StopLightWorker(), platform::WorkerThread::StopResult::kEnded);
}

TEST(EventWorker, NoticesNeedAnOpenCommandChannel) {
  DeviceRig<COmbrixMouseDevice> rig(Product::kMouse, 11, 15);
  ASSERT_TRUE(rig.OpenEvents());
  ASSERT_TRUE(rig.product_device.Notify(0x1103));
  ASSERT_TRUE(rig.product_device.Notify(1025));
  ASSERT_TRUE(rig.owner.WaitResyncs(1));
  EXPECT_EQ(rig.device->ActiveProfile(), -1);
  EXPECT_EQ(rig.owner.Refreshes(), 0);
}

TEST(EventWorker, ClosingAndReopeningStopsTheWorkerWithItsTraces) {
  struct Case {
    Product product;
    const char* exit_line;
    std::size_t exits_on_reopen;  // the pad keeps its open interface and worker
  };
  for (const Case& c :
       {Case{Product::kMouse, "MS 设备同步线程设定退出", 1}, Case{Product::kMousePad, "MS设备同步线程设定退出", 0}}) {
    auto run = [&](auto& rig) {
      ASSERT_TRUE(rig.OpenEvents());
      platform::TraceCapture traces;
      ASSERT_TRUE(rig.OpenEvents());
      EXPECT_EQ(traces.Count(c.exit_line), c.exits_on_reopen);
      EXPECT_EQ(traces.Count("线程退出：：对象处于激发状态\n"), c.exits_on_reopen);
      EXPECT_TRUE(rig.device->EventWorkerRunning(false));
      rig.device->CloseEventInterface(false);
      EXPECT_FALSE(rig.device->EventWorkerRunning(false));
      EXPECT_FALSE(rig.device->EventChannelRef().Wired().IsOpen());
      EXPECT_EQ(traces.Count(c.exit_line), c.exits_on_reopen + 1);
      // A blocked read of an unplugged product does not keep the worker from stopping.
      ASSERT_TRUE(rig.OpenEvents());
      rig.product_device.Unplug(Link::kCable);
      rig.device->StopWorkers();
      EXPECT_EQ(traces.Count(c.exit_line), c.exits_on_reopen + 2);
    };
    if (c.product == Product::kMouse) {
      DeviceRig<COmbrixMouseDevice> rig(c.product, 11, 15);
      run(rig);
    } else {
      DeviceRig<COmbrixMousePadDevice> rig(c.product, 0, 15);
      run(rig);
      EXPECT_FALSE(rig.device->OpenEventInterface(true, "emu:none")) << "the pad has no receiver";
    }
  }
}

TEST(LightWorker, RunsTheStepOfTheModeInForce) {
  DeviceRig<COmbrixMouseDevice> rig(Product::kMouse, 11, 15);
  ASSERT_TRUE(rig.OpenCommand());
  LightInfo info;
  info.mode = 3;  // static
  info.brightness = 2;
  info.speed = 4;
  info.red = 10;
  info.green = 20;
  info.blue = 30;
  rig.device->SetLightInfo(info);
  ASSERT_TRUE(rig.device->StartLightWorker());
  EXPECT_FALSE(rig.device->StartLightWorker());
  const Rgba expected{10, 20, 30, 126};
  EXPECT_TRUE(Eventually([&] { return rig.device->GetLedColor(14) == expected; }));
  info.mode = 9;  // off: the changed state wakes the worker
  rig.device->SetLightInfo(info);
  EXPECT_TRUE(Eventually([&] { return rig.device->GetLedColor(14) == Rgba{}; }));
  platform::TraceCapture traces;
  EXPECT_EQ(rig.device->StopLightWorker(), platform::WorkerThread::StopResult::kEnded);
  EXPECT_EQ(traces.Count("MS灯光线程设定退出"), 1u);
  EXPECT_EQ(traces.Count("线程退出：：对象处于激发状态\n"), 1u);
}

// A device whose only light step blocks until the test lets it go.
class StuckDevice : public COmbrixUSBDevice {
 public:
  using COmbrixUSBDevice::COmbrixUSBDevice;
  ~StuckDevice() override {
    release.Set();
    StopWorkers();
    JoinDetachedWorkers();
  }
  void DeviceEffect1() override {
    entered.Set();
    release.Wait();
  }
  platform::Event entered, release;

 protected:
  std::span<const LightModeRow> LightModeTable() const override { return table_; }

 private:
  std::array<LightModeRow, 1> table_{{{0, {1, 1, 1, 1, 1}, &COmbrixUSBDevice::DeviceEffect1}}};
};

TEST(LightWorker, AWorkerThatDoesNotStopInTimeIsLetGoWithTheTimeOutTrace) {
  DeviceRig<StuckDevice> rig(Product::kMouse, 11, 15);
  ASSERT_TRUE(rig.OpenCommand());
  ASSERT_TRUE(rig.device->StartLightWorker());
  ASSERT_TRUE(rig.device->entered.Wait(Millis(5000)));
  platform::TraceCapture traces;
  EXPECT_EQ(rig.device->StopLightWorker(), platform::WorkerThread::StopResult::kTimedOut);
  EXPECT_EQ(traces.Count("线程退出：：对象处于非激发状态，超时\n"), 1u);
  EXPECT_FALSE(rig.device->StartLightWorker()) << "no second worker while the first still runs";
  // The rig's end lets the step return; the device waits for its worker before it goes.
}

}  // namespace
}  // namespace brimvex::devices::test
