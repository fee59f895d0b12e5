#include "product_path.h"

#include <vector>

#include "app/device_tables.h"
#include "hid/hid_path.h"

namespace brimvex::tools {

std::string FindCommandPath(platform::HidBackend& backend, std::uint16_t type) {
  std::vector<std::string> paths;
  if (!backend.Enumerate(paths)) return "";
  for (const auto& row : app::SupportedDevices()) {
    if (row.type != type || row.role != app::kRoleCommand) continue;
    for (const std::string& p : paths) {
      const auto field = [&](std::string_view key) { return static_cast<std::uint16_t>(hid::PathField(p, key)); };
      if (!p.empty() && app::InterfaceMatches(row, field(hid::kVendorKey), field(hid::kProductKey),
                                              field(hid::kInterfaceKey), field(hid::kCollectionKey)))
        return p;
    }
  }
  return "";
}

}  // namespace brimvex::tools
