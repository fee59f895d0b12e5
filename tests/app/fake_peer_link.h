#pragma once
// Records what the program sends to other programs and plays the single-instance lock.
#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "app/peer_link.h"

namespace brimvex::app {

class FakePeerLink final : public PeerLink {
 public:
  bool AcquireInstanceLock(const std::string& name) override {
    lock_name = name;
    return !lock_taken;
  }
  void ReleaseInstanceLock() override { released = true; }
  bool Listen(const std::string& window_name, std::function<void(const PeerMessage&)> on_message) override {
    listen_name = window_name;
    deliver = std::move(on_message);
    return true;
  }
  void StopListening() override { deliver = nullptr; }
  // Also called from workers (the capture watchdog's exit sequence).
  bool Post(const std::string& window_name, const PeerMessage& message) override {
    std::lock_guard lock(mutex);
    posted.emplace_back(window_name, message);
    return std::find(unreachable.begin(), unreachable.end(), window_name) == unreachable.end();
  }
  // What was posted to one peer, in order.
  std::vector<PeerMessage> PostedTo(const std::string& window_name) {
    std::lock_guard lock(mutex);
    std::vector<PeerMessage> to;
    for (const auto& [name, m] : posted)
      if (name == window_name) to.push_back(m);
    return to;
  }
  int Broadcast(const PeerMessage& message) override {
    broadcasts.push_back(message);
    return 0;
  }

  std::mutex mutex;
  // Peers that do not listen: posts to them are recorded and fail.
  std::vector<std::string> unreachable;
  bool lock_taken = false;
  bool released = false;
  std::string lock_name;
  std::string listen_name;
  std::function<void(const PeerMessage&)> deliver;
  std::vector<std::pair<std::string, PeerMessage>> posted;
  std::vector<PeerMessage> broadcasts;
};

}  // namespace brimvex::app
