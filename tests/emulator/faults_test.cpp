// Fault injection and the transport side of the emulator: what a host sees when things go wrong.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "emulator/emulator.h"
#include "firmware_client.h"

namespace brimvex::emulator {
namespace {

using platform::HidIoResult;
using platform::Millis;
using test::Client;
using test::Request;

TEST(Faults, EachKindHitsTheChosenPacketOnly) {
  struct Case {
    FaultKind kind;
    // What the host sees on packet 1 (packet 0 and 2 are normal): the write result, how many
    // answers, the status and echo of the last one, and whether the write reached memory.
    HidIoResult write;
    int answers;
    std::uint8_t status;
    std::uint8_t echo;
    bool applied;
  };
  const Case cases[] = {
      {FaultKind::kNoAnswer, HidIoResult::kOk, 0, 0, 0, true},
      {FaultKind::kStaleAnswer, HidIoResult::kOk, 2, kStatusOk, 0x06, true},
      {FaultKind::kStatusFE, HidIoResult::kOk, 1, 0xFE, 0x06, false},
      {FaultKind::kStatusFF, HidIoResult::kOk, 1, 0xFF, 0x06, false},
      {FaultKind::kLinkDown, HidIoResult::kOk, 1, 0, 0xAA, false},
      {FaultKind::kWriteTimeout, HidIoResult::kTimedOut, 0, 0, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.kind));
    Emulator emulator;
    EmulatedDevice& mouse = emulator.AddDevice(Product::kMouse);
    mouse.SetLatency(Millis(0));
    mouse.Plug(Link::kReceiver);
    Client client(mouse, Link::kReceiver);
    mouse.InjectFault(Fault{c.kind, 1, 1});

    ASSERT_TRUE(client.Exchange(Request(0x05, 0, {}, 1)));  // packet 0
    const std::uint8_t value = 0x5A;
    EXPECT_EQ(client.connection->Write(Request(0x06, 200, std::span(&value, 1)), Millis(20)), c.write);
    std::vector<test::Report> answers;
    while (auto a = client.ReadAnswer(Millis(20))) answers.push_back(*a);
    ASSERT_EQ(static_cast<int>(answers.size()), c.answers);
    if (!answers.empty()) {
      EXPECT_EQ(answers.back()[7], c.status);
      EXPECT_EQ(answers.back()[3], c.echo);
    }
    if (c.kind == FaultKind::kStaleAnswer) {
      EXPECT_EQ(answers.front()[3], 0x05);  // the previous answer again
    }
    EXPECT_EQ(mouse.Memory(Area::kParameters)[200] == value, c.applied);

    auto a = client.Exchange(Request(0x05, 0, {}, 1));  // packet 2
    ASSERT_TRUE(a);
    EXPECT_EQ((*a)[3], 0x05);
    EXPECT_EQ((*a)[7], kStatusOk);
  }
}

TEST(Faults, UnplugInTheMiddleOfATransferEndsTheBlockedReaderAndLaterWrites) {
  Emulator emulator;
  EmulatedDevice& kb = emulator.AddDevice(Product::kKeyboard);
  kb.Plug(Link::kCable);
  Client client(kb, Link::kCable);
  auto reader = kb.Connect(Link::kCable, true, false);
  kb.InjectFault(Fault{FaultKind::kUnplug, 2});

  std::thread blocked([&] {
    std::array<std::uint8_t, 64> r{};
    std::size_t n = 0;
    // Every answer reaches this reader too; the unplug ends it for good.
    HidIoResult result;
    do {
      result = reader->Read(r, n, platform::kInfinite);
    } while (result == HidIoResult::kOk);
    EXPECT_EQ(result, HidIoResult::kFailed);
  });
  std::vector<std::uint8_t> block(200, 0x33);
  EXPECT_EQ(client.WriteChunked(0x0B, block), 0xEE);  // the third packet gets no answer
  blocked.join();
  EXPECT_FALSE(kb.IsPlugged(Link::kCable));
  EXPECT_EQ(client.connection->Write(Request(0x01), Millis(10)), HidIoResult::kFailed);
  EXPECT_EQ(kb.Memory(Area::kColorSlots)[111], 0x33);  // the first two packets stay written
  EXPECT_EQ(kb.Memory(Area::kColorSlots)[112], 0x00);
  EXPECT_EQ(kb.ExchangeLog().back().note, "unplugged");
}

TEST(Faults, AbortEndsAnInjectedWriteTimeoutAtOnce) {
  Emulator emulator;
  EmulatedDevice& pad = emulator.AddDevice(Product::kMousePad);
  pad.Plug(Link::kCable);
  Client client(pad, Link::kCable);
  pad.InjectFault(Fault{FaultKind::kWriteTimeout});
  std::thread aborter([&] {
    // Give the writer a moment to block; the result does not depend on the order.
    std::this_thread::sleep_for(Millis(20));
    client.connection->Abort();
  });
  EXPECT_EQ(client.connection->Write(Request(0x01), platform::kInfinite), HidIoResult::kAborted);
  aborter.join();
}

TEST(Emulator, LatencyDelaysTheAnswerWithoutLosingIt) {
  Emulator emulator;
  EmulatedDevice& hs = emulator.AddDevice(Product::kHeadset);
  hs.Plug(Link::kCable);
  hs.SetLatency(Millis(30));
  Client client(hs, Link::kCable);
  ASSERT_EQ(client.connection->Write(Request(0x1A, 0, {}, 6), Millis(100)), HidIoResult::kOk);
  EXPECT_FALSE(client.ReadAnswer(Millis(0)));  // not ready yet
  auto a = client.ReadAnswer(Millis(2000));
  ASSERT_TRUE(a);
  EXPECT_EQ((*a)[3], 0x1A);
}

TEST(Emulator, HeadsetLedReportsAreDecodedPerZoneAndColour) {
  Emulator emulator;
  EmulatedDevice& hs = emulator.AddDevice(Product::kHeadset);
  hs.Plug(Link::kCable);
  auto c = hs.Connect(Link::kCable, false, true);
  std::array<std::uint8_t, 17> report{0xFF, 0x44, 0xAE};  // zone 0x44, green of LEDs 7-12
  for (std::size_t i = 0; i < 6; ++i) report[4 + i] = static_cast<std::uint8_t>(10 + i);
  ASSERT_EQ(c->Write(report, Millis(100)), HidIoResult::kOk);
  const auto leds = hs.HeadsetLeds();
  EXPECT_EQ(leds[1][7][1], 10);
  EXPECT_EQ(leds[1][12][1], 15);
  EXPECT_EQ(leds[0][7][1], 0);
  EXPECT_EQ(hs.LedReports().size(), 1u);
}

TEST(Emulator, NodesFollowPlugAndUnplug) {
  Emulator emulator;
  emulator.AddDefaultSet();
  std::vector<std::string> nodes;
  for (const auto& p : emulator.PresentInterfaces()) nodes.push_back(p.node);
  EXPECT_EQ(nodes, (std::vector<std::string>{"keyboard", "mouse-receiver", "mousepad", "headset"}));
  EmulatedDevice* mouse = emulator.Find("mouse");
  ASSERT_NE(mouse, nullptr);
  mouse->Plug(Link::kCable);
  mouse->Unplug(Link::kReceiver);
  EXPECT_EQ(emulator.PresentInterfaces()[1].node, "mouse");
  EXPECT_EQ(emulator.Connect("mouse-receiver", true, true), nullptr);
  EXPECT_EQ(emulator.AddDevice(Product::kMouse).name(), "mouse2");
}

TEST(Emulator, HostsAndControlsOnSeveralThreadsAtOnce) {
  Emulator emulator;
  EmulatedDevice& kb = emulator.AddDevice(Product::kKeyboard);
  kb.SetLatency(Millis(0));
  kb.Plug(Link::kCable);
  kb.Plug(Link::kReceiver);
  constexpr int kRequests = 200;
  auto host = [&](Link link, std::atomic<int>& answered) {
    Client client(kb, link);
    for (int i = 0; i < kRequests; ++i)
      if (client.Exchange(Request(0x1A, 0, {}, 6), Millis(1000))) ++answered;
  };
  std::atomic<int> cable{0}, receiver{0};
  std::atomic<bool> done{false};
  std::thread a([&] { host(Link::kCable, cable); });
  std::thread b([&] { host(Link::kReceiver, receiver); });
  std::thread controls([&] {
    // A key notice at most once per answer: a reader's queue holds 64 reports and drops the rest,
    // as the kernel's does, so an unthrottled flood would crowd the answers out.
    int pressed_at = -1;
    for (std::uint8_t i = 0; !done; ++i) {
      kb.SetBattery(i);
      kb.SetPoweredOn(i % 2 == 0);
      if (const int answers = cable + receiver; answers != pressed_at) {
        pressed_at = answers;
        kb.KeyPress(i);
      }
      (void)kb.ExchangeLog();
      (void)kb.Memory(Area::kStatus);
    }
  });
  a.join();
  b.join();
  done = true;
  controls.join();
  // Each request got exactly one answer (through the receiver sometimes the 0xAA one).
  EXPECT_EQ(cable, kRequests);
  EXPECT_EQ(receiver, kRequests);
  EXPECT_EQ(kb.ExchangeCount(), 2u * kRequests);
}

}  // namespace
}  // namespace brimvex::emulator
