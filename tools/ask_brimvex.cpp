#include "ask_brimvex.h"

#include <iostream>

#include "app/control_request.h"
#include "emulator/emulator_control.h"
#include "platform/ipc_inbox.h"
#include "platform/process.h"

namespace brimvex::tools {
namespace {

void Print(std::ostream& out, const std::string& text) {
  if (text.empty()) return;
  out << text;
  if (text.back() != '\n') out << '\n';
}

}  // namespace

int AskBrimvex(const std::string& peer, const std::vector<std::string>& words, platform::Millis wait) {
  platform::IpcHub hub;
  if (!hub.ready()) {
    std::cerr << "brimvexctl: " << hub.error() << "\n";
    return app::kExitFailed;
  }
  // Listening comes first, so the answer cannot arrive before anyone waits for it.
  app::ControlRequest request;
  request.id = static_cast<std::uint64_t>(platform::CurrentProcessId());
  request.reply_to = std::string(app::kReplyPeerPrefix) + std::to_string(request.id);
  request.words = words;
  platform::IpcInbox inbox(hub);
  if (!inbox.Listen(request.reply_to)) {
    std::cerr << "brimvexctl: cannot listen as " << request.reply_to << "\n";
    return app::kExitFailed;
  }
  const auto delivery = hub.PostTo(peer, app::EncodeRequest(request));
  if (delivery != platform::IpcHub::Delivery::kDelivered) {
    if (delivery == platform::IpcHub::Delivery::kNoPeer) {
      std::cerr << "brimvexctl: "
                << (peer == emulator::kEmulatorPeer ? "no emulated Brimvex is running (start it with `brimvex --emulate`)"
                                              : "Brimvex is not running (no peer \"" + peer + "\" in " + hub.directory() + ")")
                << "\n";
    } else {
      std::cerr << "brimvexctl: the request did not reach " << peer << ": " << platform::IpcHub::DeliveryText(delivery)
                << "\n";
    }
    return app::kExitFailed;
  }
  std::optional<app::ControlAnswer> answer;
  inbox.Take([&](const platform::IpcMessage& m) { return (answer = app::DecodeAnswer(m, request.id)).has_value(); },
             wait);
  if (!answer) {
    std::cerr << "brimvexctl: no answer from Brimvex\n";
    return app::kExitFailed;
  }
  Print(answer->exit_code == app::kExitDone ? std::cout : std::cerr, answer->text);
  return answer->exit_code;
}

}  // namespace brimvex::tools
