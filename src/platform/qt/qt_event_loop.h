#pragma once
// The UI thread's event loop on Qt: posted tasks are queued invocations on a context object,
// sends from workers wait on the task (or the loop's quit, or an abort event), timers are
// QTimers keyed by (owner, id).
#include <QObject>
#include <QTimer>
#include <chrono>
#include <map>
#include <memory>
#include <mutex>

#include "platform/event_loop.h"

namespace brimvex::qt {

class QtEventLoop final : public platform::EventLoop {
 public:
  // Construct on the Qt main thread once the application object exists.
  QtEventLoop();
  ~QtEventLoop() override;

  void Post(Task task) override;
  bool Send(Task task, platform::Event* abort = nullptr) override;
  void SetTimer(const void* owner, std::uint32_t id, platform::Millis period, Task task,
                TimerKind kind = TimerKind::kPeriodic) override;
  void KillTimer(const void* owner, std::uint32_t id) override;
  void KillTimers(const void* owner) override;
  bool HasTimer(const void* owner, std::uint32_t id) const override;
  platform::Millis Now() const override;
  bool IsUiThread() const override;
  int Run() override;
  void Quit(int code) override;
  bool HasQuit() const override;

 private:
  using Key = std::pair<const void*, std::uint32_t>;
  void SetTimerOnUi(Key key, platform::Millis period, std::shared_ptr<Task> task, TimerKind kind);
  void KillOnUi(const std::function<bool(const Key&)>& which);

  QObject context_;
  const std::chrono::steady_clock::time_point start_;
  mutable std::mutex mutex_;
  std::map<Key, QTimer*> timers_;  // touched on the UI thread; the mutex guards lookups
  bool quit_ = false;
  int quit_code_ = 0;
  platform::Event quit_event_{platform::Event::Mode::kManualReset};
};

}  // namespace brimvex::qt
