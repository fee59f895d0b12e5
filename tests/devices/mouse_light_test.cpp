// The mouse's own light effects over its seven LED groups: the wave, and the hold glow after a
// press.
#include <gtest/gtest.h>

#include "devices/mouse_rig.h"

namespace brimvex::devices::test {
namespace {

void SetLight(COmbrixMouseDevice& d, std::uint8_t mode, std::uint8_t multi_color) {
  LightInfo l;
  l.mode = mode;
  l.brightness = 4;
  l.multi_color = multi_color;
  l.red = 0x10;
  l.green = 0x20;
  l.blue = 0x30;
  d.SetLightInfo(l);
}

TEST(MouseLights, WaveAdvancesSevenWheelEntriesPerGroup) {
  MouseRig m;
  SetLight(m.device(), 0, 1);
  m.device().DeviceEffect1();
  const auto f1 = m.device().FrameSnapshot();
  m.device().DeviceEffect1();
  const auto f2 = m.device().FrameSnapshot();
  ASSERT_EQ(f1.size(), 15u);
  EXPECT_EQ(f1[0], f1[1]);
  EXPECT_EQ(f1[1], f1[2]);
  EXPECT_EQ(f1[3], f1[4]);
  // Group 1 shows what group 0 shows seven steps later: one step on, entry + 1.
  const Rgb g0 = ColorWheel()[1];
  EXPECT_EQ(f1[0], (Rgba{g0.r, g0.g, g0.b, 255}));
  const Rgb g1 = ColorWheel()[8];
  EXPECT_EQ(f1[3], (Rgba{g1.r, g1.g, g1.b, 255}));
  const Rgb next = ColorWheel()[2];
  EXPECT_EQ(f2[0], (Rgba{next.r, next.g, next.b, 255}));
}

TEST(MouseLights, HoldGlowRisesByFifteenToFullThenDims) {
  MouseRig m;
  SetLight(m.device(), 6, 0);
  m.device().ButtonPressed();
  std::vector<int> levels;
  for (int i = 0; i < 19; ++i) {
    m.device().DeviceEffect3();
    levels.push_back(m.device().GlowLevels()[7]);
  }
  EXPECT_EQ(levels[0], 15);
  EXPECT_EQ(levels[16], 255);
  EXPECT_EQ(levels[17], 240);
  EXPECT_EQ(levels[18], 225);
  EXPECT_EQ(m.device().FrameSnapshot()[7], (Rgba{0x10, 0x20, 0x30, 225}));
}

}  // namespace
}  // namespace brimvex::devices::test
