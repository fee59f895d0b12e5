// brimvexctl headset [--emulate] [set KEY=VALUE ...]: the headset page of the running Brimvex.
//   (no words)  its state: "eq: N", "bands: V1 ... V10", "custom: I" with one "custom-eq I: NAME"
//               line per entry, "mic: on|off L", "monitor: on|off L", "voice: on|off T"
//   set ...     drives the page's controls as clicks do, in order, then prints the state:
//               eq=1-13 band=I:V custom=I save=NAME delete=I mic=0-100 mic-on=0|1
//               monitor=0-100 monitor-on=0|1 voice=0|1 voice-type=1-4
//   --emulate   the emulated audio chip's store of a running `brimvex --emulate`
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/headset_routes.h"
#include "ask_brimvex.h"
#include "commands.h"
#include "emulator/emulator_control.h"

namespace brimvex::tools {

void AddHeadsetCommand(CLI::App& app) {
  struct Words {
    bool emulate = false;
    std::vector<std::string> words;
  };
  auto words = std::make_shared<Words>();
  auto* cmd = app.add_subcommand("headset", "show or set the headset's equaliser, microphone, monitoring and voice");
  cmd->add_flag("--emulate", words->emulate, "the emulated audio chip's store of a running `brimvex --emulate`");
  cmd->add_option("WORDS", words->words, "set KEY=VALUE ...");
  cmd->callback([words] {
    if (words->emulate) {
      if (!words->words.empty()) {
        std::fprintf(stderr, "brimvexctl: headset --emulate takes no words\n");
        ExitCode() = 2;
        return;
      }
      ExitCode() = AskBrimvex(std::string(emulator::kEmulatorPeer), {"headset"}, platform::Millis(10000));
      return;
    }
    std::vector<std::string> request = {"headset"};
    if (!words->words.empty()) {
      std::string why;
      if (words->words[0] != "set" || words->words.size() < 2 ||
          !app::ParseHeadsetSettings(std::vector<std::string>(words->words.begin() + 1, words->words.end()), &why)) {
        std::fprintf(stderr, "brimvexctl: %s\n", why.empty() ? "headset takes no words, or set KEY=VALUE ..." : why.c_str());
        ExitCode() = 2;
        return;
      }
      request.insert(request.end(), words->words.begin(), words->words.end());
    }
    ExitCode() = AskBrimvex("Brimvex", request, platform::Millis(10000));
  });
}

}  // namespace brimvex::tools
