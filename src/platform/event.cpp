#include "platform/event.h"

#include <algorithm>

namespace brimvex::platform {

struct Event::Waiter {
  std::mutex mutex;
  std::condition_variable cv;
  bool signalled = false;
};

namespace {
// Deadline of a wait, or nullopt for an infinite one.
using Clock = std::chrono::steady_clock;
bool Infinite(Millis timeout) { return timeout == kInfinite; }
}  // namespace

Event::Event(Mode mode, bool initially_set) : mode_(mode), set_(initially_set) {}
Event::~Event() = default;

void Event::Set() {
  std::lock_guard lock(mutex_);
  set_ = true;
  if (mode_ == Mode::kManualReset) {
    cv_.notify_all();
  } else {
    cv_.notify_one();
  }
  for (auto& w : waiters_) {
    std::lock_guard wl(w->mutex);
    w->signalled = true;
    w->cv.notify_all();
  }
}

void Event::Reset() {
  std::lock_guard lock(mutex_);
  set_ = false;
}

bool Event::IsSet() const {
  std::lock_guard lock(mutex_);
  return set_;
}

bool Event::TryConsumeLocked() {
  if (!set_) return false;
  if (mode_ == Mode::kAutoReset) set_ = false;
  return true;
}

bool Event::Wait(Millis timeout) {
  std::unique_lock lock(mutex_);
  if (Infinite(timeout)) {
    cv_.wait(lock, [&] { return set_; });
  } else if (!cv_.wait_for(lock, timeout, [&] { return set_; })) {
    return false;
  }
  return TryConsumeLocked();
}

int Event::WaitAny(std::span<Event* const> events, Millis timeout) {
  auto waiter = std::make_shared<Waiter>();
  const auto deadline = Infinite(timeout) ? Clock::time_point::max() : Clock::now() + timeout;
  for (Event* e : events) {
    std::lock_guard lock(e->mutex_);
    e->waiters_.push_back(waiter);
  }
  int found = -1;
  for (;;) {
    // Event locks are never taken while the waiter lock is held: Set() takes them in the
    // other order.
    for (std::size_t i = 0; i < events.size() && found < 0; ++i) {
      std::lock_guard lock(events[i]->mutex_);
      if (events[i]->TryConsumeLocked()) found = static_cast<int>(i);
    }
    if (found >= 0) break;
    std::unique_lock wl(waiter->mutex);
    if (!waiter->signalled) {
      if (deadline == Clock::time_point::max()) {
        waiter->cv.wait(wl, [&] { return waiter->signalled; });
      } else if (!waiter->cv.wait_until(wl, deadline, [&] { return waiter->signalled; })) {
        break;
      }
    }
    waiter->signalled = false;
  }
  for (Event* e : events) {
    std::lock_guard lock(e->mutex_);
    std::erase(e->waiters_, waiter);
  }
  return found;
}

}  // namespace brimvex::platform
