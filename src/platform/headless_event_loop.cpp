#include "platform/headless_event_loop.h"

#include <memory>

namespace brimvex::platform {

HeadlessEventLoop::HeadlessEventLoop(ClockKind clock)
    : clock_(clock), start_(std::chrono::steady_clock::now()), ui_thread_(std::this_thread::get_id()) {}

HeadlessEventLoop::~HeadlessEventLoop() { Quit(0); }

void HeadlessEventLoop::BindToCurrentThread() {
  std::lock_guard lock(mutex_);
  ui_thread_ = std::this_thread::get_id();
}

bool HeadlessEventLoop::IsUiThread() const {
  std::lock_guard lock(mutex_);
  return ui_thread_ == std::this_thread::get_id();
}

Millis HeadlessEventLoop::RealNow() const {
  return std::chrono::duration_cast<Millis>(std::chrono::steady_clock::now() - start_);
}

Millis HeadlessEventLoop::Now() const {
  if (clock_ == ClockKind::kReal) return RealNow();
  std::lock_guard lock(mutex_);
  return manual_now_;
}

void HeadlessEventLoop::Post(Task task) {
  // Notified under the lock: the posted task may end the loop and destroy it as soon as the UI
  // thread can take the lock, so nothing of the loop is touched after unlocking.
  std::lock_guard lock(mutex_);
  if (quit_) return;
  tasks_.push_back(std::move(task));
  wake_.notify_all();
}

bool HeadlessEventLoop::Send(Task task, Event* abort) {
  if (IsUiThread()) {
    if (HasQuit()) return false;
    task();
    return true;
  }
  auto done = std::make_shared<Event>(Event::Mode::kManualReset);
  auto ran = std::make_shared<bool>(false);
  {
    std::lock_guard lock(mutex_);
    if (quit_) return false;
    tasks_.push_back([task = std::move(task), done, ran] {
      task();
      *ran = true;
      done->Set();
    });
  }
  wake_.notify_all();
  std::vector<Event*> events{done.get(), &quit_event_};
  if (abort != nullptr) events.push_back(abort);
  const int which = Event::WaitAny(events);
  // The task may still be queued after an abort; it then runs later with nobody waiting.
  return which == 0;
}

void HeadlessEventLoop::SetTimer(const void* owner, std::uint32_t id, Millis period, Task task, TimerKind kind) {
  const Millis now = Now();
  {
    std::lock_guard lock(mutex_);
    timers_[{owner, id}] = Timer{period, now + period, kind, ++generation_, std::make_shared<Task>(std::move(task))};
  }
  wake_.notify_all();
}

void HeadlessEventLoop::KillTimer(const void* owner, std::uint32_t id) {
  std::lock_guard lock(mutex_);
  timers_.erase({owner, id});
}

void HeadlessEventLoop::KillTimers(const void* owner) {
  std::lock_guard lock(mutex_);
  std::erase_if(timers_, [owner](const auto& kv) { return kv.first.first == owner; });
}

bool HeadlessEventLoop::HasTimer(const void* owner, std::uint32_t id) const {
  std::lock_guard lock(mutex_);
  return timers_.contains({owner, id});
}

bool HeadlessEventLoop::PopTask(Task& task) {
  std::lock_guard lock(mutex_);
  if (tasks_.empty()) return false;
  task = std::move(tasks_.front());
  tasks_.pop_front();
  return true;
}

std::size_t HeadlessEventLoop::RunPending() {
  std::size_t n = 0;
  Task task;
  while (PopTask(task)) {
    task();
    ++n;
  }
  return n;
}

Millis HeadlessEventLoop::NextDeadlineLocked() const {
  Millis best = Millis::max();
  for (const auto& [key, t] : timers_) best = std::min(best, t.due);
  return best;
}

bool HeadlessEventLoop::FireOneDue(Millis now) {
  std::shared_ptr<Task> task;
  {
    std::lock_guard lock(mutex_);
    auto best = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
      if (it->second.due > now) continue;
      // Equal deadlines fire in the order the timers were armed.
      if (best == timers_.end() || it->second.due < best->second.due ||
          (it->second.due == best->second.due && it->second.generation < best->second.generation))
        best = it;
    }
    if (best == timers_.end()) return false;
    task = best->second.task;
    if (best->second.kind == TimerKind::kOneShot) {
      timers_.erase(best);
    } else {
      // A period of 0 still advances, so a zero timer cannot spin forever at one instant.
      best->second.due += std::max(best->second.period, Millis(1));
    }
  }
  (*task)();
  RunPending();
  return true;
}

void HeadlessEventLoop::AdvanceClock(Millis by) {
  if (clock_ == ClockKind::kReal) {
    RunPending();
    while (FireOneDue(RealNow())) {
    }
    return;
  }
  Millis target;
  {
    std::lock_guard lock(mutex_);
    target = manual_now_ + by;
  }
  RunPending();
  for (;;) {
    Millis next;
    {
      std::lock_guard lock(mutex_);
      next = NextDeadlineLocked();
      if (next > target) break;
      manual_now_ = std::max(manual_now_, next);
    }
    FireOneDue(next);
  }
  std::lock_guard lock(mutex_);
  manual_now_ = target;
}

bool HeadlessEventLoop::RunUntil(const std::function<bool()>& pred, Millis limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  for (;;) {
    RunPending();
    if (clock_ == ClockKind::kReal) {
      while (FireOneDue(RealNow())) {
      }
    }
    if (pred()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    std::unique_lock lock(mutex_);
    auto until = end;
    if (clock_ == ClockKind::kReal) {
      const Millis next = NextDeadlineLocked();
      if (next != Millis::max()) until = std::min(until, start_ + next);
    }
    // A short cap keeps pred() checks timely when its state changes without a task.
    until = std::min(until, std::chrono::steady_clock::now() + Millis(10));
    wake_.wait_until(lock, until, [&] { return !tasks_.empty() || quit_; });
  }
}

int HeadlessEventLoop::Run() {
  for (;;) {
    RunPending();
    if (clock_ == ClockKind::kReal) {
      while (FireOneDue(RealNow())) {
      }
    }
    std::unique_lock lock(mutex_);
    if (quit_) return quit_code_;
    if (!tasks_.empty()) continue;
    const Millis next = clock_ == ClockKind::kReal ? NextDeadlineLocked() : Millis::max();
    if (next == Millis::max()) {
      wake_.wait(lock, [&] { return !tasks_.empty() || quit_; });
    } else {
      wake_.wait_until(lock, start_ + next, [&] { return !tasks_.empty() || quit_; });
    }
  }
}

void HeadlessEventLoop::Quit(int code) {
  {
    std::lock_guard lock(mutex_);
    if (!quit_) quit_code_ = code;
    quit_ = true;
  }
  quit_event_.Set();
  wake_.notify_all();
}

bool HeadlessEventLoop::HasQuit() const {
  std::lock_guard lock(mutex_);
  return quit_;
}

}  // namespace brimvex::platform
