#pragma once
// How the program meets other programs: the single-instance lock and named messages to and from
// peers (the running instance, outside tools). The IPC hub implements it; tests record.
#include <cstdint>
#include <functional>
#include <string>

namespace brimvex::app {

struct PeerMessage {
  std::string name;  // registered message name
  std::uint64_t wparam = 0;
  std::int64_t lparam = 0;
  std::string payload;
};

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
  // To every other peer; how many were reached.
  virtual int Broadcast(const PeerMessage& message) = 0;
};

}  // namespace brimvex::app
