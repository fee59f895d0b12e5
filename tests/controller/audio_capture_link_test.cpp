// The link to the capture program: the watchdog restarts a dead one after 1, 2, 4 ... 30 s and
// reaps it, shutdown leaves no process behind even of one that ignores code 5 and SIGTERM, a
// program that cannot start is reported once per failing streak, and every connect names this
// process and carries the style.
#include "app/audio_capture_link.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>

#include "app/fake_peer_link.h"
#include "controller/watchdog_time.h"
#include "platform/headless_event_loop.h"
#include "platform/process.h"
#include "platform/trace.h"
#include "platform/worker_thread.h"
#include "test_support/temp_dir.h"

namespace brimvex::app::test {
namespace {

using platform::Millis;

TEST(AudioCaptureLink, RestartsBackOffByDoublingUpToThirtySecondsAndResetAfterASteadyMinute) {
  struct Case {
    Millis previous, ran, next;
  };
  const Case cases[] = {{Millis(0), Millis(0), Millis(1000)},          {Millis(1000), Millis(10), Millis(2000)},
                        {Millis(2000), Millis(5000), Millis(4000)},    {Millis(16000), Millis(0), Millis(30000)},
                        {Millis(30000), Millis(59999), Millis(30000)}, {Millis(30000), Millis(60000), Millis(1000)}};
  for (const Case& c : cases)
    EXPECT_EQ(AudioCaptureLink::NextDelay(c.previous, c.ran), c.next) << c.previous.count() << "/" << c.ran.count();
}

class LinkTest : public ::testing::Test {
 protected:
  void StartLink(std::vector<std::string> argv, std::size_t limit = 1000) {
    time_ = std::make_unique<SteppedWatchdogTime>(limit);
    AudioCaptureLink::Setup s;
    s.shell = &shell_;
    s.peers = &peers_;
    s.loop = &loop_;
    s.argv = std::move(argv);
    s.open_failed = [this](const std::string& error) {
      ++failures_;
      last_failure_ = error;
    };
    s.time = time_.get();
    link_ = std::make_unique<AudioCaptureLink>(std::move(s));
    ASSERT_TRUE(watchdog_.Start([this](const platform::ThreadParam& p) { link_->Run(p); }));
  }
  void TearDown() override {
    if (link_ != nullptr) link_->Shutdown();
    watchdog_.Stop(platform::kInfinite);
  }
  // Commands posted to the capture program, in order.
  std::vector<std::uint64_t> Commands() {
    std::vector<std::uint64_t> codes;
    for (const auto& m : peers_.PostedTo(std::string(kCapturePeerName)))
      if (m.name == kAudioRecorderName) codes.push_back(m.wparam);
    return codes;
  }

  platform::TraceCapture traces_;
  platform::SystemShell shell_;
  FakePeerLink peers_;
  platform::HeadlessEventLoop loop_;
  std::unique_ptr<SteppedWatchdogTime> time_;
  std::unique_ptr<AudioCaptureLink> link_;
  platform::WorkerThread watchdog_;
  int failures_ = 0;
  std::string last_failure_;
};

TEST_F(LinkTest, AKilledProgramIsReapedAndStartedAgainAfterOneThenTwoSeconds) {
  StartLink({"sleep", "1000"});
  std::vector<int> pids;
  for (int round = 1; round <= 3; ++round) {
    // The watchdog sleeps on the running child: the synchronisation point.
    time_->WaitForBlockingWaits(round);
    const CaptureLinkStatus s = link_->Status();
    ASSERT_TRUE(s.running);
    EXPECT_EQ(s.restarts, round - 1);
    EXPECT_EQ(CaptureStatusLine(s), "capture: running pid " + std::to_string(s.pid) + " restarts " +
                                        std::to_string(round - 1));
    pids.push_back(s.pid);
    if (round < 3) {
      ASSERT_EQ(::kill(s.pid, SIGKILL), 0);
    }
  }
  EXPECT_EQ(time_->Timed(), (std::vector<Millis>{Millis(1000), Millis(2000)}));
  EXPECT_NE(pids[0], pids[1]);
  EXPECT_NE(pids[1], pids[2]);
  // The killed ones were reaped: none of them is a child of ours any more.
  for (int i = 0; i < 2; ++i) {
    siginfo_t info{};
    EXPECT_EQ(::waitid(P_PID, static_cast<id_t>(pids[static_cast<std::size_t>(i)]), &info, WEXITED | WNOHANG), -1);
  }
  EXPECT_EQ(traces_.Count("audio capture: ended with signal 9"), 2u);
  // Each restart posts a connect to the UI loop.
  loop_.RunPending();
  EXPECT_EQ(Commands(), (std::vector<std::uint64_t>{0, 3, 1, 0, 3, 1}));
}

TEST_F(LinkTest, ShutdownLeavesNothingEvenOfAProgramThatIgnoresExitAndSigterm) {
  // Ignored signals stay ignored across exec: a lone process deaf to code 5 and SIGTERM. It says
  // through a FIFO once SIGTERM is ignored.
  brimvex::test::TempDir dir;
  const std::string fifo = (dir.path() / "ready").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  StartLink({"sh", "-c", "trap '' TERM; echo ready > \"$0\"; exec sleep 1000", fifo});
  {
    std::ifstream ready(fifo);
    std::string word;
    ready >> word;
    ASSERT_EQ(word, "ready");
  }
  time_->WaitForBlockingWaits(1);
  const int pid = link_->Status().pid;
  const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
  ASSERT_GE(pidfd, 0);
  link_->Shutdown();
  EXPECT_EQ(Commands(), (std::vector<std::uint64_t>{2, 4, 5}));
  EXPECT_TRUE(traces_.Contains("audio capture: no exit after code 5, SIGTERM"));
  EXPECT_TRUE(traces_.Contains("audio capture: no exit after SIGTERM, SIGKILL"));
  EXPECT_TRUE(traces_.Contains("AudioDaemonThreadPrc stop"));
  EXPECT_EQ(CaptureStatusLine(link_->Status()), "capture: stopped (shut down, signal 9)");
  // Reaped: waitid finds no such child.
  siginfo_t info{};
  EXPECT_EQ(::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
  ::close(pidfd);
  EXPECT_EQ(time_->Timed(), (std::vector<Millis>{Millis(1000), Millis(1000)}));
}

TEST_F(LinkTest, AProgramThatCannotStartIsReportedOncePerFailingStreak) {
  // Four failed starts, then the watchdog waits (past the limit) until it is stopped.
  StartLink({"/nonexistent/brimvex-audio-capture"}, 4);
  time_->WaitForBlockingWaits(1);
  loop_.RunPending();
  EXPECT_EQ(failures_, 1);
  EXPECT_NE(last_failure_.find("/nonexistent/brimvex-audio-capture"), std::string::npos) << last_failure_;
  EXPECT_EQ(time_->Timed(), (std::vector<Millis>{Millis(1000), Millis(2000), Millis(4000), Millis(8000)}));
  EXPECT_EQ(traces_.Count("audio capture: cannot start"), 5u);
  EXPECT_EQ(link_->Status().reason.rfind("cannot start: ", 0), 0u) << link_->Status().reason;
  EXPECT_TRUE(Commands().empty());
}

TEST_F(LinkTest, EveryConnectNamesThisProcessAndSendsTheStyleByteForByte) {
  StartLink({});
  struct Case {
    CaptureStyle style;
    std::int32_t g_sent;
  };
  for (const Case& c : {Case{{3, 0, 0}, 1}, Case{{9, 5, 7}, 5}, Case{{0, 1, 9}, 1}}) {
    peers_.posted.clear();
    ASSERT_TRUE(link_->SetStyle(c.style));
    ASSERT_TRUE(link_->Connect());
    const auto to = peers_.PostedTo(std::string(kCapturePeerName));
    ASSERT_EQ(to.size(), 5u);
    EXPECT_EQ(to[1].name, kAudioRecorderName);
    EXPECT_EQ(to[1].wparam, 0u);
    EXPECT_EQ(to[1].lparam, platform::CurrentProcessId());
    EXPECT_EQ(to[2].wparam, 3u);
    EXPECT_EQ(to[3].wparam, 1u);
    for (const std::size_t i : {std::size_t{0}, std::size_t{4}}) {
      EXPECT_EQ(to[i].name, kCopyDataName);
      EXPECT_EQ(to[i].wparam, static_cast<std::uint64_t>(platform::CurrentProcessId()));
      EXPECT_EQ(to[i].lparam, kCopyDataStyle);
      std::string bytes(40, '\0');
      bytes[0] = static_cast<char>(c.style.r);
      bytes[4] = static_cast<char>(c.g_sent);
      bytes[8] = static_cast<char>(c.style.b);
      EXPECT_EQ(to[i].payload, bytes);
    }
  }
  // The capture program's hello asks for a connect; its answers do not.
  peers_.posted.clear();
  link_->OnRecorderMessage(3, kCaptureDone);
  link_->OnRecorderMessage(0, kCaptureDone);
  EXPECT_TRUE(peers_.posted.empty());
  link_->OnRecorderMessage(0, kCaptureHello);
  EXPECT_EQ(Commands(), (std::vector<std::uint64_t>{0, 3, 1}));
  // Nobody listening: the first message fails and nothing more is sent.
  peers_.posted.clear();
  peers_.unreachable.push_back(std::string(kCapturePeerName));
  EXPECT_FALSE(link_->Connect());
  EXPECT_EQ(peers_.posted.size(), 1u);
}

}  // namespace
}  // namespace brimvex::app::test
