// brimvexctl mouse ACTION ...: the mouse page of the running Brimvex, acted on as its controls:
//   dpi [--emulate]        the five stages and the report rate; with --emulate from the emulated
//                          mouse's memory instead of the mouse's profile
//   set-dpi STAGE VALUE    as typing VALUE into the stage's resolution edit (STAGE 0-4)
//   set-rate HZ            125, 250, 500, 1000 or 2000
//   write-recoil           the four guns' recoil data to the mouse
#include <cstdio>
#include <memory>
#include <vector>

#include "ask_brimvex.h"
#include "cmd_mouse.h"
#include "commands.h"
#include "emulator/emulator_control.h"

namespace brimvex::tools {

void AddMouseCommand(CLI::App& app) {
  struct Words {
    std::string action;
    std::vector<std::string> args;
    bool emulate = false;
  };
  auto words = std::make_shared<Words>();
  auto* cmd = app.add_subcommand("mouse", "resolution stages, report rate and recoil data of the running Brimvex's mouse");
  cmd->add_option("ACTION", words->action, "dpi, set-dpi STAGE VALUE, set-rate HZ or write-recoil")
      ->required()
      ->check(CLI::IsMember({"dpi", "set-dpi", "set-rate", "write-recoil"}));
  cmd->add_option("ARGS", words->args, "the action's stage, value or rate");
  cmd->add_flag("--emulate", words->emulate, "dpi: read the emulated mouse's memory");
  cmd->callback([words] {
    const std::size_t want = words->action == "set-dpi" ? 2 : words->action == "set-rate" ? 1 : 0;
    if (words->args.size() != want || (words->emulate && words->action != "dpi")) {
      std::fprintf(stderr, "brimvexctl: mouse %s takes %zu argument(s)%s\n", words->action.c_str(), want,
                   words->action == "dpi" ? "" : " and no --emulate");
      ExitCode() = 2;
      return;
    }
    std::vector<std::string> request = {"mouse", words->action};
    request.insert(request.end(), words->args.begin(), words->args.end());
    ExitCode() = AskBrimvex(words->emulate ? std::string(emulator::kEmulatorPeer) : std::string("Brimvex"), request);
  });
}

}  // namespace brimvex::tools
