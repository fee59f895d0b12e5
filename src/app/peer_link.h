#pragma once
// How the program meets other programs: the single-instance lock and named messages to and from
// peers (the running instance, outside tools). The IPC hub implements it; tests record.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/ipc_frame.h"

namespace brimvex::app {

// {registered message name, wParam, lParam, payload}, as the hub carries it.
using PeerMessage = platform::IpcMessage;

class PeerLink {
 public:
  virtual ~PeerLink() = default;
  // Takes the named single-instance lock; false when another process holds it.
  virtual bool AcquireInstanceLock(const std::string& name) = 0;
  virtual void ReleaseInstanceLock() = 0;
  // Receives messages for `window_name` on another thread; false when that fails.
  virtual bool Listen(const std::string& window_name, std::function<void(const PeerMessage&)> on_message) = 0;
  virtual void StopListening() = 0;
  virtual bool Post(const std::string& window_name, const PeerMessage& message) = 0;
  // The same, waiting at most `timeout` for the peer to take it.
  virtual bool PostWithin(const std::string& window_name, const PeerMessage& message, std::chrono::milliseconds) {
    return Post(window_name, message);
  }
  // To every other peer; how many were reached.
  virtual int Broadcast(const PeerMessage& message) = 0;
};

}  // namespace brimvex::app
