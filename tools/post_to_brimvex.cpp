#include "post_to_brimvex.h"

#include <iostream>

namespace brimvex::tools {

int PostToBrimvex(const platform::IpcMessage& message) {
  platform::IpcHub hub;
  if (!hub.ready()) {
    std::cerr << "brimvexctl: " << hub.error() << "\n";
    return 1;
  }
  const auto delivery = hub.PostTo(kBrimvexPeer, message);
  switch (delivery) {
    case platform::IpcHub::Delivery::kDelivered:
      return 0;
    case platform::IpcHub::Delivery::kNoPeer:
      std::cerr << "brimvexctl: Brimvex is not running (no peer \"" << kBrimvexPeer << "\" in " << hub.directory()
                << ")\n";
      return 1;
    default:
      std::cerr << "brimvexctl: message \"" << message.name
                << "\" not delivered: " << platform::IpcHub::DeliveryText(delivery) << "\n";
      return 1;
  }
}

}  // namespace brimvex::tools
