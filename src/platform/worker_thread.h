#pragma once
// A worker thread with its manual-reset stop event and parameter record. Stop() sets the event
// and waits for the thread with a time-out. A thread cannot be killed safely, so one that does
// not end in time is detached; its body keeps the shared state alive until it returns.
#include <functional>
#include <memory>
#include <thread>

#include "platform/event.h"

namespace brimvex::platform {

// What a worker body is handed: the owner that started it and its stop event.
struct ThreadParam {
  void* owner = nullptr;
  Event* stop = nullptr;
};

class WorkerThread {
 public:
  enum class StopResult { kEnded, kTimedOut, kNotRunning };
  using Body = std::function<void(const ThreadParam&)>;

  WorkerThread();
  ~WorkerThread();  // stops with a 1000 ms time-out
  WorkerThread(const WorkerThread&) = delete;
  WorkerThread& operator=(const WorkerThread&) = delete;

  // Starts the body on a new thread with a cleared stop event. False when one is running.
  bool Start(Body body, void* owner = nullptr);
  bool Running() const;
  // Sets the stop event only.
  void RequestStop();
  // Sets the stop event and waits up to the time-out for the body to return.
  StopResult Stop(Millis timeout);
  // The stop event of the current or next run.
  Event& StopEvent();

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
  std::thread thread_;
};

}  // namespace brimvex::platform
