// The event-loop port on the Qt loop: posts and sends from workers, timers by (owner, id), quit.
#include "platform/qt/qt_event_loop.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <atomic>
#include <thread>

#include "platform/paths.h"

namespace brimvex::qt {
namespace {

TEST(QtEventLoopTest, WorkersPostAndSendTimersFireAndQuitEndsRun) {
  int argc = 1;
  char name[] = "test";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  QtEventLoop loop;
  EXPECT_TRUE(loop.IsUiThread());
  std::atomic<bool> posted_on_ui{false};
  std::atomic<bool> sent{false};
  int periodic = 0;
  int once = 0;
  const int owner = 0;
  std::thread worker([&] {
    loop.Post([&] { posted_on_ui = loop.IsUiThread(); });
    sent = loop.Send([] {});
    loop.SetTimer(
        &owner, 1, platform::Millis(5), [&] { ++once; }, platform::EventLoop::TimerKind::kOneShot);
  });
  // The loop quits once the periodic timer fired three times and the worker's one-shot fired,
  // whichever comes last: a slow worker may arm its timer after the third tick.
  loop.SetTimer(&owner, 2, platform::Millis(10), [&] {
    if (periodic < 3) ++periodic;
    if (periodic == 3 && once == 1) {
      loop.KillTimer(&owner, 2);
      loop.Quit(7);
    }
  });
  EXPECT_EQ(loop.Run(), 7);
  worker.join();
  EXPECT_TRUE(posted_on_ui);
  EXPECT_TRUE(sent);
  EXPECT_EQ(once, 1);
  EXPECT_EQ(periodic, 3);
  EXPECT_FALSE(loop.HasTimer(&owner, 2));
  // After quit a send from a worker returns false instead of waiting forever.
  bool late = true;
  std::thread([&] { late = loop.Send([] {}); }).join();
  EXPECT_FALSE(late);
}

}  // namespace
}  // namespace brimvex::qt
