#pragma once
// An event loop without a display. With the manual clock, time moves only when a test calls
// AdvanceClock, so a 5 s timer fires at once; with the real clock, Run() waits for the next
// task or timer deadline.
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/event_loop.h"

namespace brimvex::platform {

class HeadlessEventLoop final : public EventLoop {
 public:
  enum class ClockKind { kManual, kReal };
  // The constructing thread is the UI thread.
  explicit HeadlessEventLoop(ClockKind clock = ClockKind::kManual);
  ~HeadlessEventLoop() override;

  void Post(Task task) override;
  bool Send(Task task, Event* abort = nullptr) override;
  void SetTimer(const void* owner, std::uint32_t id, Millis period, Task task,
                TimerKind kind = TimerKind::kPeriodic) override;
  void KillTimer(const void* owner, std::uint32_t id) override;
  void KillTimers(const void* owner) override;
  bool HasTimer(const void* owner, std::uint32_t id) const override;
  Millis Now() const override;
  bool IsUiThread() const override;
  int Run() override;
  void Quit(int code) override;
  bool HasQuit() const override;

  // Makes the calling thread the UI thread.
  void BindToCurrentThread();
  // Runs every queued task (and tasks they queue); returns how many ran.
  std::size_t RunPending();
  // Manual clock: moves time forward, firing due timers in deadline order and running the
  // tasks they queue. Real clock: runs what is due now.
  void AdvanceClock(Millis by);
  // Runs tasks and timers until pred() holds or the real-time limit passes.
  bool RunUntil(const std::function<bool()>& pred, Millis limit);

 private:
  using Key = std::pair<const void*, std::uint32_t>;
  struct Timer {
    Millis period;
    Millis due;
    TimerKind kind;
    std::uint64_t generation;
    std::shared_ptr<Task> task;
  };

  bool PopTask(Task& task);
  // Fires the earliest timer due at or before `now`; false when none is due.
  bool FireOneDue(Millis now);
  Millis RealNow() const;
  Millis NextDeadlineLocked() const;

  const ClockKind clock_;
  const std::chrono::steady_clock::time_point start_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Task> tasks_;
  std::map<Key, Timer> timers_;
  std::uint64_t generation_ = 0;
  Millis manual_now_{0};
  std::thread::id ui_thread_;
  bool quit_ = false;
  int quit_code_ = 0;
  Event quit_event_{Event::Mode::kManualReset};
};

}  // namespace brimvex::platform
