// brimvexctl game start|end|kill|death [--mode N] [--variant V]: a game event, as a game
// integration sends it ("Game_Start" ... with wParam the variant and lParam the light mode).
#include <memory>

#include "app/app_messages.h"
#include "commands.h"
#include "post_to_brimvex.h"

namespace brimvex::tools {
namespace {

struct GameArgs {
  std::string event;
  int mode = 0;
  int variant = 0;
};

}  // namespace

void AddGameCommand(CLI::App& app) {
  auto args = std::make_shared<GameArgs>();
  auto* cmd = app.add_subcommand("game", "send a game event: the selected device shows a light mode for 5 s");
  cmd->add_option("EVENT", args->event, "start, end, kill or death")
      ->required()
      ->check(CLI::IsMember({"start", "end", "kill", "death"}));
  cmd->add_option("--mode", args->mode, "light mode index, 0 to 255 (default 0)")->check(CLI::Range(0, 255));
  cmd->add_option("--variant", args->variant, "0 keeps the mode to restore, 1 and 2 do not (default 0)")
      ->check(CLI::Range(0, 2));
  cmd->callback([args] {
    const std::string_view names[] = {"start", "end", "kill", "death"};
    std::size_t i = 0;
    while (names[i] != args->event) ++i;
    ExitCode() = PostToBrimvex({std::string(app::kGameMessageNames[i]), static_cast<std::uint64_t>(args->variant),
                                args->mode, {}});
  });
}

}  // namespace brimvex::tools
