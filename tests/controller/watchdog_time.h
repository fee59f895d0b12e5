#pragma once
// The capture watchdog's time for tests: a wait with a time-out is recorded and ends at once (as
// if the time had passed, which the clock then shows) unless one of its events is set already;
// after `limit` of them every wait lasts until one of its events is set. Waits without a
// time-out (the running child) are real. Tests wait for a number of waits as their
// synchronisation point.
#include <condition_variable>
#include <mutex>
#include <vector>

#include "app/audio_capture_link.h"

namespace brimvex::app::test {

class SteppedWatchdogTime final : public WatchdogTime {
 public:
  explicit SteppedWatchdogTime(std::size_t limit = 1000) : limit_(limit) {}

  platform::Millis Now() override {
    std::lock_guard lock(mutex_);
    return now_;
  }
  int Wait(std::span<platform::Event* const> events, platform::Millis timeout) override {
    {
      std::unique_lock lock(mutex_);
      if (timeout != platform::kInfinite) {
        if (timed_.size() < limit_) {
          timed_.push_back(timeout);
          now_ += timeout;
          changed_.notify_all();
          lock.unlock();
          for (std::size_t i = 0; i < events.size(); ++i)
            if (events[i]->IsSet()) return static_cast<int>(i);
          return -1;
        }
      }
      ++blocking_;
      changed_.notify_all();
    }
    return platform::Event::WaitAny(events, platform::kInfinite);
  }

  // Moves the clock on (a child that ran this long).
  void Advance(platform::Millis by) {
    std::lock_guard lock(mutex_);
    now_ += by;
  }
  // The time-outs asked for so far.
  std::vector<platform::Millis> Timed() {
    std::lock_guard lock(mutex_);
    return timed_;
  }
  // Waits until `count` waits without an end (or past the limit) have begun in all.
  void WaitForBlockingWaits(int count) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return blocking_ >= count; });
  }
  void WaitForTimedWaits(std::size_t count) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return timed_.size() >= count; });
  }

 private:
  const std::size_t limit_;
  std::mutex mutex_;
  std::condition_variable changed_;
  platform::Millis now_{0};
  std::vector<platform::Millis> timed_;
  int blocking_ = 0;
};

}  // namespace brimvex::app::test
