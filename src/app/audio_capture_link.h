#pragma once
// The link to brimvex-audio-capture (app/audio_capture_protocol.h). The watchdog (worker slot 1)
// starts the capture program, sleeps on its exit and the stop events (no polling), reaps it and
// starts it again after 1, 2, 4 ... 30 s (1 s again once it had run a minute). A program that
// cannot be started is reported once per failing streak. The UI thread connects: at the layout
// timer, after each restart, and when the capture program says it listens; each connect also
// sends the selected style. At exit the watchdog sends stop, close and exit, gives the program a
// second, then SIGTERM, a second more, then SIGKILL, and reaps it: nothing is left behind.
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/audio_capture_protocol.h"
#include "app/peer_link.h"
#include "platform/event.h"
#include "platform/event_loop.h"
#include "platform/shell.h"
#include "platform/worker_thread.h"

namespace brimvex::app {

// The watchdog's clock and waits; tests step through the back-off with their own.
class WatchdogTime {
 public:
  virtual ~WatchdogTime() = default;
  virtual platform::Millis Now() = 0;
  // The index of the first set event, or -1 after the time-out.
  virtual int Wait(std::span<platform::Event* const> events, platform::Millis timeout) = 0;
};
// The steady clock and Event::WaitAny.
WatchdogTime& SteadyWatchdogTime();

struct CaptureLinkStatus {
  bool running = false;
  int pid = 0;
  int restarts = 0;
  // Why it is not running: "not started", "cannot start: ...", "ended with exit code 2", ...
  std::string reason = "not started";
};

// "capture: running pid PID restarts N" or "capture: stopped (REASON)".
std::string CaptureStatusLine(const CaptureLinkStatus& status);

class AudioCaptureLink {
 public:
  static constexpr platform::Millis kFirstRestart{1000};
  static constexpr platform::Millis kLongestRestart{30000};
  static constexpr platform::Millis kSteadyRun{60000};
  static constexpr platform::Millis kExitGrace{1000};
  static constexpr platform::Millis kStyleSendTimeout{1500};

  struct Setup {
    platform::Shell* shell = nullptr;
    PeerLink* peers = nullptr;
    // The UI loop: connects after a restart and the failure report run there.
    platform::EventLoop* loop = nullptr;
    // The capture program and its arguments; empty: none is started.
    std::vector<std::string> argv;
    // Once per failing streak, on the UI loop, with the reason.
    std::function<void(const std::string&)> open_failed;
    // Null: SteadyWatchdogTime().
    WatchdogTime* time = nullptr;
  };

  explicit AudioCaptureLink(Setup setup);
  ~AudioCaptureLink();
  AudioCaptureLink(const AudioCaptureLink&) = delete;
  AudioCaptureLink& operator=(const AudioCaptureLink&) = delete;

  // The watchdog's body (run it on a long-lived thread: the capture program ends with it).
  void Run(const platform::ThreadParam& param);
  // Has the watchdog run the exit sequence and waits until it ended (a few seconds at most).
  // Safe to repeat; nothing happens when the watchdog never ran.
  void Shutdown();

  // UI thread: 0 (with this process's id), 3, 1, then the style. False when the capture program
  // does not listen (nothing more is sent then).
  bool Connect();
  // UI thread: a UWM_AUDIO_RECORDER from the capture program; (0, 0) asks for a connect.
  void OnRecorderMessage(std::uint64_t wparam, std::int64_t lparam);
  // UI thread: keeps the style and sends it (1500 ms at most).
  bool SetStyle(const CaptureStyle& style);
  // Keeps it for the next connect only.
  void KeepStyle(const CaptureStyle& style);
  CaptureStyle Style() const;
  bool SendStyle();

  CaptureLinkStatus Status() const;
  // The wait before the next start after one that ran for `ran`, following a wait of `previous`
  // (zero for the first start).
  static platform::Millis NextDelay(platform::Millis previous, platform::Millis ran);

 private:
  bool PostCommand(CaptureCommand command, std::int64_t lparam = 0);
  void ExitSequence(platform::ChildProcess& child);
  void SetStopped(std::string reason);

  Setup setup_;
  WatchdogTime& time_;
  // Set by Shutdown: the watchdog runs the exit sequence and ends.
  platform::Event stop_;
  // Set when the watchdog body returns.
  platform::Event ended_;
  std::atomic<bool> ran_{false};
  mutable std::mutex mutex_;
  CaptureLinkStatus status_;
  CaptureStyle style_;
  // Tasks posted to the UI loop run only while this lives (both on the UI thread).
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace brimvex::app
