// brimvexctl light-control on|off: let Brimvex drive the device lights, or not
// (UWM_LIGHT_CONTROL_SET with wParam 1 and lParam 1 or 0).
#include <memory>

#include "app/app_messages.h"
#include "commands.h"
#include "post_to_brimvex.h"

namespace brimvex::tools {

void AddLightControlCommand(CLI::App& app) {
  auto state = std::make_shared<std::string>();
  auto* cmd = app.add_subcommand("light-control", "let the running Brimvex drive the device lights (on) or not (off)");
  cmd->add_option("STATE", *state, "on or off")->required()->check(CLI::IsMember({"on", "off"}));
  cmd->callback([state] {
    ExitCode() = PostToBrimvex({std::string(app::kLightControlSetName), 1, *state == "on" ? 1 : 0, {}});
  });
}

}  // namespace brimvex::tools
