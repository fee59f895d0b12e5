#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "channel_fixture.h"
#include "platform/trace.h"

namespace brimvex::hid {
namespace {

using emulator::Fault;
using emulator::FaultKind;
using test::ChannelFixture;
using test::Link;
using test::Product;

TEST(CommandChannel, StateDefaultsKeyMapSizeAndLinkMode) {
  emulator::Emulator emu;
  emulator::EmulatedHidBackend backend(emu);
  CommandChannel ch(backend);
  EXPECT_EQ(ch.KeyMapSize(), 512);
  EXPECT_EQ(ch.ChunkSize(), 24);  // before any link mode
  EXPECT_FALSE(ch.IsOpen());
  EXPECT_EQ(ch.SetKeyMapSize(513), 0);
  EXPECT_EQ(ch.KeyMapSize(), 512);
  EXPECT_EQ(ch.SetKeyMapSize(378), 1);
  EXPECT_EQ(ch.KeyMapSize(), 378);
  struct Case {
    int mode;
    bool wireless;
    int chunk;
  };
  for (const Case c : {Case{2, true, 24}, Case{1, false, 56}, Case{3, false, 56}, Case{0, false, 56}}) {
    ch.SetLinkMode(c.mode);
    EXPECT_EQ(ch.IsWireless(), c.wireless) << c.mode;
    EXPECT_EQ(ch.ChunkSize(), c.chunk) << c.mode;
  }
}

TEST(CommandChannel, AShortRequestIsZeroFilledAndTheDeviceSeesAValidChecksum) {
  ChannelFixture f(Product::kKeyboard);
  Report full = MakeRequest(CMD_READ_STATUS, 1, 0);
  full[8] = 0x5A;  // garbage in the data byte is still covered by the checksum
  StoreChecksum(full);
  Report answer{};
  std::uint32_t read = 0;
  EXPECT_EQ(f.channel.Exchange(std::span(full).first(9), answer, &read), RESULT_OK);
  EXPECT_EQ(read, 64u);
  const auto log = f.device.ExchangeLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].note, "");  // the device accepted the checksum
  ASSERT_EQ(log[0].request.size(), 64u);
  for (std::size_t i = 9; i < 64; ++i) EXPECT_EQ(log[0].request[i], 0) << i;
  EXPECT_EQ(answer[3], CMD_READ_STATUS);
}

TEST(CommandChannel, AStaleAnswerIsSkippedOnce) {
  ChannelFixture f(Product::kKeyboard);
  std::uint8_t byte = 0;
  ASSERT_EQ(f.channel.ReadParam(std::span(&byte, 1), 0), RESULT_OK);  // an answer for 0x05
  f.device.InjectFault(Fault{FaultKind::kStaleAnswer});
  const std::uint8_t value = 2;
  EXPECT_EQ(f.channel.WriteParam(std::span(&value, 1), 0), RESULT_OK);  // 0x06 takes the second answer
  EXPECT_EQ(f.device.Memory(emulator::Area::kParameters)[0], 2);
}

TEST(CommandChannel, TwoForeignAnswersAreAFailureNotSuccess) {
  ChannelFixture f(Product::kKeyboard);
  // Two answers for another request wait in the queue before this exchange's own.
  const Report other = MakeRequest(CMD_READ_PARAM, 1, 0);
  for (int i = 0; i < 2; ++i) ASSERT_EQ(f.channel.Wired().WriteReport(other, nullptr, platform::Millis(1000)), 1);
  Report answer{};
  EXPECT_EQ(f.channel.Exchange(MakeRequest(CMD_BEGIN), answer, nullptr), RESULT_FAILED);
  EXPECT_EQ(answer[3], CMD_READ_PARAM);  // the second foreign answer is what was read
  EXPECT_EQ(f.channel.Exchange(MakeRequest(CMD_BEGIN), answer, nullptr),
            RESULT_OK);  // the first exchange's late echo matches
}

TEST(CommandChannel, ThroughTheReceiverAnUnreachableDeviceIsLinkDown) {
  ChannelFixture f(Product::kMouse, Link::kReceiver);
  f.device.SetPoweredOn(false);
  const std::uint8_t value = 1;
  // A second read would wait out the 5 s time-out and give RESULT_FAILED.
  EXPECT_EQ(f.channel.WriteParam(std::span(&value, 1), 0), RESULT_LINK_DOWN);
  // The link query's own echo 0xAA is a match, not link down; its data says unreachable.
  EXPECT_FALSE(f.channel.LinkQuery());
  f.device.SetPoweredOn(true);
  EXPECT_TRUE(f.channel.LinkQuery());
}

TEST(CommandChannel, ClosedChannelAndWriteTimeOut) {
  ChannelFixture f(Product::kKeyboard);
  f.channel.SetOpen(false);
  EXPECT_EQ(f.channel.Begin(), RESULT_FAILED);
  EXPECT_TRUE(f.device.ExchangeLog().empty());

  f.channel.SetOpen(true);
  f.device.InjectFault(Fault{FaultKind::kWriteTimeout});
  platform::TraceCapture trace;
  EXPECT_EQ(f.channel.Begin(), RESULT_SEND_FAILED);
  EXPECT_EQ(trace.Count("命令"), 1u);
  EXPECT_EQ(trace.Count("返回"), 0u);  // no answer was read
  EXPECT_EQ(f.channel.Begin(), RESULT_OK);
  EXPECT_EQ(trace.Count("返回"), 1u);
}

TEST(CommandChannel, UnplugInTheMiddleOfAKeyMapWriteFailsAndTheChannelRecovers) {
  ChannelFixture f(Product::kKeyboard);
  ASSERT_EQ(f.channel.SetKeyMapSize(378), 1);
  std::vector<std::uint8_t> map(378, 0x11);
  f.device.InjectFault(Fault{FaultKind::kUnplug, 3});
  EXPECT_NE(f.channel.WriteKeyMap(map, 0), RESULT_OK);
  EXPECT_EQ(f.Packets(CMD_WRITE_KEYMAP).size(), 4u);  // nothing after the packet that unplugged it

  f.device.Plug(Link::kCable);
  ASSERT_TRUE(f.Open());
  EXPECT_EQ(f.channel.WriteKeyMap(map, 0), RESULT_OK);
  const auto written = f.device.Memory(emulator::Area::kKeyMap);
  EXPECT_TRUE(std::equal(map.begin(), map.end(), written.begin()));
}

// A light-streaming thread and a configuration thread share one channel: every configuration
// answer is its own, and the stream either lands or is dropped, never fails.
TEST(CommandChannel, LightStreamAndConfigurationThreadsDoNotMixAnswers) {
  ChannelFixture f(Product::kKeyboard);
  f.device.SetLatency(platform::Millis(1));
  ASSERT_EQ(f.channel.SetKeyMapSize(378), 1);
  std::vector<std::uint8_t> expected(378);
  ASSERT_EQ(f.channel.ReadKeyMap(expected), RESULT_OK);

  // The stream thread counts its finished frames; the test waits on that count, never on what
  // the scheduler happened to interleave.
  std::mutex mutex;
  std::condition_variable cv;
  int frames = 0;
  const auto wait_frames = [&](int n) {
    std::unique_lock lock(mutex);
    return cv.wait_for(lock, std::chrono::seconds(20), [&] { return frames >= n; });
  };
  std::atomic<bool> stop{false};
  std::atomic<int> stream_failures{0};
  std::thread light([&] {
    std::vector<std::uint8_t> frame(378, 0x40);
    while (!stop.load()) {
      if (f.channel.StreamKeyColors(frame) != RESULT_OK) ++stream_failures;
      std::lock_guard lock(mutex);
      ++frames;
      cv.notify_all();
    }
  });
  // The stream runs before the configuration loop starts...
  ASSERT_TRUE(wait_frames(1));
  const std::size_t streamed_before = f.device.StreamedPackets();
  EXPECT_GT(streamed_before, 0u);
  int mismatches = 0;
  for (int i = 0; i < 60; ++i) {
    std::vector<std::uint8_t> map(378);
    std::uint8_t profile = 0xEE;
    if (f.channel.ReadKeyMap(map) != RESULT_OK || map != expected) ++mismatches;
    if (f.channel.ReadParam(std::span(&profile, 1), 0) != RESULT_OK || profile != 0) ++mismatches;
  }
  // ... and after it: a frame begun once the loop was over reaches the device whole (the second
  // frame counted from here started after the loop).
  int after_loop = 0;
  {
    std::lock_guard lock(mutex);
    after_loop = frames;
  }
  ASSERT_TRUE(wait_frames(after_loop + 2));
  stop = true;
  light.join();
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(stream_failures.load(), 0);
  EXPECT_GE(f.device.StreamedPackets(), streamed_before + 7);  // 378 bytes in 56-byte packets
}

}  // namespace
}  // namespace brimvex::hid
