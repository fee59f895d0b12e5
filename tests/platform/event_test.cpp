#include "platform/event.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/trace.h"
#include "platform/worker_thread.h"

namespace brimvex::platform {
namespace {

TEST(Event, ManualResetStaysSetAutoResetIsConsumedOnce) {
  Event manual(Event::Mode::kManualReset);
  EXPECT_FALSE(manual.Wait(Millis(0)));
  manual.Set();
  EXPECT_TRUE(manual.Wait(Millis(0)));
  EXPECT_TRUE(manual.Wait(Millis(0)));
  manual.Reset();
  EXPECT_FALSE(manual.Wait(Millis(0)));

  Event automatic(Event::Mode::kAutoReset, true);
  EXPECT_TRUE(automatic.Wait(Millis(0)));
  EXPECT_FALSE(automatic.Wait(Millis(0)));
}

TEST(Event, WaitAnyGivesTheFirstSetEventOrTimesOut) {
  Event a, b(Event::Mode::kAutoReset), c;
  EXPECT_EQ(Event::WaitAny({&a, &b, &c}, Millis(5)), -1);
  c.Set();
  b.Set();
  EXPECT_EQ(Event::WaitAny({&a, &b, &c}, Millis(0)), 1);  // first in the order given
  EXPECT_EQ(Event::WaitAny({&a, &b, &c}, Millis(0)), 2);  // b was auto reset

  Event late;
  std::thread setter([&] { late.Set(); });
  EXPECT_EQ(Event::WaitAny({&a, &late}), 1);
  setter.join();
}

TEST(Event, ManyThreadsWaitingAnyAreAllReleased) {
  Event stop;
  Event never;
  std::atomic<int> released{0};
  std::vector<std::thread> threads;
  for (int i = 0; i < 8; ++i)
    threads.emplace_back([&] {
      if (Event::WaitAny({&never, &stop}) == 1) ++released;
    });
  stop.Set();
  for (auto& t : threads) t.join();
  EXPECT_EQ(released.load(), 8);
}

TEST(WorkerThread, StopEndsABodyThatWatchesItsStopEvent) {
  WorkerThread worker;
  int owner = 0;
  std::atomic<void*> seen{nullptr};
  ASSERT_TRUE(worker.Start(
      [&](const ThreadParam& p) {
        seen = p.owner;
        p.stop->Wait();
      },
      &owner));
  EXPECT_FALSE(worker.Start([](const ThreadParam&) {}));  // one at a time
  EXPECT_EQ(worker.Stop(Millis(1000)), WorkerThread::StopResult::kEnded);
  EXPECT_EQ(seen.load(), &owner);
  EXPECT_EQ(worker.Stop(Millis(1000)), WorkerThread::StopResult::kNotRunning);
}

TEST(WorkerThread, ABodyThatIgnoresStopTimesOutAndIsDetached) {
  auto release = std::make_shared<Event>();
  WorkerThread worker;
  worker.Start([release](const ThreadParam&) { release->Wait(); });
  EXPECT_EQ(worker.Stop(Millis(20)), WorkerThread::StopResult::kTimedOut);
  // The worker can start again; the detached body still holds its own state.
  EXPECT_TRUE(worker.Start([](const ThreadParam& p) { p.stop->Wait(); }));
  EXPECT_EQ(worker.Stop(Millis(1000)), WorkerThread::StopResult::kEnded);
  release->Set();
}

}  // namespace
}  // namespace brimvex::platform
