#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/headless_event_loop.h"

namespace brimvex::platform {
namespace {

TEST(HeadlessEventLoop, TimersFireOnTheAdvancedClockInDeadlineOrder) {
  HeadlessEventLoop loop;
  std::vector<std::string> fired;
  int owner_a = 0, owner_b = 0;
  loop.SetTimer(
      &owner_a, 1000, Millis(4900), [&] { fired.push_back("a1000"); }, EventLoop::TimerKind::kOneShot);
  loop.SetTimer(&owner_b, 1000, Millis(500), [&] { fired.push_back("b1000"); });  // same id, other owner
  loop.SetTimer(&owner_a, 1001, Millis(1300), [&] { fired.push_back("a1001"); });

  loop.AdvanceClock(Millis(499));
  EXPECT_TRUE(fired.empty());
  loop.AdvanceClock(Millis(5001));  // 5.5 s in all, without sleeping
  EXPECT_EQ(fired, (std::vector<std::string>{"b1000", "b1000", "a1001", "b1000", "b1000", "b1000", "a1001", "b1000",
                                             "b1000", "a1001", "b1000", "b1000", "a1000", "b1000", "a1001", "b1000"}));
  EXPECT_FALSE(loop.HasTimer(&owner_a, 1000));  // one-shot gone
  EXPECT_TRUE(loop.HasTimer(&owner_b, 1000));
  EXPECT_EQ(loop.Now(), Millis(5500));
}

TEST(HeadlessEventLoop, RearmingReplacesAndKillStops) {
  HeadlessEventLoop loop;
  int owner = 0;
  int first = 0, second = 0;
  loop.SetTimer(&owner, 7, Millis(100), [&] { ++first; });
  loop.AdvanceClock(Millis(50));
  loop.SetTimer(&owner, 7, Millis(100), [&] { ++second; });  // deadline restarts at 150
  loop.AdvanceClock(Millis(99));
  EXPECT_EQ(first + second, 0);
  loop.AdvanceClock(Millis(1));
  EXPECT_EQ(second, 1);
  loop.KillTimer(&owner, 7);
  loop.AdvanceClock(Millis(1000));
  EXPECT_EQ(first, 0);
  EXPECT_EQ(second, 1);
}

TEST(HeadlessEventLoop, ATimerMayKillOrRearmItselfWhileFiring) {
  HeadlessEventLoop loop;
  int owner = 0;
  int count = 0;
  loop.SetTimer(&owner, 1, Millis(10), [&] {
    if (++count == 3) loop.KillTimer(&owner, 1);
  });
  loop.AdvanceClock(Millis(100));
  EXPECT_EQ(count, 3);
}

TEST(HeadlessEventLoop, SendFromAWorkerReturnsAfterTheUiThreadRanIt) {
  HeadlessEventLoop loop;
  std::atomic<bool> ran_on_ui{false};
  std::atomic<bool> returned{false};
  std::thread worker([&] {
    EXPECT_TRUE(loop.Send([&] { ran_on_ui = loop.IsUiThread(); }));
    returned = true;
  });
  EXPECT_TRUE(loop.RunUntil([&] { return returned.load(); }, Millis(5000)));
  worker.join();
  EXPECT_TRUE(ran_on_ui);
}

TEST(HeadlessEventLoop, SendOnTheUiThreadRunsAtOnce) {
  HeadlessEventLoop loop;
  bool ran = false;
  EXPECT_TRUE(loop.Send([&] { ran = true; }));
  EXPECT_TRUE(ran);
  EXPECT_EQ(loop.RunPending(), 0u);
}

TEST(HeadlessEventLoop, SendIsReleasedByQuitOrAbort) {
  HeadlessEventLoop loop;
  Event abort;
  std::atomic<int> results{0};
  std::thread aborted([&] { results += loop.Send([] {}, &abort) ? 100 : 1; });
  abort.Set();
  aborted.join();
  std::thread quitting([&] { results += loop.Send([] {}) ? 100 : 1; });
  loop.Quit(0);
  quitting.join();
  EXPECT_EQ(results.load(), 2);
  EXPECT_FALSE(loop.Send([] {}));
}

TEST(HeadlessEventLoop, RunReturnsTheQuitCodeAfterPostedWork) {
  HeadlessEventLoop loop(HeadlessEventLoop::ClockKind::kReal);
  int order = 0;
  loop.Post([&] { order = order * 10 + 1; });
  loop.SetTimer(
      &loop, 1, Millis(1),
      [&] {
        order = order * 10 + 2;
        loop.Quit(7);
      },
      EventLoop::TimerKind::kOneShot);
  EXPECT_EQ(loop.Run(), 7);
  EXPECT_EQ(order, 12);
}

}  // namespace
}  // namespace brimvex::platform
