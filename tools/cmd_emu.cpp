// brimvexctl emu ACTION DEVICE [VALUE]: turn the emulated devices of a running `brimvex --emulate`
// (plug, unplug, power-on, power-off, battery N, charge S, notify CODE, fault KIND [PACKET [COUNT]],
// fault clear; count CODE prints how many requests with that command code the device took);
// `emu block keyboard|mouse macros|recoil` prints the last block the device holds.
#include <iostream>
#include <memory>
#include <string>

#include "app/control_request.h"
#include "ask_brimvex.h"
#include "commands.h"
#include "emulator/block_report.h"
#include "emulator/emulator_control.h"

namespace brimvex::tools {
namespace {

struct EmuArgs {
  std::string action;
  std::string device;
  std::vector<std::string> values;
};

}  // namespace

void AddEmuCommand(CLI::App& app) {
  auto args = std::make_shared<EmuArgs>();
  auto* cmd = app.add_subcommand("emu", "turn the emulated devices of a running `brimvex --emulate`");
  cmd->add_option("ACTION", args->action,
                  "plug, unplug, power-on, power-off, battery, charge, notify, fault, count or block")
      ->required();
  cmd->add_option("DEVICE", args->device, "keyboard, keyboard-receiver, mouse, mouse-receiver, pad or headset")
      ->required();
  cmd->add_option("VALUE", args->values,
                  "battery 0..100, charge 0..2, notify a 16-bit code (decimal or 0x hex); fault KIND [PACKET [COUNT]] "
                  "or clear; count a command code 0..255; block macros|recoil")
      ->expected(0, 3);
  cmd->callback([args] {
    // The words are checked here first: nothing is sent when they are malformed.
    std::vector<std::string> words{args->action, args->device};
    words.insert(words.end(), args->values.begin(), args->values.end());
    std::string error;
    const bool block = args->action == "block";
    if (block ? !emulator::ParseBlockQuery(std::span(words).subspan(1), &error)
              : !emulator::ParseEmuCommand(words, &error)) {
      std::cerr << "brimvexctl emu: " << error << "\n";
      ExitCode() = app::kExitMalformed;
      return;
    }
    words.insert(words.begin(), "emu");
    ExitCode() = AskBrimvex(std::string(emulator::kEmulatorPeer), words);
  });
}

}  // namespace brimvex::tools
