// brimvexctl emu ACTION DEVICE [VALUE]: turn the emulated devices of a running `brimvex --emulate`
// (plug, unplug, power-on, power-off, battery N, charge S, notify CODE).
#include <iostream>
#include <memory>
#include <string>

#include "app/control_request.h"
#include "ask_brimvex.h"
#include "commands.h"
#include "emulator/emulator_control.h"

namespace brimvex::tools {
namespace {

struct EmuArgs {
  std::string action;
  std::string device;
  std::string value;
};

}  // namespace

void AddEmuCommand(CLI::App& app) {
  auto args = std::make_shared<EmuArgs>();
  auto* cmd = app.add_subcommand("emu", "turn the emulated devices of a running `brimvex --emulate`");
  cmd->add_option("ACTION", args->action, "plug, unplug, power-on, power-off, battery, charge or notify")->required();
  cmd->add_option("DEVICE", args->device, "keyboard, keyboard-receiver, mouse, mouse-receiver, pad or headset")
      ->required();
  cmd->add_option("VALUE", args->value, "battery 0..100, charge 0..2, notify a 16-bit code (decimal or 0x hex)");
  cmd->callback([args] {
    // The words are checked here first: nothing is sent when they are malformed.
    std::string error;
    if (!emulator::ParseEmuCommand(args->action, args->device, args->value, &error)) {
      std::cerr << "brimvexctl emu: " << error << "\n";
      ExitCode() = app::kExitMalformed;
      return;
    }
    std::vector<std::string> words{"emu", args->action, args->device};
    if (!args->value.empty()) words.push_back(args->value);
    ExitCode() = AskBrimvex(std::string(emulator::kEmulatorPeer), words);
  });
}

}  // namespace brimvex::tools
