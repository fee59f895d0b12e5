#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "channel_fixture.h"
#include "platform/trace.h"

namespace brimvex::hid {
namespace {

using emulator::Area;
using emulator::Fault;
using emulator::FaultKind;
using test::ChannelFixture;
using test::Link;
using test::Product;
using Packets = std::vector<std::pair<int, int>>;

// A valid macro/recoil block of `total` bytes with two entries of m0 and m1 events.
std::vector<std::uint8_t> Block(int m0, int m1) {
  const int total = 20 + 8 + 4 * (m0 + m1);
  std::vector<std::uint8_t> b(static_cast<std::size_t>(total), 0);
  auto le16 = [&](std::size_t at, int v) {
    b[at] = static_cast<std::uint8_t>(v & 0xFF);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
  };
  b[0] = 0xAA;
  b[1] = 0x55;
  le16(2, total);
  le16(4, 2);
  le16(16, 20);
  le16(18, 24 + 4 * m0);
  le16(20, m0);
  le16(static_cast<std::size_t>(24 + 4 * m0), m1);
  return b;
}

TEST(CommandSet, ChunkedTransfersCutPacketsByTheLinkMode) {
  struct Case {
    const char* what;
    Product product;
    Link link;
    std::uint8_t code;
    Packets expected;
  };
  const Case cases[] = {
      {"read info wired", Product::kKeyboard, Link::kCable, CMD_READ_INFO, {{34, 0}}},
      {"read info 2.4 GHz", Product::kMouse, Link::kReceiver, CMD_READ_INFO, {{24, 0}, {10, 24}}},
      {"write param 66 at 256", Product::kMouse, Link::kReceiver, CMD_WRITE_PARAM, {{24, 256}, {24, 280}, {18, 304}}},
      {"write shoot 120", Product::kMouse, Link::kReceiver, CMD_WRITE_SHOOT, {{56, 0}, {56, 56}, {8, 112}}},
      {"key colours slot 2",
       Product::kKeyboard,
       Link::kCable,
       CMD_WRITE_KEY_COLORS,
       {{56, 1024}, {56, 1080}, {56, 1136}, {56, 1192}, {56, 1248}, {56, 1304}, {42, 1360}}},
      {"key positions of 378",
       Product::kKeyboard,
       Link::kCable,
       CMD_READ_KEY_POSITIONS,
       {{56, 0}, {56, 56}, {14, 112}}},
      {"key map 2.4 GHz", Product::kKeyboard, Link::kReceiver, CMD_READ_KEYMAP, {}},
  };
  for (const Case& c : cases) {
    ChannelFixture f(c.product, c.link);
    if (c.product == Product::kKeyboard) {
      ASSERT_EQ(f.channel.SetKeyMapSize(378), 1);
    }
    int result = RESULT_FAILED;
    Packets expected = c.expected;
    switch (c.code) {
      case CMD_READ_INFO: {
        InfoBlock info{};
        result = f.channel.ReadInfo(info);
        EXPECT_EQ(std::vector<std::uint8_t>(info.begin(), info.end()), f.device.Memory(Area::kInfo)) << c.what;
        break;
      }
      case CMD_WRITE_PARAM: {
        std::vector<std::uint8_t> data(66);
        for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i + 1);
        result = f.channel.WriteParam(data, 256);
        const auto mem = f.device.Memory(Area::kParameters);
        EXPECT_TRUE(std::equal(data.begin(), data.end(), mem.begin() + 256)) << c.what;
        break;
      }
      case CMD_WRITE_SHOOT: {
        const auto block = Block(11, 12);
        ASSERT_EQ(block.size(), 120u);
        result = f.channel.WriteShoot(block);
        EXPECT_TRUE(f.device.Recoil().valid) << f.device.Recoil().error;
        break;
      }
      case CMD_WRITE_KEY_COLORS: {
        std::vector<std::uint8_t> colours(378, 0x7E);
        result = f.channel.WriteKeyColors(colours, 2);
        const auto mem = f.device.Memory(Area::kColorSlots);
        EXPECT_EQ(mem[1024], 0x7E);
        EXPECT_EQ(mem[1024 + 377], 0x7E);
        EXPECT_EQ(mem[1024 + 378], 0);
        break;
      }
      case CMD_READ_KEY_POSITIONS: {
        std::vector<std::uint8_t> positions(126);
        result = f.channel.ReadKeyPositions(positions);
        const auto mem = f.device.Memory(Area::kKeyPositions);
        EXPECT_TRUE(std::equal(positions.begin(), positions.end(), mem.begin())) << c.what;
        break;
      }
      case CMD_READ_KEYMAP: {
        std::vector<std::uint8_t> map(378);
        result = f.channel.ReadKeyMap(map);
        for (int off = 0; off < 378; off += 24) expected.emplace_back(std::min(24, 378 - off), off);
        EXPECT_EQ(expected.size(), 16u);  // 16 packets through the receiver
        break;
      }
    }
    EXPECT_EQ(result, RESULT_OK) << c.what;
    EXPECT_EQ(f.Packets(c.code), expected) << c.what;
  }
}

TEST(CommandSet, RefusalsSendNothing) {
  ChannelFixture f(Product::kKeyboard);
  std::vector<std::uint8_t> map(512);
  EXPECT_EQ(f.channel.WriteKeyMap(map, 1), RESULT_BAD_PAGE);
  EXPECT_TRUE(f.channel.LinkQuery());  // wired: reachable without asking
  EXPECT_TRUE(f.device.ExchangeLog().empty());
}

TEST(CommandSet, DeviceStatusOnAnyPacketStopsTheTransfer) {
  struct Case {
    FaultKind kind;
    int packet;
    int expected;
    std::size_t sent;
  };
  for (const Case c :
       {Case{FaultKind::kStatusFE, 1, RESULT_DEVICE_FE, 2}, Case{FaultKind::kStatusFF, 0, RESULT_DEVICE_FF, 1},
        Case{FaultKind::kStatusFE, 2, RESULT_DEVICE_FE, 3}}) {
    ChannelFixture f(Product::kKeyboard);
    f.device.InjectFault(Fault{c.kind, c.packet});
    std::vector<std::uint8_t> data(150, 1);
    EXPECT_EQ(f.channel.WriteParam(data, 0), c.expected);
    EXPECT_EQ(f.Packets(CMD_WRITE_PARAM).size(), c.sent);
  }
  ChannelFixture f(Product::kKeyboard);
  f.device.InjectFault(Fault{FaultKind::kStatusFF});
  EXPECT_EQ(f.channel.Begin(), RESULT_DEVICE_FF);
}

TEST(CommandSet, SinglePacketCommandsReachTheDevice) {
  ChannelFixture f(Product::kKeyboard);
  f.device.SetBattery(64);
  f.device.SetChargeState(1);
  EXPECT_EQ(f.channel.Begin(), RESULT_OK);
  EXPECT_TRUE(f.device.InTransaction());
  EXPECT_EQ(f.channel.LightControl(), RESULT_OK);
  EXPECT_TRUE(f.device.LightControl());
  std::array<std::uint8_t, kStatusBlockSize> status{};
  EXPECT_EQ(f.channel.ReadStatus(status), RESULT_OK);
  EXPECT_EQ(status[0], 64);
  EXPECT_EQ(status[1], 1);
  EXPECT_EQ(f.channel.End(), RESULT_OK);
  EXPECT_FALSE(f.device.InTransaction());
  EXPECT_EQ(f.Packets(CMD_READ_STATUS), (Packets{{6, 0}}));
}

TEST(CommandSet, StreamedPacketsAreDroppedWhileAConfigurationExchangeRuns) {
  ChannelFixture f(Product::kKeyboard);
  // The configuration answer comes late; the frame counts only when the exchange is seen still
  // waiting after the frame's last packet (the channel is busy once per exchange), else the
  // scheduler held the test past the answer and the round is run again.
  f.device.SetLatency(platform::Millis(600));
  std::vector<std::uint8_t> frame(378, 9);
  bool held = false;
  for (int round = 0; round < 5 && !held; ++round) {
    platform::TraceCapture trace;
    const std::size_t streamed = f.device.StreamedPackets();
    const std::size_t logged = f.Packets(CMD_STREAM_KEY_COLORS).size();
    std::thread config([&] {
      std::uint8_t byte = 0;
      EXPECT_EQ(f.channel.ReadParam(std::span(&byte, 1), 0), RESULT_OK);
    });
    while (!f.channel.IsBusy()) std::this_thread::yield();
    EXPECT_EQ(f.channel.StreamKeyColors(frame), RESULT_OK);
    held = f.channel.IsBusy();
    config.join();
    if (!held) continue;
    EXPECT_EQ(trace.Count("放弃灯光数据"), 7u);  // every packet of the frame
    EXPECT_EQ(f.device.StreamedPackets(), streamed);
    EXPECT_EQ(f.Packets(CMD_STREAM_KEY_COLORS).size(), logged);
    // Streaming is quiet: the only report dump is the configuration exchange's.
    EXPECT_EQ(trace.Count("命令"), 1u);
  }
  ASSERT_TRUE(held) << "no round kept the exchange waiting through the frame";
  f.device.SetLatency(platform::Millis(0));
  const std::size_t streamed = f.device.StreamedPackets();
  EXPECT_EQ(f.channel.StreamKeyColors(frame), RESULT_OK);
  EXPECT_EQ(f.device.StreamedPackets(), streamed + 7);
}

}  // namespace
}  // namespace brimvex::hid
