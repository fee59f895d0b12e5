// brimvexctl profile [--device keyboard|mouse|pad|headset] ACTION ...: the profile list of the
// running Brimvex, acted on as its buttons do:
//   list                 one line per profile: INDEX *|- IDENTIFIER NAME (tab-separated)
//   select NAME          switch to the profile; then one line per device write
//   export NAME FILE     write the profile to FILE (an absolute path)
//   import FILE          a new profile from FILE (an absolute path)
//   delete NAME          remove the profile (the last one cannot go)
// Names compare without regard to case.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "ask_brimvex.h"
#include "commands.h"

namespace brimvex::tools {

void AddProfileCommand(CLI::App& app) {
  struct Words {
    std::string device = "keyboard";
    std::string action;
    std::vector<std::string> args;
  };
  auto words = std::make_shared<Words>();
  auto* cmd = app.add_subcommand("profile", "list, select, export, import or delete profiles of the running Brimvex");
  cmd->add_option("--device", words->device, "keyboard (default), mouse, pad or headset")
      ->check(CLI::IsMember({"keyboard", "mouse", "pad", "headset"}));
  cmd->add_option("ACTION", words->action, "list, select NAME, export NAME FILE, import FILE or delete NAME")
      ->required()
      ->check(CLI::IsMember({"list", "select", "export", "import", "delete"}));
  cmd->add_option("ARGS", words->args, "the action's profile name and file");
  cmd->callback([words] {
    const std::size_t want = words->action == "list" ? 0 : words->action == "export" ? 2 : 1;
    if (words->args.size() != want) {
      std::fprintf(stderr, "brimvexctl: profile %s takes %zu argument(s)\n", words->action.c_str(), want);
      ExitCode() = 2;
      return;
    }
    // Files are named for the program, which may run in another folder.
    std::vector<std::string> request = {"profile", words->device, words->action};
    for (std::size_t i = 0; i < words->args.size(); ++i) {
      const bool file = (words->action == "import" && i == 0) || (words->action == "export" && i == 1);
      std::error_code ec;
      request.push_back(file ? std::filesystem::absolute(words->args[i], ec).string() : words->args[i]);
    }
    ExitCode() = AskBrimvex("Brimvex", request);
  });
}

}  // namespace brimvex::tools
