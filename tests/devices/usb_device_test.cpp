// The device base on the UI thread: page binding, the LED frame towards the page and the cable,
// the function switch pages and the host light control.
#include "devices/usb_device.h"

#include <gtest/gtest.h>

#include <functional>

#include "devices/device_key_button.h"
#include "devices/device_rig.h"
#include "devices/keyboard_device.h"
#include "devices/mouse_device.h"
#include "devices/mouse_pad_device.h"
#include "devices/select_panel.h"
#include "hid/command_codes.h"
#include "platform/paths.h"
#include "platform/ui/container.h"
#include "platform/ui/controls.h"
#include "profiles/device_profile_ui.h"
#include "test_support/temp_dir.h"

namespace brimvex::devices::test {
namespace {

using platform::Millis;

std::vector<std::uint8_t> StreamedBytes(const emulator::EmulatedDevice& d, std::size_t n) {
  const auto frame = d.Memory(emulator::Area::kLiveFrame);
  return {frame.begin(), frame.begin() + static_cast<std::ptrdiff_t>(n)};
}

std::size_t StreamPackets(const std::vector<std::uint8_t>& codes) {
  return static_cast<std::size_t>(std::count(codes.begin(), codes.end(), hid::CMD_STREAM_KEY_COLORS));
}

TEST(DevicePage, BindsOnlyTheButtonsInsideTheCounts) {
  platform::HeadlessEventLoop loop;
  emulator::Emulator emu;
  emulator::EmulatedHidBackend backend(emu);
  COmbrixUSBDevice device(backend, loop);
  auto panel = std::make_unique<CSelectPanelUI>();
  std::vector<CDeviceKeyButtonUI*> lights;
  auto add = [&](const std::string& name) {
    auto b = std::make_unique<CDeviceKeyButtonUI>();
    b->SetName(name);
    return static_cast<CDeviceKeyButtonUI*>(panel->Add(std::move(b)));
  };
  for (int i = 0; i < 10; ++i) lights.push_back(add("light_" + std::to_string(i)));
  CDeviceKeyButtonUI* key0 = add("KEY_0");  // the prefix is compared without case
  CDeviceKeyButtonUI* key2 = add("key_2");  // outside a key count of 2
  add("light_x");
  add("key_");
  device.Add(std::move(panel));

  device.SetKeyButtonCount(2);
  device.SetLightButtonCount(8);
  device.BindPageControls();
  EXPECT_EQ(device.SelectPanel(), nullptr) << "no identity: nothing is bound";
  EXPECT_EQ(device.LightButtonCount(), 0);
  EXPECT_EQ(device.LedCount(), 0u);

  DeviceDescriptor d;
  d.path = "emu:mouse#vid_5e1d&pid_4a10&mi_01&col04";
  device.SetDescriptor(d);
  device.SetKeyButtonCount(2);
  device.SetLightButtonCount(8);
  device.BindPageControls();
  ASSERT_NE(device.SelectPanel(), nullptr);
  EXPECT_EQ(device.LedCount(), 8u);
  EXPECT_EQ(device.PerLightEffects().size(), 8u);
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(device.LightButton(i), lights[static_cast<std::size_t>(i)]);
    EXPECT_EQ(lights[static_cast<std::size_t>(i)]->LedColor(), (Rgba{255, 255, 255, 255}));
  }
  EXPECT_EQ(device.LightButton(8), nullptr);
  EXPECT_EQ(lights[8]->LedColor(), Rgba{}) << "button 8 is ignored";
  EXPECT_EQ(lights[9]->LedColor(), Rgba{});
  EXPECT_EQ(device.KeyButton(0), key0);
  EXPECT_EQ(device.KeyButton(1), nullptr);
  (void)key2;
  for (std::size_t i = 0; i < 8; ++i) EXPECT_EQ(device.FrameSnapshot()[i], Rgba{});
}

TEST(DevicePage, ShippedLayoutsGiveTheButtonsOfTheDevicePageTable) {
  struct Case {
    Product product;
    int keys, lights;
    int key_buttons, light_buttons;  // buttons the picture has
  };
  for (const Case& c : {Case{Product::kMouse, 11, 15, 11, 15}, Case{Product::kKeyboard, 170, 170, 126, 126},
                        Case{Product::kMousePad, 0, 15, 0, 15}}) {
    std::unique_ptr<COmbrixUSBDevice> device;
    auto count = [](auto& rig, int n, bool key) {
      int found = 0;
      for (int i = 0; i < n; ++i) found += (key ? rig.device->KeyButton(i) : rig.device->LightButton(i)) != nullptr;
      return found;
    };
    if (c.product == Product::kMouse) {
      DeviceRig<COmbrixMouseDevice> rig(c.product, c.keys, c.lights);
      ASSERT_TRUE(rig.BuildPage());
      EXPECT_EQ(count(rig, c.keys, true), c.key_buttons);
      EXPECT_EQ(count(rig, c.lights, false), c.light_buttons);
    } else if (c.product == Product::kKeyboard) {
      DeviceRig<COmbrixKeyboardDevice> rig(c.product, c.keys, c.lights);
      ASSERT_TRUE(rig.BuildPage());
      EXPECT_EQ(count(rig, c.keys, true), c.key_buttons);
      EXPECT_EQ(count(rig, c.lights, false), c.light_buttons);
    } else {
      DeviceRig<COmbrixMousePadDevice> rig(c.product, c.keys, c.lights);
      ASSERT_TRUE(rig.BuildPage());
      EXPECT_EQ(count(rig, c.lights, false), c.light_buttons);
    }
  }
}

// The mouse has 15 lights; every one gets the same colour at half brightness.
constexpr Rgba kColor{200, 100, 50, 128};

void FillFrame(COmbrixUSBDevice& device) {
  for (int i = 0; i < 15; ++i) device.SetLedColor(i, kColor);
}

TEST(SendLedFrame, HostLightControlOffSendsNothingAndLeavesThePage) {
  DeviceRig<COmbrixMouseDevice> rig(Product::kMouse, 11, 15);
  ASSERT_TRUE(rig.BuildPage());
  ASSERT_TRUE(rig.OpenCommand());
  EXPECT_EQ(rig.device->SetHostLightControl(false), hid::RESULT_OK);
  FillFrame(*rig.device);
  rig.product_device.ClearExchangeLog();
  EXPECT_EQ(rig.device->SendLedFrame(), hid::RESULT_OK);
  EXPECT_TRUE(rig.Codes().empty());
  EXPECT_EQ(rig.device->LightButton(0)->LedColor(), (Rgba{255, 255, 255, 255}));
  EXPECT_EQ(rig.device->RepaintCount(), 0u);
}

TEST(SendLedFrame, ThroughTheReceiverThePageIsUpdatedButNothingSent) {
  DeviceRig<COmbrixMouseDevice> rig(Product::kMouse, 11, 15, Link::kReceiver);
  ASSERT_TRUE(rig.BuildPage());
  ASSERT_TRUE(rig.OpenCommand());
  FillFrame(*rig.device);
  rig.product_device.ClearExchangeLog();
  EXPECT_EQ(rig.device->SendLedFrame(), hid::RESULT_OK);
  EXPECT_TRUE(rig.Codes().empty());
  for (int i = 0; i < 15; ++i) EXPECT_EQ(rig.device->LightButton(i)->LedColor(), kColor);
  EXPECT_EQ(rig.device->RepaintCount(), 1u);
}

TEST(SendLedFrame, OnTheCableTheScaledFrameReachesTheDevice) {
  DeviceRig<COmbrixMouseDevice> rig(Product::kMouse, 11, 15);
  ASSERT_TRUE(rig.BuildPage());
  ASSERT_TRUE(rig.OpenCommand());
  FillFrame(*rig.device);
  rig.device->SetLedColor(14, Rgba{255, 255, 255, 255});
  rig.device->SetLedColor(15, Rgba{1, 2, 3, 4});  // outside the frame: ignored
  EXPECT_EQ(rig.device->GetLedColor(15), Rgba{});
  EXPECT_EQ(rig.device->SendLedFrame(), hid::RESULT_OK);
  std::vector<std::uint8_t> expected;
  for (int i = 0; i < 14; ++i) expected.insert(expected.end(), {100, 50, 25});  // c * 128 / 256
  expected.insert(expected.end(), {254, 254, 254});                             // 255 * 255 / 256
  EXPECT_EQ(StreamedBytes(rig.product_device, 45), expected);
  EXPECT_EQ(rig.product_device.Memory(emulator::Area::kLiveFrame)[45], 0);
}

TEST(SendLedFrame, AFrameTheDeviceTookIsSentAgainOnlyAfterANewConnection) {
  DeviceRig<COmbrixMouseDevice> rig(Product::kMouse, 11, 15);
  ASSERT_TRUE(rig.OpenCommand());
  FillFrame(*rig.device);
  struct Step {
    const char* what;
    std::function<void()> before;
    std::size_t packets;  // streamed in all
  };
  const Step steps[] = {
      {"the first frame", [] {}, 1},
      {"the same again", [] {}, 1},
      {"one light changed", [&] { rig.device->SetLedColor(3, Rgba{9, 9, 9, 255}); }, 2},
      {"after a new connection", [&] { rig.device->ForgetStreamedFrame(); }, 3},
  };
  for (const Step& step : steps) {
    step.before();
    EXPECT_EQ(rig.device->SendLedFrame(), hid::RESULT_OK) << step.what;
    EXPECT_EQ(StreamPackets(rig.Codes()), step.packets) << step.what;
  }
}

TEST(SendLedFrame, AFailedFrameRestsTheStreamWithoutBlocking) {
  DeviceRig<COmbrixMouseDevice> rig(Product::kMouse, 11, 15);
  ASSERT_TRUE(rig.OpenCommand());
  FillFrame(*rig.device);
  rig.product_device.InjectFault({emulator::FaultKind::kStatusFF, 0, 1});
  EXPECT_NE(rig.device->SendLedFrame(), hid::RESULT_OK);
  rig.product_device.ClearExchangeLog();
  rig.loop.AdvanceClock(Millis(195));
  EXPECT_EQ(rig.device->SendLedFrame(), hid::RESULT_OK);
  EXPECT_EQ(StreamPackets(rig.Codes()), 0u) << "within the pause nothing is streamed";
  rig.loop.AdvanceClock(Millis(5));
  EXPECT_EQ(rig.device->SendLedFrame(), hid::RESULT_OK);
  EXPECT_EQ(StreamPackets(rig.Codes()), 1u);
}

TEST(SendLedFrame, RepaintsAtMostOncePerRefreshAndNotWhileHidden) {
  DeviceRig<COmbrixMouseDevice> rig(Product::kMouse, 11, 15, Link::kReceiver);
  ASSERT_TRUE(rig.BuildPage());
  ASSERT_TRUE(rig.OpenCommand());
  rig.device->SetRepaintInterval(Millis(16));
  auto frame_at = [&](std::uint8_t level) {
    for (int i = 0; i < 15; ++i) rig.device->SetLedColor(i, Rgba{level, 0, 0, 255});
    rig.device->SendLedFrame();
    rig.loop.AdvanceClock(Millis(5));
  };
  // 5 ms frames for 40 ms: repaints at 0, 20 and 40 ms at most (16 ms apart).
  for (std::uint8_t n = 0; n < 9; ++n) frame_at(n);
  EXPECT_EQ(rig.device->RepaintCount(), 3u);
  EXPECT_EQ(rig.device->LightButton(3)->LedColor(), (Rgba{8, 0, 0, 255})) << "the colour itself is current";

  rig.device->OnWindowVisibility(false);
  const auto before = rig.device->RepaintCount();
  for (std::uint8_t n = 10; n < 30; ++n) frame_at(n);
  EXPECT_EQ(rig.device->RepaintCount(), before);
  rig.device->OnWindowVisibility(true);
  frame_at(31);
  EXPECT_EQ(rig.device->RepaintCount(), before + 1) << "shown again: repainted at once";

  // The page behind another device's: nothing repainted, nothing owed; in front again, a frame
  // is asked for and repaints at once.
  rig.device->SetVisible(false);
  for (std::uint8_t n = 32; n < 40; ++n) frame_at(n);
  EXPECT_EQ(rig.device->RepaintCount(), before + 1);
  EXPECT_EQ(rig.device->NextFrameIn(), platform::kInfinite);
  const int asked = rig.owner.Frames();
  rig.device->SetVisible(true);
  EXPECT_EQ(rig.owner.Frames(), asked + 1);
  rig.device->SendLedFrame();
  EXPECT_EQ(rig.device->RepaintCount(), before + 2);
  EXPECT_EQ(rig.device->LightButton(3)->LedColor(), (Rgba{39, 0, 0, 255}));

  rig.device->SetPreviewRepaint(false);
  rig.loop.AdvanceClock(Millis(100));
  frame_at(40);
  EXPECT_EQ(rig.device->RepaintCount(), before + 2);
}

TEST(SendLedFrame, TheOwnerIsAskedForAFrameOnlyWhenTheFrameChanged) {
  DeviceRig<COmbrixMouseDevice> rig(Product::kMouse, 11, 15);
  FillFrame(*rig.device);
  LightInfo info;
  info.mode = 3;
  const struct {
    const char* what;
    std::function<void()> act;
    int asked;  // frames asked for by it
  } steps[] = {
      {"the same colour again", [&] { rig.device->SetLedColor(3, kColor); }, 0},
      {"one light changed", [&] { rig.device->SetLedColor(3, Rgba{9, 9, 9, 255}); }, 1},
      {"a common colour", [&] { rig.device->ShowSyncColor(0xFF102030); }, 1},
      {"the same common colour", [&] { rig.device->ShowSyncColor(0xFF102030); }, 0},
      {"the frame read", [&] { (void)rig.device->FrameSnapshot(); }, 0},
      {"the light state only", [&] { rig.device->SetLightInfo(info); }, 0},
  };
  for (const auto& step : steps) {
    const int before = rig.owner.Frames();
    step.act();
    EXPECT_EQ(rig.owner.Frames() - before, step.asked) << step.what;
  }
}

TEST(SendLedFrame, RepaintsOnlyTheButtonsWhoseColourChangedAndOwesWhatThePaceHeldBack) {
  DeviceRig<COmbrixMouseDevice> rig(Product::kMouse, 11, 15, Link::kReceiver);
  ASSERT_TRUE(rig.BuildPage());
  ASSERT_TRUE(rig.OpenCommand());
  rig.device->SetRepaintInterval(Millis(16));
  FillFrame(*rig.device);
  rig.device->SendLedFrame();
  EXPECT_EQ(rig.device->RepaintedButtons(), 15u);
  EXPECT_EQ(rig.device->NextFrameIn(), platform::kInfinite);
  rig.loop.AdvanceClock(Millis(5));
  rig.device->SetLedColor(3, Rgba{9, 9, 9, 255});
  rig.device->SendLedFrame();
  EXPECT_EQ(rig.device->RepaintedButtons(), 15u) << "held back by the pace";
  EXPECT_EQ(rig.device->NextFrameIn(), Millis(11));
  rig.loop.AdvanceClock(Millis(11));
  rig.device->SendLedFrame();
  EXPECT_EQ(rig.device->RepaintedButtons(), 16u) << "the one light that changed";
  EXPECT_EQ(rig.device->NextFrameIn(), platform::kInfinite);
}

TEST(SendLedFrame, AStreamHeldBackByTheRestIsOwedUntilTheRestIsOver) {
  DeviceRig<COmbrixMouseDevice> rig(Product::kMouse, 11, 15);
  ASSERT_TRUE(rig.OpenCommand());
  FillFrame(*rig.device);
  rig.product_device.InjectFault({emulator::FaultKind::kStatusFF, 0, 1});
  EXPECT_NE(rig.device->SendLedFrame(), hid::RESULT_OK);
  EXPECT_EQ(rig.device->NextFrameIn(), kFrameFailurePause);
  rig.loop.AdvanceClock(kFrameFailurePause);
  rig.product_device.ClearExchangeLog();
  EXPECT_EQ(rig.device->SendLedFrame(), hid::RESULT_OK);
  EXPECT_EQ(StreamPackets(rig.Codes()), 1u);
  EXPECT_EQ(rig.device->NextFrameIn(), platform::kInfinite);
}

TEST(Preview, BlinkTogglesOnTheLoopClock) {
  DeviceRig<COmbrixMouseDevice> rig(Product::kMouse, 11, 15);
  LightInfo info;
  info.mode = 4;
  info.speed = 4;  // 7 units of 200 ms
  info.brightness = 4;
  info.red = 9;
  rig.device->SetLightInfo(info);
  rig.loop.AdvanceClock(Millis(1400));
  std::vector<bool> lit;
  for (int step = 0; step < 8; ++step) {
    rig.device->PreviewBlink();
    lit.push_back(rig.device->GetLedColor(0).a != 0);
    rig.loop.AdvanceClock(Millis(700));
  }
  EXPECT_EQ(lit, (std::vector<bool>{true, true, false, false, true, true, false, false}));
}

TEST(HostLightControl, TurningItOnSendsLightControlToAKeyboardOnly) {
  DeviceRig<COmbrixKeyboardDevice> keyboard(Product::kKeyboard, 170, 170);
  ASSERT_TRUE(keyboard.OpenCommand());
  EXPECT_EQ(keyboard.device->SetHostLightControl(true), hid::RESULT_OK);
  EXPECT_TRUE(keyboard.product_device.LightControl());

  DeviceRig<COmbrixMouseDevice> mouse(Product::kMouse, 11, 15);
  ASSERT_TRUE(mouse.OpenCommand());
  mouse.product_device.ClearExchangeLog();
  EXPECT_EQ(mouse.device->SetHostLightControl(true), hid::RESULT_OK);
  EXPECT_TRUE(mouse.Codes().empty());
}

TEST(ShowFunctionSwitch, SelectsThePagesOfEachType) {
  struct Case {
    int type;
    int kind;
    int function_page, key_function_page;  // 9: left as it was
  };
  const std::vector<Case> cases = {
      {2, kDeviceKeyboard, 0, 1}, {6, kDeviceMouse, 0, 1}, {3, kDeviceMouse, 1, 9},    {8, kDeviceKeyboard, 1, 9},
      {4, kDeviceKeyboard, 3, 9}, {4, kDeviceMouse, 3, 9}, {4, kDeviceMousePad, 0, 2}, {5, kDeviceMouse, 2, 9},
      {7, kDeviceMouse, 0, 2},    {1, kDeviceMouse, 0, 0}, {0, kDeviceMousePad, 0, 0},
  };
  platform::HeadlessEventLoop loop;
  emulator::Emulator emu;
  emulator::EmulatedHidBackend backend(emu);
  for (const Case& c : cases) {
    std::unique_ptr<COmbrixUSBDevice> device;
    if (c.kind == kDeviceKeyboard) device = std::make_unique<COmbrixKeyboardDevice>(backend, loop);
    if (c.kind == kDeviceMouse) device = std::make_unique<COmbrixMouseDevice>(backend, loop);
    if (c.kind == kDeviceMousePad) device = std::make_unique<COmbrixMousePadDevice>(backend, loop);
    auto tabs = [&](const char* name) {
      auto t = std::make_unique<ui::TabLayout>();
      t->SetName(name);
      for (int i = 0; i < 10; ++i) t->Add(std::make_unique<ui::Control>());
      t->SelectItem(9);
      return static_cast<ui::TabLayout*>(device->Add(std::move(t)));
    };
    ui::TabLayout* function = tabs("device_function_switch");
    ui::TabLayout* key_function = tabs("device_key_function_switch");
    device->ShowFunctionSwitch(c.type);
    EXPECT_EQ(device->GetFunctionSwitchType(), c.type);
    EXPECT_EQ(function->CurrentSel(), c.function_page) << "type " << c.type << " kind " << c.kind;
    EXPECT_EQ(key_function->CurrentSel(), c.key_function_page) << "type " << c.type << " kind " << c.kind;
  }
  // Without both layouts nothing is selected; the type is still kept.
  COmbrixMouseDevice device(backend, loop);
  EXPECT_EQ(device.GetFunctionSwitchType(), 1);
  auto only = std::make_unique<ui::TabLayout>();
  only->SetName("device_function_switch");
  for (int i = 0; i < 3; ++i) only->Add(std::make_unique<ui::Control>());
  only->SelectItem(2);
  auto* function = static_cast<ui::TabLayout*>(device.Add(std::move(only)));
  device.ShowFunctionSwitch(3);
  EXPECT_EQ(function->CurrentSel(), 2);
  EXPECT_EQ(device.GetFunctionSwitchType(), 3);
}

TEST(DeviceBase, IdentityAndFileLocations) {
  brimvex::test::TempDir home;
  const auto old_home = platform::GetEnv("XDG_DATA_HOME");
  platform::SetEnv("XDG_DATA_HOME", home.folder());
  platform::HeadlessEventLoop loop;
  emulator::Emulator emu;
  emulator::EmulatedHidBackend backend(emu);
  COmbrixUSBDevice device(backend, loop);
  EXPECT_EQ(device.DeviceType(), kDeviceBase);
  EXPECT_EQ(device.SelectedKey(), -1);
  EXPECT_TRUE(device.HostLightControl());
  EXPECT_TRUE(device.PreviewRepaint());
  DeviceDescriptor d;
  d.type = 6;  // the mouse through its receiver
  d.path = "emu:mouse-receiver#vid_5e1d&pid_4a11&mi_01&col04";
  device.SetDescriptor(d);
  EXPECT_EQ(device.DeviceType(), kDeviceMouse);
  EXPECT_EQ(device.Descriptor().path, d.path);
  device.SetDeviceFolderName("Mouse");
  device.SetCurrentProfileName("2026_12_10_11_20_00_000");
  device.SetLightFileName("light");
  EXPECT_TRUE(device.CurrentProfilePath().ends_with("/Brimvex/Mouse/2026_12_10_11_20_00_000.Json"));
  EXPECT_TRUE(device.LightConfigPath().ends_with("/Brimvex/Mouse/light.config"));
  EXPECT_TRUE(device.DefaultProfilePath().ends_with("DefaultData/Mouse.Json"));
  EXPECT_TRUE(std::filesystem::is_directory(home.path() / "Brimvex" / "Mouse"));
  // A name that is not an identifier never becomes a path.
  for (const char* name : {"../../x", "", "a/b"}) {
    device.SetCurrentProfileName(name);
    EXPECT_EQ(device.CurrentProfilePath(), "") << name;
  }
  platform::SetEnv("XDG_DATA_HOME", old_home);
}

TEST(DevicePage, SetsUpItsProfileListAndFollowsItsCurrentProfile) {
  brimvex::test::TempDir home;
  const auto old_home = platform::GetEnv("XDG_DATA_HOME");
  platform::SetEnv("XDG_DATA_HOME", home.folder());
  {
    DeviceRig<COmbrixKeyboardDevice> rig(Product::kKeyboard, 170, 170);
    rig.device->SetDeviceFolderName("KB");
    ASSERT_TRUE(rig.BuildPage());
    profiles::CDeviceProfileUI* list = rig.device->ProfileList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(rig.device->ChildAt(0), list);
    EXPECT_EQ(list->Name(), "DeviceProfileItem");
    EXPECT_EQ(list->DeviceType(), kDeviceKeyboard);
    EXPECT_EQ(list->DataFolder(), home.folder() + "Brimvex/KB/");
    EXPECT_TRUE(dynamic_cast<ui::Option*>(list->FindControl("deng_Op_tab"))->IsSelected());
    EXPECT_FALSE(list->FindControl("cursor_Op_tab")->IsVisible());
    EXPECT_EQ(rig.device->CurrentProfileName(), list->GetCurrentId());
    ASSERT_EQ(list->Add(), profiles::CDeviceProfileUI::Change::kDone);
    ASSERT_TRUE(list->Select(1, false));
    EXPECT_EQ(rig.device->CurrentProfileName(), list->GetCurrentId());
    EXPECT_EQ(rig.device->CurrentProfilePath(), list->PathOf(1));
    EXPECT_TRUE(std::filesystem::exists(list->PathOf(1)));
  }
  platform::SetEnv("XDG_DATA_HOME", old_home);
}

}  // namespace
}  // namespace brimvex::devices::test
