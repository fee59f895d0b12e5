// The controller's light actions on the main window over emulated products: game events with
// timer 1066, and the same-mode setup with the synchronised-lighting worker.
#include "discovery/controller_fixture.h"
#include "hid/command_codes.h"

namespace brimvex::app::test {
namespace {

class LightTest : public ControllerFixture {
 protected:
  void Select(int row) { selector().ShowEntry(selector().IndexOfRow(row), true, true); }
  void Game(const char* name, std::uint64_t variant, std::int64_t mode) {
    wnd_->HandlePeerMessage({name, variant, mode, {}});
    loop().RunPending();
  }
  static void SetLight(devices::COmbrixUSBDevice& d, std::uint8_t mode) {
    profiles::LightInfo info = d.GetLightState();
    info.mode = mode;
    d.SetLightInfo(info);
  }
};

TEST_F(LightTest, GameEventsThreeSecondsApartAreRestoredFiveSecondsAfterTheSecondOnTheDeviceTheyChanged) {
  StartConnected({Product::kKeyboard, Product::kMouse});
  devices::COmbrixUSBDevice& keyboard = *DeviceOfRow(kKeyboardRow);
  devices::COmbrixUSBDevice& mouse = *DeviceOfRow(kMouseRow);
  Select(kKeyboardRow);
  SetLight(keyboard, 7);
  SetLight(mouse, 2);
  Game("Game_Start", 0, 3);
  EXPECT_EQ(keyboard.GetLightState().mode, 3);
  Advance(Millis(3000));
  Game("Game_Kill", 0, 4);
  EXPECT_EQ(keyboard.GetLightState().mode, 4);
  EXPECT_EQ(keyboard.GetLightState().saved_mode, 7);
  // The selection moves on before the timer fires; the restore still goes to the keyboard.
  Select(kMouseRow);
  Advance(Millis(4999));
  EXPECT_EQ(keyboard.GetLightState().mode, 4);
  Advance(Millis(1));
  EXPECT_EQ(keyboard.GetLightState().mode, 7);
  EXPECT_EQ(mouse.GetLightState().mode, 2);
  // No message box for the device write, whatever it returned.
  EXPECT_FALSE(loop().HasTimer(wnd_.get(), kTimerGameLight));
}

TEST_F(LightTest, AnEventWithoutADeviceOrOutOfRangeOnlyRestartsTheTimer) {
  Start();
  Game("Game_Death", 0, 3);
  EXPECT_TRUE(loop().HasTimer(wnd_.get(), kTimerGameLight));
  Advance(Millis(5000));
  EXPECT_FALSE(loop().HasTimer(wnd_.get(), kTimerGameLight));
  Game("Game_End", 3, 3);
  EXPECT_TRUE(loop().HasTimer(wnd_.get(), kTimerGameLight));
}

TEST_F(LightTest, AGameLightPendingAtExitGoesBackBeforeTheDevicesStop) {
  StartConnected({Product::kKeyboard});
  devices::COmbrixUSBDevice& keyboard = *DeviceOfRow(kKeyboardRow);
  SetLight(keyboard, 8);
  Game("Game_Start", 0, 3);
  wnd_->Exit();
  EXPECT_EQ(keyboard.GetLightState().mode, 8);
}

TEST_F(LightTest, SameModeFromAMouseInStaticPutsEveryDeviceInItsStaticModeAndLightsTheKeyboard) {
  StartConnected({Product::kKeyboard, Product::kMouse, Product::kMousePad, Product::kHeadset});
  devices::COmbrixUSBDevice& mouse = *DeviceOfRow(kMouseRow);
  Select(kMouseRow);
  profiles::LightInfo info;
  info.mode = 3;
  info.brightness = 4;
  info.speed = 2;
  info.direction = 1;
  info.red = 10, info.green = 200, info.blue = 30;
  mouse.SetLightInfo(info);
  // The page's own button may be hidden (one device, or a mode without a common effect): a
  // button of its name placed on the window is clicked.
  Place("deng_same_mode")->Activate();
  loop().RunPending();
  const struct {
    int row;
    std::uint8_t mode;
  } expected[] = {{kKeyboardRow, 6}, {kMouseRow, 3}, {2, 3}, {3, 3}};
  for (const auto& e : expected) {
    devices::COmbrixUSBDevice& d = *DeviceOfRow(e.row);
    const profiles::LightInfo got = d.GetLightState();
    EXPECT_EQ(got.mode, e.mode) << e.row;
    EXPECT_EQ(std::make_tuple(got.brightness, got.speed, got.direction, got.red, got.green, got.blue),
              std::make_tuple(info.brightness, info.speed, info.direction, info.red, info.green, info.blue))
        << e.row;
    EXPECT_TRUE(d.CommandChannelRef().LightSync()) << e.row;
  }
  // The worker paints every device that takes part; the keyboard's frame timer streams it.
  auto& keyboard = *emu_.Find("keyboard");
  ASSERT_TRUE(WaitFor([&] {
    const auto frame = DeviceOfRow(kKeyboardRow)->FrameSnapshot();
    return !frame.empty() && frame[0] == devices::Rgba{10, 200, 30, 255};
  }));
  Advance(Millis(5));
  const auto live = keyboard.Memory(emulator::Area::kLiveFrame);
  // (R x A) / 256 for each colour byte of the first light.
  EXPECT_EQ(live[0], 9);
  EXPECT_EQ(live[1], 199);
  EXPECT_EQ(live[2], 29);
}

TEST_F(LightTest, TheFrameTimerIsArmedOnlyWhenTheFrameChanged) {
  StartConnected({Product::kMouse});
  devices::COmbrixUSBDevice& mouse = *DeviceOfRow(kMouseRow);
  CDeviceOptionUI& entry = *EntryOfRow(kMouseRow);
  auto& emulated = *emu_.Find("mouse");
  const auto show_static = [&](std::uint8_t red) {
    profiles::LightInfo info = mouse.GetLightState();
    info.mode = 3;  // static: the light worker paints the same frame at every step
    info.brightness = 4;
    info.red = red, info.green = 0, info.blue = 0;
    mouse.SetLightInfo(info);
    return WaitFor([&] {
      const auto frame = mouse.FrameSnapshot();
      return !frame.empty() && frame[0] == devices::Rgba{red, 0, 0, 255};
    });
  };
  ASSERT_TRUE(show_static(100));
  Advance(Millis(100));  // the change and a repaint it held back
  EXPECT_EQ(emulated.Memory(emulator::Area::kLiveFrame)[0], 99);
  // Nothing changes: nothing streamed, no frame timer.
  const std::size_t streamed = emulated.StreamedPackets();
  const std::uint64_t frames = entry.FramesTaken();
  Advance(Millis(1000));
  EXPECT_EQ(emulated.StreamedPackets(), streamed);
  EXPECT_EQ(entry.FramesTaken(), frames);
  EXPECT_FALSE(entry.HasTimer(kTimerLightFrame));
  // A change is streamed once.
  ASSERT_TRUE(show_static(200));
  Advance(Millis(100));
  EXPECT_EQ(emulated.Memory(emulator::Area::kLiveFrame)[0], 199);
  EXPECT_EQ(emulated.StreamedPackets(), streamed + 1);
}

TEST_F(LightTest, SameModeFromAModeWithoutACommonEffectChangesNothing) {
  StartConnected({Product::kKeyboard, Product::kMouse});
  Select(kKeyboardRow);
  SetLight(*DeviceOfRow(kKeyboardRow), 19);
  SetLight(*DeviceOfRow(kMouseRow), 5);
  // The page's own button may be hidden (one device, or a mode without a common effect): a
  // button of its name placed on the window is clicked.
  Place("deng_same_mode")->Activate();
  loop().RunPending();
  EXPECT_EQ(DeviceOfRow(kMouseRow)->GetLightState().mode, 5);
  EXPECT_FALSE(DeviceOfRow(kMouseRow)->CommandChannelRef().LightSync());
  EXPECT_EQ(wnd_->Sync().Steps(), 0u);
}

}  // namespace
}  // namespace brimvex::app::test
