// The mouse pad on its emulated product: the settings record that reaches the pad after each kind
// of light edit, the kept bytes, Resync's read and its message, and the pad's own effects.
#include <gtest/gtest.h>

#include <numeric>

#include "devices/device_rig.h"
#include "devices/keyboard_rig.h"
#include "devices/mouse_pad_device.h"
#include "hid/command_codes.h"

namespace brimvex::devices::test {
namespace {

using emulator::Area;


struct PadRig {
  PadRig() : rig(Product::kMousePad, 0, 15) {
    rig.device->SetDeviceFolderName("MousePad");
    rig.device->SetLightFileName("quelt_light");
    rig.device->SetLightTableIndex(2);
    rig.device->SetMainWindowMessages([this](std::uint32_t m, std::int64_t p) { messages.emplace_back(m, p); });
    EXPECT_TRUE(rig.BuildPage());
    EXPECT_TRUE(rig.OpenCommand());
    pad().LoadNameLists();
    pad().ReloadProfile();
  }
  COmbrixMousePadDevice& pad() { return *rig.device; }
  std::vector<std::uint8_t> Record(int p) const { return rig.product_device.SettingsRecord(p); }
  // Stores the record in the device and its profile, as an edit does, and writes profile 0.
  int Edit(const LightInfo& info) {
    pad().SetLightInfo(info);
    pad().Profile().SetLightInfo(info);
    pad().ApplyLightSettings();
    return pad().WriteSettings(0, 0, 1, 0, 0);
  }

  ScopedDataHome home;
  DeviceRig<COmbrixMousePadDevice> rig;
  std::vector<std::pair<std::uint32_t, std::int64_t>> messages;
};

LightInfo Light(std::uint8_t mode, std::uint8_t brightness, std::uint8_t speed, std::uint8_t multi, std::uint8_t r,
                std::uint8_t g, std::uint8_t b, std::uint8_t direction = 1) {
  LightInfo info{};
  info.mode = mode;
  info.brightness = brightness;
  info.speed = speed;
  info.direction = direction;
  info.multi_color = multi;
  info.red = r;
  info.green = g;
  info.blue = b;
  return info;
}

TEST(MousePad, EachKindOfEditReachesThePadAsItsRecord) {
  // The shipped pad list numbers its effects from 16: entry k has code 16 + k.
  struct Case {
    const char* what;
    LightInfo info;
    std::vector<std::uint8_t> bytes_0_to_8;
  };
  const Case cases[] = {
      {"mode 3, colour", Light(3, 4, 2, 0, 0x12, 0x34, 0x56), {0, 19, 4, 2, 0, 0, 0x12, 0x34, 0x56}},
      {"brightness 1", Light(2, 1, 2, 0, 255, 0, 0), {0, 18, 1, 2, 0, 0, 255, 0, 0}},
      {"speed 4 is sent as 0", Light(2, 4, 4, 0, 255, 0, 0), {0, 18, 4, 0, 0, 0, 255, 0, 0}},
      {"speed 0 is sent as 4", Light(2, 4, 0, 0, 255, 0, 0), {0, 18, 4, 4, 0, 0, 255, 0, 0}},
      {"7-colour", Light(0, 4, 2, 1, 1, 2, 3), {0, 16, 4, 2, 0, 1, 1, 2, 3}},
      {"direction stays the pad's", Light(0, 4, 2, 0, 1, 2, 3, 0), {0, 16, 4, 2, 0, 0, 1, 2, 3}},
      {"mode 8: entry 8's code", Light(8, 4, 2, 0, 0, 0, 0), {0, 24, 4, 2, 0, 0, 0, 0, 0}},
      {"mode 9 has no entry: entry 0's code", Light(9, 4, 2, 0, 0, 0, 0), {0, 16, 4, 2, 0, 0, 0, 0, 0}},
      {"mode 200 likewise", Light(200, 4, 2, 0, 0, 0, 0), {0, 16, 4, 2, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    PadRig r;
    // Factory bytes the write must not keep: a pad never read writes 0 in bytes 0 and 9..20.
    std::vector<std::uint8_t> ones(21, 0x5A);
    r.rig.product_device.SetMemory(Area::kParameters, 0, ones);
    ASSERT_EQ(r.Edit(c.info), hid::RESULT_OK);
    const auto record = r.Record(0);
    EXPECT_EQ(std::vector<std::uint8_t>(record.begin(), record.begin() + 9), c.bytes_0_to_8);
    EXPECT_EQ(std::vector<std::uint8_t>(record.begin() + 9, record.end()), std::vector<std::uint8_t>(12, 0));
  }
}

TEST(MousePad, ResyncAtProfile2ReadsOffset58AndKeepsItsBytesForTheNextWrite) {
  PadRig r;
  r.rig.product_device.SetMemory(Area::kParameters, 0, std::vector<std::uint8_t>{2});
  std::vector<std::uint8_t> read(29);
  std::iota(read.begin(), read.end(), std::uint8_t{100});
  read[1] = 22;  // code of entry 6
  read[3] = 1;   // speed 3
  r.rig.product_device.SetMemory(Area::kParameters, 58, read);
  const LightInfo before = r.pad().GetLightState();
  r.rig.product_device.ClearExchangeLog();

  ASSERT_EQ(r.pad().Resync(), hid::RESULT_OK);

  std::vector<std::tuple<int, int, int>> reads;
  for (const auto& ex : r.rig.product_device.ExchangeLog())
    if (ex.request[3] == hid::CMD_READ_PARAM) reads.emplace_back(ex.request[4], ex.request[5] | ex.request[6] << 8, 0);
  EXPECT_EQ(reads, (std::vector<std::tuple<int, int, int>>{{1, 0, 0}, {29, 58, 0}}));
  EXPECT_EQ(r.messages, (std::vector<std::pair<std::uint32_t, std::int64_t>>{{kPadProfileMessage, 2}}));
  const PadRecord kept = r.pad().KeptRecord();
  EXPECT_EQ(kept[0], 2);
  EXPECT_EQ(kept[1], 6);  // the mode index of code 22
  EXPECT_EQ(kept[3], 3);
  EXPECT_EQ(r.pad().GetLightState(), before);  // the read changes neither light nor profile

  // The next write carries the kept bytes 0, 4 and 9..20 to profile 0 at offset 0.
  ASSERT_EQ(r.Edit(Light(3, 4, 2, 0, 9, 9, 9)), hid::RESULT_OK);
  const auto record = r.Record(0);
  EXPECT_EQ(record[0], 2);
  EXPECT_EQ(record[1], 19);
  EXPECT_EQ(record[4], read[4]);
  EXPECT_EQ(std::vector<std::uint8_t>(record.begin() + 9, record.end()),
            std::vector<std::uint8_t>(read.begin() + 9, read.begin() + 21));
}

TEST(MousePad, AWriteThePadRefusesIsReportedAsFailed) {
  PadRig r;
  r.rig.product_device.InjectFault({emulator::FaultKind::kStatusFE, 1, 1});  // the CMD_WRITE_PARAM
  EXPECT_EQ(r.Edit(Light(3, 4, 2, 0, 1, 2, 3)), hid::RESULT_DEVICE_FE);
}

TEST(MousePad, OwnEffectsLightThePadAndRunRoundItsEdge) {
  PadRig r;
  auto frame = [&] { return r.pad().FrameSnapshot(); };
  const auto lit = [](const std::vector<Rgba>& f) {
    std::vector<std::size_t> on;
    for (std::size_t i = 0; i < f.size(); ++i)
      if (f[i].a != 0) on.push_back(i);
    return on;
  };
  r.pad().SetLightInfo(Light(0, 4, 2, 1, 0, 0, 0));
  r.pad().DeviceEffect1();
  const auto wave = frame();
  ASSERT_EQ(wave.size(), 15u);
  EXPECT_EQ(wave[0].a, 255);
  EXPECT_NE((Rgb{wave[0].r, wave[0].g, wave[0].b}), (Rgb{wave[1].r, wave[1].g, wave[1].b}));  // 7 wheel entries on

  // The ripple's peak moves one light on every second step, forward with direction 1.
  r.pad().SetLightInfo(Light(6, 4, 2, 0, 255, 0, 0));
  std::vector<std::size_t> peaks;
  for (int step = 0; step < 8; ++step) {
    r.pad().DeviceEffect2();
    const auto f = frame();
    std::size_t peak = 0;
    for (std::size_t i = 1; i < f.size(); ++i)
      if (f[i].a > f[peak].a) peak = i;
    if (step % 2 == 1) peaks.push_back(peak);
  }
  EXPECT_EQ(peaks, (std::vector<std::size_t>{0, 1, 2, 3}));

  // The group ripple lights whole groups: the first step that lights anything lights group 0.
  r.pad().ApplyLightSettings();
  r.pad().SetLightInfo(Light(7, 4, 2, 0, 255, 0, 0));
  r.pad().DeviceEffect3();
  r.pad().DeviceEffect3();
  const auto g = lit(frame());
  ASSERT_FALSE(g.empty());
  for (std::size_t i : g) EXPECT_EQ(PadGroupOf(i, 15), 0u);
  EXPECT_EQ(g.size(), 3u);
}

}  // namespace
}  // namespace brimvex::devices::test
