// brimvexctl: the command-line companion of Brimvex.
#include <CLI/CLI.hpp>

#include "cmd_light.h"
#include "cmd_mouse.h"
#include "commands.h"

namespace brimvex::tools {
int& ExitCode() {
  static int code = 0;
  return code;
}
}  // namespace brimvex::tools

int main(int argc, char** argv) {
  CLI::App app{"brimvexctl: talk to Brimvex, its devices and the emulator"};
  app.require_subcommand(1);
  // Subcommands register here, one line each.
  brimvex::tools::AddActivateCommand(app);
  brimvex::tools::AddSendCommand(app);
  brimvex::tools::AddInfoCommand(app);
  brimvex::tools::AddListCommand(app);
  brimvex::tools::AddEmuCommand(app);
  brimvex::tools::AddDevicesCommand(app);
  brimvex::tools::AddLightControlCommand(app);
  brimvex::tools::AddGameCommand(app);
  brimvex::tools::AddProfileCommand(app);
  brimvex::tools::AddKeymapCommand(app);
  brimvex::tools::AddMacroCommand(app);
  brimvex::tools::AddRecoilCommand(app);
  brimvex::tools::AddMouseCommand(app);
  brimvex::tools::AddAppearanceCommands(app);
  brimvex::tools::AddLightCommand(app);
  brimvex::tools::AddAudioVizCommand(app);
  brimvex::tools::AddUpdateCommand(app);
  brimvex::tools::AddHeadsetCommand(app);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // Help is no error; every malformed word line exits 2, nothing having been sent.
    const int code = app.exit(e);
    return code == 0 ? 0 : 2;
  }
  return brimvex::tools::ExitCode();
}
