#pragma once
// Posting one registered message to the running Brimvex through the IPC hub, as the CLI does it.
#include <string>

#include "platform/ipc_hub.h"

namespace brimvex::tools {

// The peer name of the running program.
inline constexpr const char* kBrimvexPeer = "Brimvex";

// Posts the message to the peer "Brimvex"; on failure writes a clear line to stderr. Returns the
// exit code: 0 delivered, 1 otherwise (no instance running included).
int PostToBrimvex(const platform::IpcMessage& message);

}  // namespace brimvex::tools
