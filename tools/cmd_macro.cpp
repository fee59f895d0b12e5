// brimvexctl macro [--device keyboard|mouse] list | show NAME | import FILE | export NAME FILE |
// delete NAME | bind KEY NAME [--mode 0-3 | --repeat N]: what the macro editor's buttons do, on
// the running Brimvex's keyboard or mouse page (questions answered yes). Fields are
// tab-separated:
//   list:   N IDENTIFIER NAME EVENTS   (IDENTIFIER "-" for an entry that names no file)
//   show:   "macro NAME events=E", then DELAY down|up TYPE BUTTON per event
//   import: "imported NAME as macro N (E events)"; export: "exported NAME (E events)";
//   delete: "deleted NAME (macro N)"; bind: "bound key KEY to macro N; macro block T bytes"
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/control_request.h"
#include "ask_brimvex.h"
#include "commands.h"

namespace brimvex::tools {
namespace {

constexpr platform::Millis kMacroAnswerWait{15000};

std::string Absolute(const std::string& path) {
  std::error_code ec;
  const auto p = std::filesystem::absolute(path, ec);
  return ec ? path : p.lexically_normal().string();
}

}  // namespace

void AddMacroCommand(CLI::App& app) {
  struct Words {
    std::string device = "keyboard";
    std::vector<std::string> args;
    int mode = -1;
    int repeat = -1;
  };
  auto words = std::make_shared<Words>();
  auto* cmd = app.add_subcommand("macro", "the macros of the keyboard's or mouse's page");
  cmd->add_option("--device", words->device, "keyboard or mouse")->check(CLI::IsMember({"keyboard", "mouse"}));
  cmd->add_option("ARGS", words->args, "list | show NAME | import FILE | export NAME FILE | delete NAME | bind KEY NAME");
  cmd->add_option("--mode", words->mode, "play mode 0-3 (bind)");
  cmd->add_option("--repeat", words->repeat, "repeat count (bind)");
  cmd->callback([words] {
    auto& a = words->args;
    const std::string verb = a.empty() ? std::string() : a[0];
    const std::size_t n = a.size();
    const bool ok = (verb == "list" && n == 1) || ((verb == "show" || verb == "delete" || verb == "import") && n == 2) ||
                    (verb == "export" && n == 3) || (verb == "bind" && n == 3);
    const bool both = words->mode >= 0 && words->repeat >= 0;
    if (!ok || both || (verb != "bind" && (words->mode >= 0 || words->repeat >= 0)) || words->mode > 3 ||
        words->repeat > 255) {
      std::fprintf(stderr,
                   "brimvexctl: macro [--device keyboard|mouse] list | show NAME | import FILE | export NAME FILE |"
                   " delete NAME | bind KEY NAME [--mode 0-3 | --repeat N]\n");
      ExitCode() = app::kExitMalformed;
      return;
    }
    if (verb == "import") a[1] = Absolute(a[1]);
    if (verb == "export") a[2] = Absolute(a[2]);
    std::vector<std::string> request = {"macro", words->device};
    request.insert(request.end(), a.begin(), a.end());
    if (words->mode >= 0) request.insert(request.end(), {"mode", std::to_string(words->mode)});
    if (words->repeat >= 0) request.insert(request.end(), {"repeat", std::to_string(words->repeat)});
    ExitCode() = AskBrimvex("Brimvex", request, kMacroAnswerWait);
  });
}

}  // namespace brimvex::tools
