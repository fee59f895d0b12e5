#include "devices/light_preview.h"

#include <gtest/gtest.h>

#include <vector>

namespace brimvex::devices {
namespace {

TEST(LightPreview, CurvesHaveTheirShape) {
  const auto& wheel = ColorWheel();
  EXPECT_EQ(wheel[0], (Rgb{255, 1, 0}));
  EXPECT_EQ(wheel[63], (Rgb{0, 255, 0}));
  EXPECT_EQ(wheel[191], (Rgb{255, 0, 0}));
  for (std::size_t i = 0; i < 64; ++i) EXPECT_EQ(wheel[192 + i], wheel[i]);
  const auto& breath = BreathingCurve();
  EXPECT_EQ(breath[63], 255);
  EXPECT_EQ(breath[64], 255);
  EXPECT_EQ(breath[127], 0);
  EXPECT_EQ(WaveCurve()[0], 22);
  EXPECT_EQ(WaveCurve()[47], 255);
  EXPECT_EQ(WaveCurve()[95], 22);
  EXPECT_EQ(PulseCurve()[24], 255);
  EXPECT_EQ(PulseCurve()[88], 0);
  EXPECT_EQ(PulseCurve()[191], 0);
}

TEST(LightPreview, PhaseStepWrapsAtTheLimitBothWays) {
  struct Case {
    std::uint8_t direction, limit, phase, step, expected;
  };
  const Case cases[] = {
      {0, 128, 0, 1, 127},   {0, 128, 127, 1, 126}, {1, 192, 191, 1, 0},
      {1, 128, 126, 1, 127}, {0, 192, 0, 1, 191},   {1, 96, 95, 1, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PhaseStep(c.direction, c.limit, c.phase, c.step), c.expected)
        << int(c.direction) << " " << int(c.limit) << " " << int(c.phase);
}

TEST(LightPreview, BreathingAndSpectrumFillTheFrame) {
  LightInfo info{};
  info.brightness = 4;
  info.red = 10;
  info.green = 20;
  info.blue = 30;
  PreviewState s;
  std::vector<Rgba> frame(5);
  PreviewBreathing(info, s, frame);  // direction 0: 0 -> 127
  EXPECT_EQ(s.phase, 127);
  EXPECT_EQ(frame[4], (Rgba{10, 20, 30, 0}));  // curve[127] = 0
  PreviewBreathing(info, s, frame);
  EXPECT_EQ(s.phase, 126);
  EXPECT_EQ(frame[0].a, 1 * 255 / 256);

  info.direction = 1;
  s.phase = 191;
  PreviewSpectrum(info, s, frame);
  EXPECT_EQ(s.phase, 0);
  EXPECT_EQ(frame[2], (Rgba{255, 1, 0, 255}));
}

TEST(LightPreview, BlinkAtSpeedFourTogglesEvery1400ms) {
  LightInfo info{};
  info.speed = 4;
  info.brightness = 2;
  info.red = 200;
  PreviewState s;
  std::vector<Rgba> frame(3);
  std::vector<bool> on;
  for (std::uint32_t t = 0; t <= 5600; t += 200) {
    PreviewBlink(info, s, t, frame);
    on.push_back(frame[0].a != 0);
  }
  // Off until 1400, on until 2800, off until 4200, on until 5600, then off.
  for (std::size_t i = 0; i < on.size(); ++i) EXPECT_EQ(on[i], (i >= 7 && i < 14) || (i >= 21 && i < 28)) << i;
  EXPECT_EQ(frame.size(), 3u);
}

TEST(LightPreview, ReactiveLevelsDecayByBand) {
  struct Case {
    int mode;
    std::uint8_t level, expected;
  };
  const Case cases[] = {{29, 20, 15},  {29, 150, 105}, {29, 0, 0}, {29, 16, 15}, {0, 40, 25},
                        {0, 200, 160}, {5, 40, 30},    {5, 17, 9}, {0, 1, 0}};
  for (const Case& c : cases) EXPECT_EQ(DecayedLevel(c.level, c.mode), c.expected) << c.mode << " " << int(c.level);

  ReactiveLevels r;
  r.wave_row[0] = 1;
  r.wave_row[22] = 2;
  RotateWaveRow(r, 1);
  EXPECT_EQ(r.wave_row[0], 2);
  EXPECT_EQ(r.wave_row[1], 1);
  RotateWaveRow(r, 0);
  RotateWaveRow(r, 0);
  EXPECT_EQ(r.wave_row[22], 1);
  EXPECT_EQ(r.wave_row[21], 2);
  r.wave_row[3] = 7;
  SeedReactiveLevels(r);
  EXPECT_EQ(r.level[3], 255);
  EXPECT_EQ(r.level[4], 0);
  ClearReactiveLevels(r);
  EXPECT_EQ(r.level[3], 0);
  EXPECT_EQ(r.wave_row[21], 0);
}

TEST(LightPreview, ScaleFrameAppliesAlphaAndStopsAt170) {
  std::vector<Rgba> frame(171, Rgba{255, 128, 1, 128});
  const auto bytes = ScaleFrame(frame);
  EXPECT_EQ(bytes[0], 127);
  EXPECT_EQ(bytes[1], 64);
  EXPECT_EQ(bytes[2], 0);
  EXPECT_EQ(bytes[3 * 169], 127);
  EXPECT_EQ(bytes[3 * 170], 0);  // position 170 is never sent
}

TEST(LightPreview, NoticesDecodeToProfileSubSettingOrKey) {
  using K = DeviceNotice::Kind;
  struct Case {
    std::uint16_t code;
    bool keyboard;
    K kind;
    int profile, sub, key;
  };
  const Case cases[] = {
      {0x1103, false, K::kProfile, 3, 0, -1},     {0x0F00, false, K::kIgnored, -1, -1, -1},
      {0xA205, true, K::kProfile, 2, 5, -1},      {0xA285, true, K::kProfile, 2, -1, -1},
      {0x0512, true, K::kKeyPress, -1, -1, 0x12}, {0x0612, true, K::kKeyRelease, -1, -1, 0x12},
      {0x0512, false, K::kIgnored, -1, -1, -1},   {0x1004, false, K::kProfile, 4, -1, -1},
      {0x1135, false, K::kProfile, 5, 3, -1},
  };
  for (const Case& c : cases) {
    const DeviceNotice n = DecodeNotice(c.code, c.keyboard);
    EXPECT_EQ(n.kind, c.kind) << std::hex << c.code;
    EXPECT_EQ(n.profile, c.profile) << std::hex << c.code;
    EXPECT_EQ(n.sub_setting, c.sub) << std::hex << c.code;
    EXPECT_EQ(n.key_slot, c.key) << std::hex << c.code;
  }
}

}  // namespace
}  // namespace brimvex::devices
