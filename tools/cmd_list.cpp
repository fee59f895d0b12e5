// `list [--emulate]`: the HID interfaces that belong to the supported products, found the way the
// discovery finds them (path keys first, then a read-only trial open for the usage page and usage).
#include <cstdio>
#include <memory>

#include "app/device_tables.h"
#include "commands.h"
#include "emulator/emulator.h"
#include "hid/hid_interface.h"
#include "hid/hid_path.h"
#include "hid_backend_choice.h"

namespace brimvex::tools {

namespace {

int ListInterfaces(platform::HidBackend& backend) {
  hid::HidInterface list(backend);
  if (!list.Enumerate()) {
    std::fprintf(stderr, "brimvexctl list: the HID interfaces cannot be enumerated\n");
    return 1;
  }
  const auto& rows = app::SupportedDevices();
  int listed = 0, unopened = 0;
  std::printf("%-4s %-5s %-5s %-10s %-11s %s\n", "row", "type", "role", "interface", "collection", "path");
  while (const auto path = list.NextPath()) {
    auto key = [&](std::string_view k) { return static_cast<std::uint16_t>(hid::PathField(*path, k) & 0xFFFF); };
    const std::uint16_t vid = key(hid::kVendorKey), pid = key(hid::kProductKey);
    const std::uint16_t mi = key(hid::kInterfaceKey), col = key(hid::kCollectionKey);
    bool candidate = false;
    for (const auto& row : rows) candidate = candidate || app::InterfaceMatches(row, vid, pid, mi, col);
    if (!candidate) continue;

    hid::HidInterface trial(backend);
    if (!trial.Open(*path, true, false, true, false)) {
      ++unopened;
      continue;
    }
    const auto& attr = trial.attributes();
    const auto& caps = trial.capabilities();
    for (std::size_t r = 0; r < rows.size(); ++r) {
      if (!app::InterfaceMatches(rows[r], attr.vendor_id, attr.product_id, mi, col) ||
          !app::InterfaceAccepted(rows[r], caps.usage_page, caps.usage))
        continue;
      std::printf("%-4zu %-5u 0x%02X  %-10u %-11u %.*s\n", r, rows[r].type, rows[r].role, mi, col,
                  static_cast<int>(path->size()), path->data());
      ++listed;
      break;
    }
  }
  if (listed == 0) std::printf("no interface of a supported product found\n");
  if (unopened > 0) {
    std::printf(
        "%d interface(s) of supported products could not be opened: install the udev rule "
        "70-brimvex.rules and plug them again\n",
        unopened);
  }
  return 0;
}

}  // namespace

void AddListCommand(CLI::App& app) {
  auto* cmd = app.add_subcommand("list", "List the HID interfaces of the supported products");
  auto emulate = std::make_shared<bool>(false);
  cmd->add_flag("--emulate", *emulate,
                "List the built-in emulated set (keyboard on its cable, mouse through its receiver, mouse pad, "
                "headset) instead of the machine's hidraw devices");
  cmd->callback([emulate] {
    emulator::Emulator machine;
    if (*emulate) machine.AddDefaultSet();
    ExitCode() = ListInterfaces(*MakeHidBackend(*emulate, machine));
  });
}

}  // namespace brimvex::tools
