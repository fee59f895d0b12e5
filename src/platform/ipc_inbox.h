#pragma once
// A peer that waits for one answer: it listens on the hub under a name and hands the first frame
// a caller accepts to the thread that waits for it, without polling. Frames nobody accepts
// (broadcasts meant for every peer, late answers) are dropped.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "platform/event.h"
#include "platform/ipc_hub.h"

namespace brimvex::platform {

class IpcInbox {
 public:
  explicit IpcInbox(IpcHub& hub) : hub_(hub) {}
  ~IpcInbox() { hub_.Stop(); }
  IpcInbox(const IpcInbox&) = delete;
  IpcInbox& operator=(const IpcInbox&) = delete;

  // False when the name is taken by a live peer (or the hub cannot listen).
  bool Listen(const std::string& name);
  // Waits until a frame for which `accept` is true arrives (frames already queued count), and
  // takes it; nullopt when none came within `timeout`. Refused frames are dropped.
  std::optional<IpcMessage> Take(const std::function<bool(const IpcMessage&)>& accept, Millis timeout);

 private:
  // Frames queued while nobody waits; a flood drops the oldest.
  static constexpr std::size_t kQueueLimit = 64;
  IpcHub& hub_;
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<IpcMessage> queue_;
};

}  // namespace brimvex::platform
