// The worker-slot table at shutdown: every stop event is set first, then the threads are waited
// for in slot order; one that does not end in time gives the time-out line and is left behind.
#include <gtest/gtest.h>

#include <memory>

#include "app/worker_slots.h"
#include "platform/trace.h"

namespace brimvex::app {
namespace {

TEST(WorkerSlotsTest, AThreadThatDoesNotStopGivesTheTimeOutLine) {
  platform::TraceCapture traces;
  auto release = std::make_shared<platform::Event>();
  auto stuck_done = std::make_shared<platform::Event>();
  auto stop_seen_by_2 = std::make_shared<platform::Event>();
  {
    WorkerSlots slots(nullptr);
    // Slot 0 ignores its stop event (blocked elsewhere); slot 2 ends on it.
    ASSERT_TRUE(slots.Start(0, [release, stuck_done](const platform::ThreadParam&) {
      release->Wait();
      stuck_done->Set();
    }));
    ASSERT_TRUE(slots.Start(2, [stop_seen_by_2](const platform::ThreadParam& p) {
      p.stop->Wait();
      stop_seen_by_2->Set();
    }));
    EXPECT_FALSE(slots.Start(2, [](const platform::ThreadParam&) {}));
    EXPECT_FALSE(slots.Start(kWorkerSlotCount, [](const platform::ThreadParam&) {}));
    slots.StopAll(platform::Millis(1000));
    // Slot 2 saw its stop event while slot 0 was still being waited for.
    EXPECT_TRUE(stop_seen_by_2->IsSet());
  }
  const auto lines = traces.Lines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "所有对象处于非激发状态，超时\n");
  EXPECT_EQ(lines[1], "所有对象处于激发状态\n");
  release->Set();
  EXPECT_TRUE(stuck_done->Wait(platform::Millis(5000)));
}

TEST(WorkerSlotsTest, EmptySlotsGiveNoLines) {
  platform::TraceCapture traces;
  WorkerSlots slots(nullptr);
  slots.StopAll();
  EXPECT_TRUE(traces.Lines().empty());
}

}  // namespace
}  // namespace brimvex::app
