#pragma once
// The UI thread's event loop as the rest of the program sees it: posted and sent tasks, window
// and control timers keyed by (owner, id), and quit. The Qt frontend and the headless loop of
// the tests both implement it.
#include <chrono>
#include <cstdint>
#include <functional>

#include "platform/event.h"

namespace brimvex::platform {

class EventLoop {
 public:
  using Task = std::function<void()>;
  enum class TimerKind { kPeriodic, kOneShot };

  virtual ~EventLoop() = default;

  // Runs the task later on the UI thread.
  virtual void Post(Task task) = 0;
  // Runs the task on the UI thread and returns when it has run (at once when called there).
  // Returns false without running it when the loop has quit or `abort` was set first.
  virtual bool Send(Task task, Event* abort = nullptr) = 0;
  // Arms timer (owner, id); re-arming the same pair replaces it. Periodic timers repeat
  // until killed, as window timers do.
  virtual void SetTimer(const void* owner, std::uint32_t id, Millis period, Task task,
                        TimerKind kind = TimerKind::kPeriodic) = 0;
  virtual void KillTimer(const void* owner, std::uint32_t id) = 0;
  virtual void KillTimers(const void* owner) = 0;
  virtual bool HasTimer(const void* owner, std::uint32_t id) const = 0;
  // Milliseconds of the loop's clock (the tick count of the UI thread).
  virtual Millis Now() const = 0;
  virtual bool IsUiThread() const = 0;
  // Runs until Quit; returns the quit code.
  virtual int Run() = 0;
  virtual void Quit(int code) = 0;
  virtual bool HasQuit() const = 0;
};

}  // namespace brimvex::platform
