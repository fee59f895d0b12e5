#pragma once
// The peer link over the local IPC hub: the single-instance lock file and named messages to
// and from other programs of this user.
#include <memory>

#include "app/peer_link.h"

namespace brimvex::platform {
class IpcHub;
class SingleInstanceLock;
}  // namespace brimvex::platform

namespace brimvex::app {

class HubPeerLink final : public PeerLink {
 public:
  // An empty folder means the hub's default folder.
  explicit HubPeerLink(std::string directory = {});
  ~HubPeerLink() override;

  bool AcquireInstanceLock(const std::string& name) override;
  void ReleaseInstanceLock() override;
  bool Listen(const std::string& window_name, std::function<void(const PeerMessage&)> on_message) override;
  void StopListening() override;
  bool Post(const std::string& window_name, const PeerMessage& message) override;
  bool PostWithin(const std::string& window_name, const PeerMessage& message,
                  std::chrono::milliseconds timeout) override;
  int Broadcast(const PeerMessage& message) override;

 private:
  std::string directory_;
  std::unique_ptr<platform::IpcHub> hub_;
  std::unique_ptr<platform::SingleInstanceLock> lock_;
};

}  // namespace brimvex::app
