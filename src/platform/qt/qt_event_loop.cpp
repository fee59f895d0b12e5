#include "platform/qt/qt_event_loop.h"

#include <QCoreApplication>
#include <QThread>
#include <vector>

namespace brimvex::qt {

QtEventLoop::QtEventLoop() : start_(std::chrono::steady_clock::now()) {}

QtEventLoop::~QtEventLoop() {
  Quit(0);
  std::lock_guard lock(mutex_);
  for (auto& [key, timer] : timers_) delete timer;
  timers_.clear();
}

void QtEventLoop::Post(Task task) {
  {
    std::lock_guard lock(mutex_);
    if (quit_) return;
  }
  QMetaObject::invokeMethod(&context_, std::move(task), Qt::QueuedConnection);
}

bool QtEventLoop::Send(Task task, platform::Event* abort) {
  if (IsUiThread()) {
    if (HasQuit()) return false;
    task();
    return true;
  }
  auto done = std::make_shared<platform::Event>(platform::Event::Mode::kManualReset);
  {
    std::lock_guard lock(mutex_);
    if (quit_) return false;
  }
  QMetaObject::invokeMethod(
      &context_,
      [task = std::move(task), done] {
        task();
        done->Set();
      },
      Qt::QueuedConnection);
  std::vector<platform::Event*> events{done.get(), &quit_event_};
  if (abort != nullptr) events.push_back(abort);
  return platform::Event::WaitAny(events) == 0;
}

void QtEventLoop::SetTimer(const void* owner, std::uint32_t id, platform::Millis period, Task task, TimerKind kind) {
  auto shared = std::make_shared<Task>(std::move(task));
  const Key key{owner, id};
  if (IsUiThread()) {
    SetTimerOnUi(key, period, std::move(shared), kind);
  } else {
    Post([this, key, period, shared, kind] { SetTimerOnUi(key, period, shared, kind); });
  }
}

void QtEventLoop::SetTimerOnUi(Key key, platform::Millis period, std::shared_ptr<Task> task, TimerKind kind) {
  QTimer* timer = nullptr;
  {
    std::lock_guard lock(mutex_);
    auto it = timers_.find(key);
    if (it != timers_.end()) {
      it->second->stop();
      it->second->deleteLater();  // it may be the one firing right now
      timers_.erase(it);
    }
    timer = new QTimer(&context_);
    timers_[key] = timer;
  }
  timer->setSingleShot(kind == TimerKind::kOneShot);
  timer->setTimerType(period.count() < 50 ? Qt::PreciseTimer : Qt::CoarseTimer);
  QObject::connect(timer, &QTimer::timeout, &context_, [this, key, timer, task, kind] {
    if (kind == TimerKind::kOneShot) {
      std::lock_guard lock(mutex_);
      auto it = timers_.find(key);
      if (it != timers_.end() && it->second == timer) timers_.erase(it);
      timer->deleteLater();
    }
    (*task)();
  });
  timer->start(static_cast<int>(std::min<std::int64_t>(period.count(), INT32_MAX)));
}

void QtEventLoop::KillOnUi(const std::function<bool(const Key&)>& which) {
  std::lock_guard lock(mutex_);
  for (auto it = timers_.begin(); it != timers_.end();) {
    if (which(it->first)) {
      it->second->stop();
      it->second->deleteLater();
      it = timers_.erase(it);
    } else {
      ++it;
    }
  }
}

void QtEventLoop::KillTimer(const void* owner, std::uint32_t id) {
  const Key key{owner, id};
  auto kill = [this, key] { KillOnUi([&key](const Key& k) { return k == key; }); };
  if (IsUiThread()) {
    kill();
  } else {
    Post(kill);
  }
}

void QtEventLoop::KillTimers(const void* owner) {
  auto kill = [this, owner] { KillOnUi([owner](const Key& k) { return k.first == owner; }); };
  if (IsUiThread()) {
    kill();
  } else {
    Post(kill);
  }
}

bool QtEventLoop::HasTimer(const void* owner, std::uint32_t id) const {
  std::lock_guard lock(mutex_);
  return timers_.contains({owner, id});
}

platform::Millis QtEventLoop::Now() const {
  return std::chrono::duration_cast<platform::Millis>(std::chrono::steady_clock::now() - start_);
}

bool QtEventLoop::IsUiThread() const { return QThread::currentThread() == context_.thread(); }

int QtEventLoop::Run() {
  {
    std::lock_guard lock(mutex_);
    if (quit_) return quit_code_;
  }
  const int code = QCoreApplication::exec();
  std::lock_guard lock(mutex_);
  return quit_ ? quit_code_ : code;
}

void QtEventLoop::Quit(int code) {
  {
    std::lock_guard lock(mutex_);
    if (!quit_) quit_code_ = code;
    quit_ = true;
  }
  quit_event_.Set();
  if (QCoreApplication::instance() == nullptr) return;
  // exit() is for the main thread; from elsewhere it is queued there.
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [code] { QCoreApplication::exit(code); }, Qt::QueuedConnection);
}

bool QtEventLoop::HasQuit() const {
  std::lock_guard lock(mutex_);
  return quit_;
}

}  // namespace brimvex::qt
