// The discovery thread on the emulated machine: what it reports and when it stops.
#include "app/discovery_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "app/app_messages.h"
#include "emulator/emulated_hid_backend.h"
#include "emulator/emulator.h"
#include "platform/headless_event_loop.h"
#include "platform/trace.h"
#include "platform/worker_thread.h"

namespace brimvex::app {
namespace {

using emulator::Link;
using emulator::Product;
using platform::Millis;

constexpr Millis kPatience{10000};

// Counts what the thread asks of the backend; can fail the enumeration.
class CountingBackend final : public platform::HidBackend {
 public:
  explicit CountingBackend(const emulator::Emulator& emu) : inner_(emu) {}
  bool Enumerate(std::vector<std::string>& paths) override {
    ++enumerations;
    if (fail_enumeration) return false;
    return inner_.Enumerate(paths);
  }
  std::unique_ptr<platform::HidHandle> Open(const std::string& path, const platform::HidOpenFlags& flags) override {
    if (!flags.read && !flags.write) ++liveness_opens;
    return inner_.Open(path, flags);
  }
  std::atomic<int> enumerations{0};
  std::atomic<int> liveness_opens{0};
  std::atomic<bool> fail_enumeration{false};

 private:
  emulator::EmulatedHidBackend inner_;
};

struct Message {
  std::uint32_t message;
  std::size_t slot;
  SlotRecord record;  // as the handler sees it
};

// Stands in for the UI thread: records every hand-over at once.
class RecordingHost final : public DiscoveryHost {
 public:
  explicit RecordingHost(const SlotTable& slots) : slots_(slots) {}
  bool SendSlotMessage(std::uint32_t message, std::size_t slot, platform::Event*) override {
    std::lock_guard lock(mutex_);
    messages_.push_back({message, slot, *slots_.Get(slot)});
    cv_.notify_all();
    return true;
  }
  void PostFirstPass() override {
    std::lock_guard lock(mutex_);
    ++first_passes_;
    cv_.notify_all();
  }
  bool WaitFor(const std::function<bool(const std::vector<Message>&)>& pred) {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, kPatience, [&] { return pred(messages_); });
  }
  bool WaitForFirstPass() {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, kPatience, [&] { return first_passes_ > 0; });
  }
  std::vector<Message> Messages() {
    std::lock_guard lock(mutex_);
    return messages_;
  }
  int FirstPasses() {
    std::lock_guard lock(mutex_);
    return first_passes_;
  }

 private:
  const SlotTable& slots_;
  std::mutex mutex_;
  std::condition_variable cv_;
  std::vector<Message> messages_;
  int first_passes_ = 0;
};

std::size_t CountOf(const std::vector<Message>& m, std::uint32_t message) {
  return static_cast<std::size_t>(
      std::count_if(m.begin(), m.end(), [&](const Message& x) { return x.message == message; }));
}

class DiscoveryThreadTest : public ::testing::Test {
 protected:
  void Start() {
    context_ = DiscoveryContext{&slots_, &backend_, &host_, Millis(100)};
    ASSERT_TRUE(worker_.Start([this](const platform::ThreadParam& p) { DiscoveryThread(p, context_); }));
  }
  // Waits until the thread has run `passes` more liveness checks of `found` slots each.
  bool WaitForPasses(int found, int passes) {
    const int target = backend_.liveness_opens.load() + found * passes;
    for (int i = 0; i < 1000 && backend_.liveness_opens.load() < target; ++i) platform::Event().Wait(Millis(10));
    return backend_.liveness_opens.load() >= target;
  }
  void TearDown() override { worker_.Stop(Millis(2000)); }

  platform::TraceCapture traces_;
  emulator::Emulator emu_;
  CountingBackend backend_{emu_};
  SlotTable slots_;
  RecordingHost host_{slots_};
  DiscoveryContext context_;
  platform::WorkerThread worker_;
};

TEST_F(DiscoveryThreadTest, ReportsEachSupportedInterfaceOnceAndPostsTheFirstPassOnce) {
  emu_.AddDefaultSet();  // keyboard cable, mouse receiver, pad, headset
  Start();
  ASSERT_TRUE(host_.WaitForFirstPass());
  ASSERT_TRUE(WaitForPasses(7, 3));
  const auto messages = host_.Messages();
  // Both collections of each product, in enumeration order, each with its path already stored.
  std::vector<std::size_t> found;
  for (const Message& m : messages) {
    ASSERT_EQ(m.message, kMsgSlotFound);
    EXPECT_EQ(m.record.found, 1u);
    EXPECT_FALSE(m.record.path.empty());
    found.push_back(m.slot);
  }
  std::sort(found.begin(), found.end());
  EXPECT_EQ(found, (std::vector<std::size_t>{0, 1, 6, 7, 8, 9, 10}));
  EXPECT_EQ(host_.FirstPasses(), 1);
  EXPECT_EQ(slots_.Get(10)->path, "emu:headset#vid_0c76&pid_1630&mi_03");
  EXPECT_EQ(slots_.Get(6)->path, "emu:mouse-receiver#vid_5e1d&pid_4a11&mi_01&col04");
}

TEST_F(DiscoveryThreadTest, UnplugFreesTheSlotsAndReplugFindsThemAgain) {
  auto& mouse = emu_.AddDevice(Product::kMouse);
  mouse.Plug(Link::kCable);
  Start();
  ASSERT_TRUE(host_.WaitFor([](const auto& m) { return CountOf(m, kMsgSlotFound) == 2; }));
  mouse.Unplug(Link::kCable);
  ASSERT_TRUE(host_.WaitFor([](const auto& m) { return CountOf(m, kMsgSlotLost) == 2; }));
  for (std::size_t slot : {4u, 5u}) {
    EXPECT_EQ(slots_.Get(slot)->found, 0u);
    EXPECT_TRUE(slots_.Get(slot)->path.empty());
  }
  // The lost message is sent after the slot was cleared.
  for (const Message& m : host_.Messages()) {
    if (m.message == kMsgSlotLost) {
      EXPECT_TRUE(m.record.path.empty());
    }
  }
  mouse.Plug(Link::kCable);
  ASSERT_TRUE(host_.WaitFor([](const auto& m) { return CountOf(m, kMsgSlotFound) == 4; }));
  EXPECT_EQ(slots_.Get(4)->found, 1u);
}

TEST_F(DiscoveryThreadTest, WithEverySlotFoundOnlyTheLivenessChecksRun) {
  for (Product p : {Product::kKeyboard, Product::kMouse}) {
    auto& d = emu_.AddDevice(p);
    d.Plug(Link::kCable);
    d.Plug(Link::kReceiver);
  }
  emu_.AddDevice(Product::kMousePad).Plug(Link::kCable);
  emu_.AddDevice(Product::kHeadset).Plug(Link::kCable);
  Start();
  ASSERT_TRUE(host_.WaitFor([](const auto& m) { return CountOf(m, kMsgSlotFound) == 11; }));
  ASSERT_TRUE(WaitForPasses(11, 1));
  EXPECT_TRUE(slots_.AllFound());
  const int enumerations = backend_.enumerations.load();
  ASSERT_TRUE(WaitForPasses(11, 5));
  EXPECT_EQ(backend_.enumerations.load(), enumerations);
}

TEST_F(DiscoveryThreadTest, AFailedEnumerationEndsTheThreadWithoutTraceOrFirstPass) {
  emu_.AddDefaultSet();
  backend_.fail_enumeration = true;
  Start();
  for (int i = 0; i < 1000 && worker_.Running(); ++i) platform::Event().Wait(Millis(10));
  EXPECT_FALSE(worker_.Running());
  EXPECT_EQ(backend_.enumerations.load(), 1);
  EXPECT_EQ(host_.FirstPasses(), 0);
  EXPECT_TRUE(host_.Messages().empty());
  EXPECT_FALSE(traces_.Contains("抓取设备线程设定退出"));
}

// Through the UI loop's blocking send: a UI thread that never gets to the message cannot keep the
// thread from stopping.
class LoopHost final : public DiscoveryHost {
 public:
  explicit LoopHost(platform::EventLoop& loop) : loop_(loop) {}
  bool SendSlotMessage(std::uint32_t, std::size_t, platform::Event* abort) override {
    sending = true;
    return loop_.Send([] {}, abort);
  }
  void PostFirstPass() override {}
  std::atomic<bool> sending{false};

 private:
  platform::EventLoop& loop_;
};

TEST(DiscoveryShutdown, StopEndsAThreadBlockedInItsHandOver) {
  platform::TraceCapture traces;
  emulator::Emulator emu;
  emu.AddDefaultSet();
  emulator::EmulatedHidBackend backend(emu);
  SlotTable slots;
  platform::HeadlessEventLoop loop;  // never pumped
  LoopHost host(loop);
  DiscoveryContext context{&slots, &backend, &host, Millis(100)};
  platform::WorkerThread worker;
  ASSERT_TRUE(worker.Start([&](const platform::ThreadParam& p) { DiscoveryThread(p, context); }));
  for (int i = 0; i < 1000 && !host.sending; ++i) platform::Event().Wait(Millis(10));
  ASSERT_TRUE(host.sending);
  EXPECT_EQ(worker.Stop(Millis(5000)), platform::WorkerThread::StopResult::kEnded);
  EXPECT_EQ(traces.Count("抓取设备线程设定退出"), 1u);
}

}  // namespace
}  // namespace brimvex::app
