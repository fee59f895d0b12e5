// Brimvex: until the window frontend lands, print the version and the supported products.
#include <cstdio>
#include <string>

#include "app/device_tables.h"

int main() {
  using namespace brimvex::app;
  std::printf("Brimvex %.*s\n", static_cast<int>(kProgramVersion.size()), kProgramVersion.data());
  std::printf("Supported products:\n");
  std::printf("%-4s %-6s %-6s %-5s %-5s %-4s %-4s %-6s %-6s %s\n", "row", "vid", "pid", "mi", "col", "type", "role",
              "page", "usage", "partner");
  const auto& rows = SupportedDevices();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const SlotRecord& r = rows[i];
    std::printf("%-4zu %04X   %04X   %-5u %-5u %-4u %-4s %04X   %04X   %s\n", i, r.vendor_id, r.product_id,
                r.interface_number, r.collection_number, r.type, r.role == kRoleEvent ? "evt" : "cmd", r.usage_page,
                r.usage, r.has_partner ? std::to_string(r.partner_row).c_str() : "-");
  }
  return 0;
}
