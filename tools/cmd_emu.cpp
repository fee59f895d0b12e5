// brimvexctl emu ACTION DEVICE [VALUE]: turn the emulated devices of a running `brimvex --emulate`
// (plug, unplug, power-on, power-off, battery N, charge S, notify CODE).
#include <iostream>
#include <memory>
#include <string>

#include "commands.h"
#include "emulator/emulator_control.h"
#include "platform/ipc_hub.h"

namespace brimvex::tools {
namespace {

struct EmuArgs {
  std::string action;
  std::string device;
  std::string value;
};

int SendToEmulator(const emulator::EmuCommand& command) {
  platform::IpcHub hub;
  if (!hub.ready()) {
    std::cerr << "brimvexctl: " << hub.error() << "\n";
    return 1;
  }
  const auto delivery = hub.PostTo(std::string(emulator::kEmulatorPeer), emulator::EncodeEmuCommand(command));
  switch (delivery) {
    case platform::IpcHub::Delivery::kDelivered:
      return 0;
    case platform::IpcHub::Delivery::kNoPeer:
      std::cerr << "brimvexctl: no emulated Brimvex is running (start it with `brimvex --emulate`)\n";
      return 1;
    default:
      std::cerr << "brimvexctl: the command did not reach the emulated Brimvex: "
                << platform::IpcHub::DeliveryText(delivery) << "\n";
      return 1;
  }
}

}  // namespace

void AddEmuCommand(CLI::App& app) {
  auto args = std::make_shared<EmuArgs>();
  auto* cmd = app.add_subcommand("emu", "turn the emulated devices of a running `brimvex --emulate`");
  cmd->add_option("ACTION", args->action, "plug, unplug, power-on, power-off, battery, charge or notify")->required();
  cmd->add_option("DEVICE", args->device, "keyboard, keyboard-receiver, mouse, mouse-receiver, pad or headset")
      ->required();
  cmd->add_option("VALUE", args->value, "battery 0..100, charge 0..2, notify a 16-bit code (decimal or 0x hex)");
  cmd->callback([args] {
    std::string error;
    const auto command = emulator::ParseEmuCommand(args->action, args->device, args->value, &error);
    if (!command) {
      std::cerr << "brimvexctl emu: " << error << "\n";
      ExitCode() = 1;
      return;
    }
    ExitCode() = SendToEmulator(*command);
  });
}

}  // namespace brimvex::tools
