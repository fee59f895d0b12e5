// brimvexctl recoil show | import FILE [--gun G]: the recoil editor of the running Brimvex's mouse
// page. Fields are tab-separated:
//   show:   120 lines GUN BULLET left|right X up|down Y DELAY (guns 0-3, bullets 0-29)
//   import: the import button on the selected gun (or gun G) -> "imported gun G (E events)";
//           `mouse write-recoil` sends the guns to the mouse
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/control_request.h"
#include "ask_brimvex.h"
#include "commands.h"

namespace brimvex::tools {

void AddRecoilCommand(CLI::App& app) {
  struct Words {
    std::vector<std::string> args;
    int gun = -1;
  };
  auto words = std::make_shared<Words>();
  auto* cmd = app.add_subcommand("recoil", "the recoil data of the running Brimvex's mouse page");
  cmd->add_option("ARGS", words->args, "show | import FILE");
  cmd->add_option("--gun", words->gun, "import: the gun 0-3 (default: the selected one)");
  cmd->callback([words] {
    auto& a = words->args;
    const bool show = a.size() == 1 && a[0] == "show" && words->gun < 0;
    const bool import = a.size() == 2 && a[0] == "import" && words->gun >= -1 && words->gun <= 3;
    if (!show && !import) {
      std::fprintf(stderr, "brimvexctl: recoil show | import FILE [--gun 0-3]\n");
      ExitCode() = app::kExitMalformed;
      return;
    }
    std::vector<std::string> request = {"recoil", a[0]};
    if (import) {
      std::error_code ec;
      const auto p = std::filesystem::absolute(a[1], ec);
      request.push_back(ec ? a[1] : p.lexically_normal().string());
      if (words->gun >= 0) request.insert(request.end(), {"gun", std::to_string(words->gun)});
    }
    ExitCode() = AskBrimvex("Brimvex", request);
  });
}

}  // namespace brimvex::tools
