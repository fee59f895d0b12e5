#pragma once
// The update service `brimvex --emulate` and `brimvexctl update check --emulate` talk to: newer
// firmware for the emulated keyboard (with its file and its sha256), everything else current.
#include "platform/httplib/update_service.h"

namespace brimvex::app {

platform::UpdateServiceConfig EmulatedUpdateServiceConfig();

}  // namespace brimvex::app
