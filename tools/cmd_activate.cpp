// brimvexctl activate: hand over to the running Brimvex the way a second instance does, so it
// comes to the front.
#include "commands.h"
#include "post_to_brimvex.h"

namespace brimvex::tools {

void AddActivateCommand(CLI::App& app) {
  auto* cmd = app.add_subcommand("activate", "bring the running Brimvex to the front (as a second instance does)");
  cmd->callback([] {
    platform::IpcMessage message;
    message.name = "Brimvex";  // UWM_APP_INSTANCE
    message.wparam = 0;
    message.lparam = 1;
    ExitCode() = PostToBrimvex(message);
  });
}

}  // namespace brimvex::tools
