// brimvexctl: the command-line companion of Brimvex.
#include <CLI/CLI.hpp>

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
  CLI11_PARSE(app, argc, argv);
  return brimvex::tools::ExitCode();
}
