#include "platform/ipc_inbox.h"

#include <chrono>

namespace brimvex::platform {

bool IpcInbox::Listen(const std::string& name) {
  return hub_.Listen(name, [this](const IpcMessage& m) {
    std::lock_guard lock(mutex_);
    if (queue_.size() >= kQueueLimit) queue_.pop_front();
    queue_.push_back(m);
    arrived_.notify_all();
  });
}

std::optional<IpcMessage> IpcInbox::Take(const std::function<bool(const IpcMessage&)>& accept, Millis timeout) {
  const bool forever = timeout == kInfinite;
  const auto deadline = std::chrono::steady_clock::now() + (forever ? Millis(0) : timeout);
  std::unique_lock lock(mutex_);
  for (;;) {
    while (!queue_.empty()) {
      IpcMessage m = std::move(queue_.front());
      queue_.pop_front();
      if (accept(m)) return m;
    }
    if (forever) {
      arrived_.wait(lock);
    } else if (arrived_.wait_until(lock, deadline) == std::cv_status::timeout && queue_.empty()) {
      return std::nullopt;
    }
  }
}

}  // namespace brimvex::platform
