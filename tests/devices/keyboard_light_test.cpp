// The keyboard's lights: the live frame in the host-driven modes, the custom colour groups, its
// own effects and their pace.
#include <gtest/gtest.h>

#include <algorithm>

#include "devices/device_key_button.h"
#include "devices/keyboard_effects.h"
#include "devices/keyboard_layout.h"
#include "devices/keyboard_rig.h"
#include "hid/command_codes.h"
#include "profiles/file_helpers.h"

namespace brimvex::devices::test {
namespace {

using emulator::Area;
using platform::Millis;

constexpr Rgba kColor{200, 100, 50, 128};

// A synced keyboard in `mode`, every light at kColor, the exchange log cleared.
struct Lit : KeyboardRig {
  explicit Lit(std::uint8_t mode, Link link = Link::kCable) : KeyboardRig(link) {
    EXPECT_TRUE(Open());
    EXPECT_EQ(Sync(), hid::RESULT_OK);
    LightInfo info = device().GetLightState();
    info.mode = mode;
    info.red = 10;
    info.green = 20;
    info.blue = 30;
    info.brightness = 4;
    device().SetLightInfo(info);
    for (int i = 0; i < 170; ++i) device().SetLedColor(i, kColor);
    kb().ClearExchangeLog();
  }
  // The LED position of a page light (map 1).
  int Position(int light) { return device().KeyIndexMap(1).at(light); }
};

TEST(KeyboardFrame, StreamedOnlyWhileTheHostDrivesTheKeysOnEitherLink) {
  struct Case {
    std::uint8_t mode;
    Link link;
    std::size_t packets;  // of CMD_STREAM_KEY_COLORS
  };
  const Case cases[] = {
      {29, Link::kCable, 7}, {30, Link::kCable, 7}, {30, Link::kReceiver, 16}, {5, Link::kCable, 0}, {1, Link::kReceiver, 0},
      {6, Link::kCable, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.mode) + (c.link == Link::kCable ? " cable" : " receiver"));
    Lit k(c.mode, c.link);
    if (c.mode == 6) k.device().CommandChannelRef().SetLightSync(true);  // synchronised lighting
    ASSERT_TRUE(k.rig.BuildPage());
    EXPECT_EQ(k.device().SendLedFrame(), hid::RESULT_OK);
    EXPECT_EQ(k.CountOf(hid::CMD_STREAM_KEY_COLORS), c.packets);
    EXPECT_EQ(k.device().LightButton(3)->LedColor(), kColor) << "the page shows the frame in every mode";
    if (c.packets == 0) continue;
    // 378 bytes laid out by map 1: a light's scaled colour at 3 x its LED position.
    const int q = k.Position(43);
    ASSERT_NE(q, kNoLight);
    EXPECT_EQ(k.Memory(Area::kLiveFrame, static_cast<std::size_t>(3 * q), 3), (std::vector<std::uint8_t>{100, 50, 25}));
    EXPECT_EQ(k.kb().ExchangeLog().back().note, "");
  }
}

TEST(KeyboardFrame, HostLightControlOffSendsNothing) {
  Lit k(30);
  EXPECT_EQ(k.device().SetHostLightControl(false), hid::RESULT_OK);
  EXPECT_EQ(k.device().SendLedFrame(), hid::RESULT_OK);
  EXPECT_TRUE(k.Codes().empty());
}

TEST(KeyboardCustomColors, AKeyGoesToItsGroupSlotAndTheGroupToSlotZero) {
  Lit k(19);
  k.device().SelectCustomGroup(2);
  k.device().SetCustomKeyColor(43);
  // The group slot takes the colours as they are, 3 x key count bytes at 2 x 512.
  const int q = k.Position(43);
  EXPECT_EQ(k.Memory(Area::kColorSlots, 1024 + static_cast<std::size_t>(3 * q), 3),
            (std::vector<std::uint8_t>{10, 20, 30}));
  auto packets = k.Packets();
  ASSERT_FALSE(packets.empty());
  EXPECT_EQ(packets.front(), (Packet{hid::CMD_WRITE_KEY_COLORS, 56, 1024}));
  EXPECT_EQ(packets.back(), (Packet{hid::CMD_WRITE_KEY_COLORS, 42, 1024 + 336}));
  // The profile holds the group, and sending the colours goes to slot 0 scaled by brightness.
  const auto stored = k.device().Profile().GetCustomColors(2, 170);
  EXPECT_EQ(stored[43].red, 10);
  EXPECT_EQ(k.device().SendCustomColors(), hid::RESULT_OK);
  EXPECT_EQ(k.Memory(Area::kColorSlots, static_cast<std::size_t>(3 * q), 3), (std::vector<std::uint8_t>{9, 19, 29}));
  // Outside mode 19 a key click changes nothing.
  LightInfo info = k.device().GetLightState();
  info.mode = 5;
  k.device().SetLightInfo(info);
  k.kb().ClearExchangeLog();
  k.device().SetCustomKeyColor(44);
  EXPECT_EQ(k.device().SendCustomColors(), hid::RESULT_OK);
  EXPECT_TRUE(k.Codes().empty());
}

TEST(KeyboardEffects, PaceIsSixteenMillisecondTicksOfTheModeTable) {
  // Speed 0..4: thresholds 5..1 of 16 ms ticks, near the mouse's 56..14 ms.
  for (int speed = 0; speed < 5; ++speed) {
    EXPECT_EQ(COmbrixKeyboardDevice::StepPeriod(1, speed), Millis(16 * (5 - speed)));
    EXPECT_EQ(COmbrixKeyboardDevice::StepPeriod(16, speed), Millis(64));
  }
  EXPECT_EQ(COmbrixKeyboardDevice::StepPeriod(17, 4), Millis(16));
  EXPECT_EQ(COmbrixKeyboardDevice::StepPeriod(29, 0), Millis(32));
  EXPECT_EQ(COmbrixKeyboardDevice::StepPeriod(0, 0), Millis(0)) << "no row: the custom engine sets its own pace";
}

// The user-defined effect engine, stepped by hand.
class SteppedKeyboard : public COmbrixKeyboardDevice {
 public:
  using COmbrixKeyboardDevice::COmbrixKeyboardDevice;
  using COmbrixKeyboardDevice::CustomEffectStep;
};

TEST(KeyboardEffects, AUserDefinedEffectPlaysItsStepsForTheirDurations) {
  ScopedDataHome home;
  DeviceRig<SteppedKeyboard> rig(Product::kKeyboard, 170, 170);
  SteppedKeyboard& d = *rig.device;
  d.SetDeviceFolderName("keyboard");
  d.SetLightFileName("quelt_light");
  ASSERT_TRUE(rig.BuildPage());
  ASSERT_TRUE(rig.OpenCommand());
  // The first custom effect (mode 31, past the 31 listed modes): breathing 100 ms, then blink.
  Json::Value config;
  config["LightInfo"][0][0]["LightName"] = "mine";
  config["LightInfo"][0][0]["Guid"] = "fx";
  ASSERT_TRUE(profiles::WriteJson(d.DataFolder() + "quelt_light.config", config));
  Json::Value fx;
  for (int code : {0, 2}) {
    Json::Value step;
    step["LEDREGMode"] = code;
    step["LEDBrightness"] = 4;
    step["LEDSpeed"] = 4;
    step["red"] = 255;
    step["Time"] = 100;
    fx["LEDEffectList"].append(step);
  }
  ASSERT_TRUE(profiles::WriteJson(d.DataFolder() + "fx.light", fx));
  d.InitialSync();
  d.StopLightWorker();
  LightInfo info = d.Profile().GetLightInfo();
  info.mode = 31;
  d.Profile().SetLightInfo(info);
  d.ApplyLightSettings();
  ASSERT_EQ(d.CustomEffects().size(), 2u);

  EXPECT_EQ(d.CustomEffectStep(), Millis(16)) << "speed 4: every tick";
  const Rgba breathing = d.GetLedColor(0);
  EXPECT_EQ(breathing.r, 255);
  EXPECT_LT(breathing.a, 255) << "breathing starts dark";
  rig.loop.AdvanceClock(Millis(101));
  d.CustomEffectStep();  // past 100 ms: the blink step, on at once
  EXPECT_EQ(d.GetLedColor(0), (Rgba{255, 0, 0, 255}));
  // A listed mode empties the list and the engine shows nothing.
  info.mode = 0;
  d.Profile().SetLightInfo(info);
  d.ApplyLightSettings();
  EXPECT_EQ(d.CustomEffectStep(), platform::kInfinite);
  EXPECT_EQ(d.GetLedColor(0), Rgba{});
}

TEST(KeyboardEffects, PerLightOverlaysBreatheBlinkAndCycle) {
  std::vector<profiles::LedEntry> entries(4);
  for (std::size_t i = 0; i < 3; ++i) {
    entries[i].present = 1;
    entries[i].mode = static_cast<std::uint8_t>(i + 1);
    entries[i].brightness = 4;
    entries[i].speed = 4;
    entries[i].red = 9;
  }
  entries[3].mode = kOverlayBreathing;  // not present: left alone
  OverlayState s;
  std::vector<Rgba> frame(4, Rgba{1, 1, 1, 1});
  OverlayStep(entries, s, 0, frame);
  EXPECT_EQ(s.phase[0], 1);
  EXPECT_EQ(frame[0], (Rgba{9, 0, 0, static_cast<std::uint8_t>(BreathingCurve()[1] * 255 / 256)}));
  EXPECT_EQ(frame[1], Rgba{}) << "blink waits out its first period";
  EXPECT_EQ(frame[2].a, 255);
  EXPECT_EQ(frame[3], (Rgba{1, 1, 1, 1}));
  OverlayStep(entries, s, 1400, frame);  // speed 4: 1400 ms
  EXPECT_EQ(frame[1], (Rgba{9, 0, 0, 255}));
  EXPECT_EQ(s.phase[2], 2);
}

LightInfo Info(std::uint8_t multi, std::uint8_t direction = 1) {
  LightInfo i{};
  i.brightness = 4;
  i.multi_color = multi;
  i.direction = direction;
  i.red = 1;
  i.green = 2;
  i.blue = 3;
  return i;
}

TEST(KeyboardEffects, WavesAdvanceTheirEntriesPerColumnRowKeyAndRing) {
  struct Case {
    int mode;
    int spread;  // wheel entries between neighbours
  };
  for (const Case& c : {Case{1, 7}, Case{2, 2}, Case{12, 24}, Case{18, 7}}) {
    SCOPED_TRACE(c.mode);
    KeyboardEffectState s;
    std::vector<Rgba> frame(170);
    KeyboardEffectStep(c.mode, Info(1), s, frame);
    EXPECT_EQ(s.wave_phase, 1);
    // Two neighbours along the effect's axis differ by `spread` wheel entries.
    int a = 0;
    int b = 0;
    if (c.mode == 12) {
      a = EffectCell(4, 1);
      b = EffectCell(4, 2);
    } else if (c.mode == 18) {
      const auto& rings = RadialRings();
      a = static_cast<int>(std::find(rings.begin(), rings.end(), 1) - rings.begin());
      b = static_cast<int>(std::find(rings.begin(), rings.end(), 2) - rings.begin());
    } else {
      a = EffectCell(4, 1);
      b = EffectCell(5, 1);
    }
    const auto at = [&](int steps) { return static_cast<std::size_t>(1 + c.spread * steps); };
    const bool columns = c.mode == 1 || c.mode == 2;
    const Rgb wa = ColorWheel()[at(columns ? 4 : 1)];
    const Rgb wb = ColorWheel()[at(columns ? 5 : 2)];
    EXPECT_EQ(frame[static_cast<std::size_t>(a)], (Rgba{wa.r, wa.g, wa.b, 255}));
    EXPECT_EQ(frame[static_cast<std::size_t>(b)], (Rgba{wb.r, wb.g, wb.b, 255}));
  }
  // Single colour: the 96-step wave curve as brightness, phase limit 96 backwards.
  KeyboardEffectState s;
  std::vector<Rgba> frame(170);
  KeyboardEffectStep(1, Info(0, 0), s, frame);
  EXPECT_EQ(s.wave_phase, 95);
  const int light = EffectCell(0, 1);
  EXPECT_EQ(frame[static_cast<std::size_t>(light)], (Rgba{1, 2, 3, static_cast<std::uint8_t>(WaveCurve()[95] * 255 / 256)}));
}

TEST(KeyboardEffects, ReactiveStepsFollowTheirRules) {
  std::vector<Rgba> frame(170);
  // Hold glow: a held key brightens by 15 up to 255, a released one dims by 5.
  KeyboardEffectState s;
  s.level[3] = 250;
  s.held[3] = 1;
  s.level[4] = 100;
  KeyboardEffectStep(7, Info(0), s, frame);
  EXPECT_EQ(s.level[3], 255);
  EXPECT_EQ(s.level[4], 95);
  // A press in mode 7 lights the key at 255 and holds it.
  KeyEvent(7, 10, true, s);
  EXPECT_EQ(s.level[10], 255);
  EXPECT_EQ(s.held[10], 1);
  KeyEvent(7, 10, false, s);
  EXPECT_EQ(s.held[10], 0);
  // Rain: six keys a step at 255.
  KeyboardEffectState rain;
  KeyboardEffectStep(10, Info(1), rain, frame);
  EXPECT_LE(std::count(rain.level.begin(), rain.level.end(), 255), 6);
  EXPECT_GE(std::count(rain.level.begin(), rain.level.end(), 255), 1);
  // A ripple spreads one ring a step (mode 13 every second step) from the pressed key.
  for (int mode : {9, 13}) {
    KeyboardEffectState r;
    const int pressed = EffectCell(10, 2);
    KeyEvent(mode, pressed, true, r);
    KeyboardEffectStep(mode, Info(0), r, frame);
    KeyboardEffectStep(mode, Info(0), r, frame);
    EXPECT_EQ(r.ripples[0].radius, mode == 9 ? 2 : 1) << mode;
    EXPECT_EQ(r.level[EffectCell(10 + r.ripples[0].radius, 2)], 255) << mode;
  }
  // Splash: the key and its neighbours light up.
  KeyboardEffectState splash;
  KeyEvent(25, EffectCell(10, 2), true, splash);
  for (int c = 9; c <= 11; ++c)
    for (int r = 1; r <= 3; ++r) EXPECT_EQ(splash.level[EffectCell(c, r)], 255);
  EXPECT_EQ(splash.level[EffectCell(12, 2)], 0);
}

TEST(KeyboardEffects, PerKeyCyclesAndFixedColours) {
  std::vector<Rgba> frame(170);
  KeyboardEffectState s;
  StartMode(11, s);
  const std::uint8_t before = s.color[5];
  KeyboardEffectStep(11, Info(1), s, frame);
  EXPECT_EQ(s.color[5], (before + 1) % 192);
  // Key breathing: +2 a step (fast), +1 (slow) on each key's own phase.
  for (auto [mode, step] : {std::pair{15, 2}, std::pair{22, 1}}) {
    KeyboardEffectState b;
    StartMode(mode, b);
    b.phase[7] = 10;
    KeyboardEffectStep(mode, Info(0), b, frame);
    EXPECT_EQ(b.phase[7], 10 + step);
    EXPECT_EQ(frame[7].a, PulseCurve()[static_cast<std::size_t>(10 + step)] * 255 / 256);
  }
  // ZZCC: one wheel colour for every light by the sub-mode.
  for (auto [sub, entry] : {std::pair{1, 25}, std::pair{2, 70}, std::pair{3, 95}, std::pair{0, 174}}) {
    LightInfo i = Info(0);
    i.zzcc_mode = static_cast<std::uint8_t>(sub);
    KeyboardEffectStep(17, i, s, frame);
    const Rgb w = ColorWheel()[static_cast<std::size_t>(entry)];
    EXPECT_EQ(frame[100], (Rgba{w.r, w.g, w.b, 255}));
  }
  // Host colours and custom colours keep the colours at the brightness level.
  std::fill(frame.begin(), frame.end(), Rgba{7, 8, 9, 1});
  LightInfo dim = Info(0);
  dim.brightness = 1;
  KeyboardEffectStep(30, dim, s, frame);
  EXPECT_EQ(frame[0], (Rgba{7, 8, 9, 63}));
  // The sweep dims lit keys by 5 and turns their colour by 3 a step, lighting 12 new ones.
  KeyboardEffectState w;
  w.level[0] = 100;
  w.color[0] = 10;
  KeyboardEffectStep(24, Info(1), w, frame);
  if (std::find(SweepTable()[1].begin(), SweepTable()[1].end(), 0) == SweepTable()[1].end()) {
    EXPECT_EQ(w.level[0], 95);
    EXPECT_EQ(w.color[0], 13);
  }
  EXPECT_EQ(std::count(w.level.begin(), w.level.end(), 255), 12);
}

TEST(KeyboardEffects, GeometryCoversEveryKeyOnce) {
  const auto& order = PageLightOrder();
  std::vector<std::uint8_t> sorted(order.begin(), order.end());
  std::sort(sorted.begin(), sorted.end());
  for (std::size_t i = 0; i < sorted.size(); ++i) EXPECT_EQ(sorted[i], i);
  EXPECT_EQ(order[0], 0) << "the first light in board order is Esc";
  for (const auto& step : SweepTable()) {
    std::vector<std::uint8_t> keys(step.begin(), step.end());
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(std::adjacent_find(keys.begin(), keys.end()), keys.end());
  }
  EXPECT_EQ(LedPositionOfKeyPosition(0x5F), 116);
  EXPECT_EQ(LedPositionOfKeyPosition(0x60), kNoLight);
  EXPECT_EQ(LedPositionOfKeyPosition(0x41), kNoLight) << "row 4 column 1 has no light";
}

}  // namespace
}  // namespace brimvex::devices::test
