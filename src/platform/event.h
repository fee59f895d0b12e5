#pragma once
// A waitable event in the manner of the Windows kernel event: manual reset (stays set until
// Reset) or auto reset (one waiter consumes it). Several events can be waited on together.
#include <chrono>
#include <condition_variable>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

namespace brimvex::platform {

using Millis = std::chrono::milliseconds;
inline constexpr Millis kInfinite = Millis::max();

class Event {
 public:
  enum class Mode { kManualReset, kAutoReset };

  explicit Event(Mode mode = Mode::kManualReset, bool initially_set = false);
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;
  ~Event();

  void Set();
  void Reset();
  bool IsSet() const;

  // True when the event was (or became) set within the time-out; consumes an auto-reset event.
  bool Wait(Millis timeout = kInfinite);

  // Index of the first set event (in the order given), or -1 on time-out.
  static int WaitAny(std::span<Event* const> events, Millis timeout = kInfinite);
  static int WaitAny(std::initializer_list<Event*> events, Millis timeout = kInfinite) {
    return WaitAny(std::span<Event* const>(events.begin(), events.size()), timeout);
  }

 private:
  struct Waiter;
  bool TryConsumeLocked();

  const Mode mode_;
  mutable std::mutex mutex_;
  std::condition_variable cv_;
  bool set_;
  std::vector<std::shared_ptr<Waiter>> waiters_;
};

}  // namespace brimvex::platform
