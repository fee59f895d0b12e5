#include "platform/worker_thread.h"

namespace brimvex::platform {

struct WorkerThread::Shared {
  Event stop{Event::Mode::kManualReset};
  Event done{Event::Mode::kManualReset};
};

WorkerThread::WorkerThread() : shared_(std::make_shared<Shared>()) {}

WorkerThread::~WorkerThread() { Stop(Millis(1000)); }

bool WorkerThread::Start(Body body, void* owner) {
  if (thread_.joinable()) return false;
  shared_ = std::make_shared<Shared>();
  thread_ = std::thread([shared = shared_, body = std::move(body), owner] {
    body(ThreadParam{owner, &shared->stop});
    shared->done.Set();
  });
  return true;
}

bool WorkerThread::Running() const { return thread_.joinable() && !shared_->done.IsSet(); }

void WorkerThread::RequestStop() { shared_->stop.Set(); }

Event& WorkerThread::StopEvent() { return shared_->stop; }

WorkerThread::StopResult WorkerThread::Stop(Millis timeout) {
  if (!thread_.joinable()) return StopResult::kNotRunning;
  shared_->stop.Set();
  if (shared_->done.Wait(timeout)) {
    thread_.join();
    return StopResult::kEnded;
  }
  thread_.detach();
  return StopResult::kTimedOut;
}

}  // namespace brimvex::platform
