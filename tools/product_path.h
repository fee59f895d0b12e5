#pragma once
// The command interface of a product among the enumerated HID paths, as discovery matches it.
#include <cstdint>
#include <string>

#include "platform/hid_backend.h"

namespace brimvex::tools {

// The first enumerated path accepted as the command row of the supported-device type; "" when
// there is none.
std::string FindCommandPath(platform::HidBackend& backend, std::uint16_t type);

}  // namespace brimvex::tools
