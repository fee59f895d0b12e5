// Light mode 29: band values drawn on the effect grid by audio mode, reaching the emulated
// keyboard's live frame, and the beat detection of audio mode 2 with bands of any size.
#include <gtest/gtest.h>

#include <limits>

#include "devices/keyboard_audio_effects.h"
#include "devices/keyboard_layout.h"
#include "devices/keyboard_rig.h"
#include "hid/command_codes.h"

namespace brimvex::devices::test {
namespace {

using emulator::Area;

constexpr Rgb kBack{0, 0, 40};
constexpr Rgb kFore{250, 0, 0};
constexpr int kMaxInt = std::numeric_limits<int>::max();

// Band 0 full, band 5 at half (three rows), band 9 at 2^31 - 1, the rest silent.
std::array<int, kAudioBandsShown> Bands() {
  std::array<int, kAudioBandsShown> b{};
  b[0] = 2000;
  b[5] = 1000;
  b[9] = kMaxInt;
  return b;
}

LightInfo Bright() {
  LightInfo info;
  info.mode = 29;
  info.brightness = 4;
  return info;
}

// 'F' foreground, 'B' background, '?' other, per row from the top, of one column.
std::string Column(std::span<const Rgba> frame, int column) {
  std::string s;
  for (int row = 0; row < kEffectRows; ++row) {
    const std::uint8_t light = EffectCell(column, row);
    if (light == kNoCell) {
      s += ' ';
      continue;
    }
    const Rgba e = frame[light];
    const Rgb c{e.r, e.g, e.b};
    s += c == kFore ? 'F' : c == kBack ? 'B' : '?';
  }
  return s;
}

TEST(AudioStep, EachAudioModeDrawsTheBandsItsWay) {
  struct Case {
    std::uint8_t audio_mode;
    const char* column0;  // full band
    const char* column5;  // half
    const char* column1;  // silent
  };
  const Case cases[] = {
      {0, "FFFFFF", "BBBFFF", "BBBBBB"},
      {1, "FFFFFF", "FFFBBB", "BBBBBB"},
      {6, "FBBBBB", "BBBFBB", "BBBBBB"},
      {4, "FFFFFF", "??????", "BBBBBB"},
  };
  for (const Case& c : cases) {
    std::array<Rgba, kMaxLeds> frame{};
    KeyboardEffectState s;
    AudioStep(Bright(), AudioLook{c.audio_mode, kBack, kFore, false}, Bands(), s, frame);
    // Cells without a light show as ' ': compare only where the grid has one.
    const auto same = [](const std::string& got, const char* want) {
      for (std::size_t i = 0; i < got.size(); ++i)
        if (got[i] != ' ' && got[i] != want[i]) return false;
      return true;
    };
    EXPECT_TRUE(same(Column(frame, 0), c.column0)) << int{c.audio_mode} << ": " << Column(frame, 0);
    EXPECT_TRUE(same(Column(frame, 5), c.column5)) << int{c.audio_mode} << ": " << Column(frame, 5);
    EXPECT_TRUE(same(Column(frame, 1), c.column1)) << int{c.audio_mode} << ": " << Column(frame, 1);
    // A band at 2^31 - 1 is simply full.
    EXPECT_NE(Column(frame, 9).find('F'), std::string::npos) << int{c.audio_mode};
    EXPECT_EQ(frame[EffectCell(0, kEffectRows - 1)].a, 255);
  }
  EXPECT_EQ(AudioBarHeight(-5), 0);
  EXPECT_EQ(AudioBarHeight(kMaxInt), kEffectRows);
  const AudioLook look = AudioLookOf(0x28000002u, 0x010000FAu);
  EXPECT_EQ(look.audio_mode, 2);
  EXPECT_EQ(look.back, kBack);
  EXPECT_EQ(look.fore, kFore);
  EXPECT_TRUE(look.seven_colors);
}

// A synced keyboard in mode 29 with an audio look, its exchange log cleared.
struct Audio : KeyboardRig {
  explicit Audio(std::uint8_t audio_mode) {
    EXPECT_TRUE(Open());
    EXPECT_EQ(Sync(), hid::RESULT_OK);
    device().SetLightInfo(Bright());
    device().SetAudioLightState(audio_mode | 40u << 24, 250u, 1u);
    kb().ClearExchangeLog();
  }
  // The LED position of the first streamed light in the column, or -1.
  int PositionIn(int column) {
    for (int row = 0; row < kEffectRows; ++row) {
      const std::uint8_t light = EffectCell(column, row);
      const auto it = device().KeyIndexMap(1).find(light);
      if (light < kKeyboardPageKeys && it != device().KeyIndexMap(1).end() && it->second != kNoLight) return it->second;
    }
    return -1;
  }
  std::vector<std::uint8_t> LiveAt(int position) {
    return Memory(Area::kLiveFrame, static_cast<std::size_t>(3 * position), 3);
  }
};

TEST(AudioStep, BandsInModeTwentyNineChangeTheEmulatedKeyboardsLiveFrame) {
  Audio k(0);
  // Two columns with streamed lights: one loud, one silent.
  std::vector<int> columns;
  for (int c = 0; c < kEffectColumns && columns.size() < 2; ++c)
    if (k.PositionIn(c) >= 0) columns.push_back(c);
  ASSERT_EQ(columns.size(), 2u);
  std::array<int, 500> values{};
  values[static_cast<std::size_t>(columns[0])] = 4000;
  k.device().AudioLevels(values);
  k.device().EffectStep<29>();
  ASSERT_EQ(k.device().SendLedFrame(), hid::RESULT_OK);
  EXPECT_EQ(k.LiveAt(k.PositionIn(columns[0])), (std::vector<std::uint8_t>{249, 0, 0}));
  EXPECT_EQ(k.LiveAt(k.PositionIn(columns[1])), (std::vector<std::uint8_t>{0, 0, 39}));
  // Silence: the bar (full height, the whole column) is gone from the keyboard too.
  values[static_cast<std::size_t>(columns[0])] = 0;
  k.device().AudioLevels(values);
  k.device().EffectStep<29>();
  ASSERT_EQ(k.device().SendLedFrame(), hid::RESULT_OK);
  EXPECT_EQ(k.LiveAt(k.PositionIn(columns[0])), (std::vector<std::uint8_t>{0, 0, 39}));
}

TEST(AudioStep, BeatsOfAudioModeTwoCountBandsOfAnySizeWithoutOverflow) {
  Audio k(2);
  int light = -1;
  for (const auto& [page_light, position] : k.device().KeyIndexMap(1))
    if (position == 51) light = page_light;
  ASSERT_GE(light, 0);
  // Bands at 2^31 - 1: each frame adds 25 - 500 x 25 / 600 = 5; the 15th passes 70.
  std::array<int, 500> values{};
  std::fill_n(values.begin(), 25, kMaxInt);
  for (int frame = 1; frame <= 15; ++frame) {
    k.device().AudioLevels(values);
    EXPECT_EQ(k.device().EffectSnapshot().level[static_cast<std::size_t>(light)], frame < 15 ? 0 : 255) << frame;
  }
}

}  // namespace
}  // namespace brimvex::devices::test
