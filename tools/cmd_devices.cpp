// brimvexctl devices [--timeout MS]: the running Brimvex's device list, as the tool named
// "VudiRuvu" receives it: one line per row, "vvvv:pppp TYPE KIND".
#include <cstdio>
#include <iostream>
#include <memory>

#include "app/app_messages.h"
#include "app/control_request.h"
#include "app/device_list_block.h"
#include "commands.h"
#include "platform/ipc_inbox.h"
#include "post_to_brimvex.h"

namespace brimvex::tools {
namespace {

const char* KindName(std::int32_t type) {
  switch (type) {
    case 1:
      return "keyboard";
    case 9:
      return "keyboard-receiver";
    case 2:
      return "mouse";
    case 6:
      return "mouse-receiver";
    case 3:
      return "pad";
    case 7:
      return "headset";
    default:
      return "unknown";
  }
}

int ListDevices(int timeout_ms) {
  platform::IpcHub hub;
  if (!hub.ready()) {
    std::cerr << "brimvexctl: " << hub.error() << "\n";
    return app::kExitFailed;
  }
  platform::IpcInbox inbox(hub);
  if (!inbox.Listen(std::string(app::kDeviceListPeer))) {
    std::cerr << "brimvexctl: the peer name " << app::kDeviceListPeer << " is taken by another program\n";
    return app::kExitFailed;
  }
  const int posted = PostToBrimvex({std::string(app::kDeviceListQueryName), 0, 0, {}});
  if (posted != 0) return posted;
  // Broadcasts to every peer (light-control state, ...) reach this name too; only the list counts.
  const auto reply = inbox.Take(
      [](const platform::IpcMessage& m) { return m.name == app::kCopyDataName && m.lparam == app::kDeviceListKind; },
      platform::Millis(timeout_ms));
  if (!reply) {
    std::cerr << "brimvexctl: no answer from Brimvex\n";
    return app::kExitFailed;
  }
  std::string why;
  const auto rows = app::ParseDeviceListBlock(reply->payload, &why);
  if (!rows) {
    std::cerr << "brimvexctl: " << why << "\n";
    return app::kExitFailed;
  }
  for (const app::DeviceListRow& r : *rows)
    std::printf("%04x:%04x %d %s\n", r.vendor_id, r.product_id, r.type, KindName(r.type));
  return app::kExitDone;
}

}  // namespace

void AddDevicesCommand(CLI::App& app) {
  auto timeout = std::make_shared<int>(2000);
  auto* cmd = app.add_subcommand("devices", "the device list of the running Brimvex");
  cmd->add_option("--timeout", *timeout, "how long to wait for the list, in ms (default 2000)")
      ->check(CLI::Range(1, 600000));
  cmd->callback([timeout] { ExitCode() = ListDevices(*timeout); });
}

}  // namespace brimvex::tools
