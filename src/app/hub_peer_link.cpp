#include "app/hub_peer_link.h"

#include "platform/ipc_hub.h"
#include "platform/single_instance.h"
#include "platform/trace.h"

namespace brimvex::app {

HubPeerLink::HubPeerLink(std::string directory)
    : directory_(directory.empty() ? platform::IpcHub::DefaultDirectory() : std::move(directory)),
      hub_(std::make_unique<platform::IpcHub>(directory_)) {
  if (!hub_->ready()) platform::Trace("IPC: " + hub_->error());
}

HubPeerLink::~HubPeerLink() {
  StopListening();
  ReleaseInstanceLock();
}

bool HubPeerLink::AcquireInstanceLock(const std::string& name) {
  platform::SingleInstanceLock::Status status{};
  std::string error;
  lock_ = platform::SingleInstanceLock::Acquire(name, directory_, &status, &error);
  if (lock_ != nullptr) return true;
  if (status == platform::SingleInstanceLock::Status::kHeldElsewhere) return false;
  // A lock that cannot be made at all must not keep the program from starting.
  platform::Trace("single-instance lock unavailable: " + error);
  return true;
}

void HubPeerLink::ReleaseInstanceLock() { lock_.reset(); }

bool HubPeerLink::Listen(const std::string& window_name, std::function<void(const PeerMessage&)> on_message) {
  return hub_->Listen(window_name, std::move(on_message));
}

void HubPeerLink::StopListening() { hub_->Stop(); }

bool HubPeerLink::Post(const std::string& window_name, const PeerMessage& message) {
  return hub_->Post(window_name, message);
}

bool HubPeerLink::PostWithin(const std::string& window_name, const PeerMessage& message,
                             std::chrono::milliseconds timeout) {
  return hub_->PostTo(window_name, message, static_cast<int>(timeout.count())) ==
         platform::IpcHub::Delivery::kDelivered;
}

int HubPeerLink::Broadcast(const PeerMessage& message) { return hub_->Broadcast(message); }

}  // namespace brimvex::app
