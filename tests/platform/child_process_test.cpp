// Watched children: their end is an event, they are reaped with how they ended, and ending one
// takes its whole process group with it.
#include "platform/process.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>

#include "test_support/temp_dir.h"

namespace brimvex::platform {
namespace {

TEST(ChildProcess, ReportsHowItEndedOnceReaped) {
  struct Case {
    const char* script;
    bool exited;
    int code;
    int signal;
  };
  const Case cases[] = {{"exit 0", true, 0, 0}, {"exit 3", true, 3, 0}, {"kill -9 $$", false, 0, 9}, {"kill -15 $$", false, 0, 15}};
  for (const Case& c : cases) {
    std::string error;
    auto child = ChildProcess::Start({"sh", "-c", c.script}, &error);
    ASSERT_NE(child, nullptr) << error;
    EXPECT_GT(child->Pid(), 0);
    ASSERT_TRUE(child->Exited().Wait()) << c.script;
    const auto ending = child->Reap();
    ASSERT_TRUE(ending.has_value()) << c.script;
    EXPECT_EQ(ending->exited, c.exited) << c.script;
    EXPECT_EQ(ending->code, c.code) << c.script;
    EXPECT_EQ(ending->signal, c.signal) << c.script;
    // Reaped once; asking again gives the same, and nothing can be signalled any more.
    EXPECT_EQ(child->Reap()->code, c.code);
    EXPECT_FALSE(child->Terminate());
    EXPECT_FALSE(child->Kill());
  }
  EXPECT_EQ(EndingText({true, 2, 0}), "exit code 2");
  EXPECT_EQ(EndingText({false, 0, 9}), "signal 9");
}

TEST(ChildProcess, AProgramThatIsNotThereIsAClearFailure) {
  std::string error;
  EXPECT_EQ(ChildProcess::Start({"brimvex-no-such-program"}, &error), nullptr);
  EXPECT_NE(error.find("brimvex-no-such-program"), std::string::npos) << error;
  EXPECT_EQ(ChildProcess::Start({}, &error), nullptr);
}

TEST(ChildProcess, TerminateAsksAndKillTakesTheWholeGroup) {
  std::string error;
  auto polite = ChildProcess::Start({"sleep", "1000"}, &error);
  ASSERT_NE(polite, nullptr) << error;
  EXPECT_TRUE(polite->Terminate());
  EXPECT_EQ(polite->WaitAndReap(kInfinite)->signal, SIGTERM);

  // A child that ignores SIGTERM and leaves a grandchild behind it; the grandchild's pid comes
  // through a FIFO, which is also the point where both exist.
  test::TempDir dir;
  const std::string fifo = (dir.path() / "pid").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  auto stubborn = ChildProcess::Start({"sh", "-c", "trap '' TERM; sleep 1000 & echo $! > \"$0\"; wait", fifo}, &error);
  ASSERT_NE(stubborn, nullptr) << error;
  const int fd = ::open(fifo.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  char text[32] = {};
  ASSERT_GT(::read(fd, text, sizeof text - 1), 0);
  ::close(fd);
  const int grandchild = std::atoi(text);
  ASSERT_GT(grandchild, 0);
  const int grandchild_fd = static_cast<int>(::syscall(SYS_pidfd_open, grandchild, 0));
  ASSERT_GE(grandchild_fd, 0);
  EXPECT_TRUE(stubborn->Terminate());
  EXPECT_TRUE(stubborn->Kill());
  EXPECT_EQ(stubborn->WaitAndReap(kInfinite)->signal, SIGKILL);
  // The grandchild ends too: its pidfd turns readable.
  pollfd p{grandchild_fd, POLLIN, 0};
  EXPECT_EQ(::poll(&p, 1, -1), 1);
  ::close(grandchild_fd);
}

TEST(ChildProcess, OneStillRunningWhenItsOwnerGoesIsKilledAndReaped) {
  std::string error;
  auto child = ChildProcess::Start({"sleep", "1000"}, &error);
  ASSERT_NE(child, nullptr) << error;
  const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, child->Pid(), 0));
  ASSERT_GE(pidfd, 0);
  const int pid = child->Pid();
  child.reset();
  // Reaped: the pid no longer names a process (not even a zombie) of ours.
  siginfo_t info{};
  EXPECT_EQ(::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
  ::close(pidfd);
}

}  // namespace
}  // namespace brimvex::platform
