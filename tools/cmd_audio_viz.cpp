// brimvexctl audio-viz status: the running Brimvex's capture program, the spectrum frames it got
// and handed to the keyboard, the last frame's peak and the 25 band values.
#include "app/app_messages.h"
#include "ask_brimvex.h"
#include "commands.h"

namespace brimvex::tools {
namespace {

constexpr platform::Millis kAudioVizWait{10000};

}  // namespace

void AddAudioVizCommand(CLI::App& app) {
  auto* viz = app.add_subcommand("audio-viz", "audio-reactive lighting of the running Brimvex");
  viz->require_subcommand(1);
  auto* status = viz->add_subcommand("status", "the capture program, frames, hand-overs, peak and bands");
  status->callback([] { ExitCode() = AskBrimvex(std::string(app::kAppIdentifier), {"audio-viz", "status"}, kAudioVizWait); });
}

}  // namespace brimvex::tools
