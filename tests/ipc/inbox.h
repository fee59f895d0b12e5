#pragma once
// Collects the messages a hub hands over on its own thread.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/ipc_hub.h"

namespace brimvex::test {

class Inbox {
 public:
  std::function<void(const platform::IpcMessage&)> Handler() {
    return [this](const platform::IpcMessage& m) {
      std::lock_guard lock(mutex_);
      messages_.push_back(m);
      cv_.notify_all();
    };
  }
  // Waits until `count` messages have arrived. The long deadline only turns a hang into a failure.
  bool WaitFor(std::size_t count) {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, std::chrono::seconds(20), [&] { return messages_.size() >= count; });
  }
  // Waits until the messages so far satisfy `done`.
  template <typename Predicate>
  bool WaitUntil(Predicate done) {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, std::chrono::seconds(20), [&] { return done(messages_); });
  }
  std::vector<platform::IpcMessage> Messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable cv_;
  std::vector<platform::IpcMessage> messages_;
};

}  // namespace brimvex::test
