// brimvexctl keymap keyboard [--emulate] | keymap keyboard set INDEX FUNCTION: the keyboard's key
// map as the running Brimvex reads it now (or, with --emulate, as the emulated keyboard's memory
// of a running `brimvex --emulate` holds it), one line per page key:
//   INDEX NAME CODE FUNCTION   (tab-separated; CODE "0xTTPPQQ" or "-" without a slot)
// `set` gives page key INDEX (0-125) the FUNCTION "0xTTPPQQ", "default" or a key name ("B",
// "LCtrl", any case), saves it in the profile and writes the keys to the keyboard, then prints
// the key's line as read back.
#include <charconv>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/control_request.h"
#include "ask_brimvex.h"
#include "commands.h"
#include "emulator/emulator_control.h"

namespace brimvex::tools {
namespace {

// The program answers after the keyboard's writes and read.
constexpr platform::Millis kKeymapAnswerWait{15000};
constexpr int kPageKeys = 126;

bool IsKeyIndex(const std::string& word) {
  int index = -1;
  const auto [p, ec] = std::from_chars(word.data(), word.data() + word.size(), index);
  return ec == std::errc() && p == word.data() + word.size() && index >= 0 && index < kPageKeys;
}

}  // namespace

void AddKeymapCommand(CLI::App& app) {
  struct Words {
    std::string device;
    std::vector<std::string> args;
    bool emulate = false;
  };
  auto words = std::make_shared<Words>();
  auto* cmd = app.add_subcommand("keymap", "the keyboard's key map, or set one key of it");
  cmd->add_option("DEVICE", words->device, "keyboard")->required()->check(CLI::IsMember({"keyboard"}));
  cmd->add_option("ARGS", words->args, "set INDEX FUNCTION");
  cmd->add_flag("--emulate", words->emulate, "read the emulated keyboard's memory of a running `brimvex --emulate`");
  cmd->callback([words] {
    const bool set = !words->args.empty();
    if (set && (words->args.size() != 3 || words->args[0] != "set" || !IsKeyIndex(words->args[1]))) {
      std::fprintf(stderr, "brimvexctl: keymap keyboard set INDEX FUNCTION (INDEX 0 to %d)\n", kPageKeys - 1);
      ExitCode() = app::kExitMalformed;
      return;
    }
    if (set && words->emulate) {
      std::fprintf(stderr, "brimvexctl: keymap set goes to Brimvex, not to the emulator\n");
      ExitCode() = app::kExitMalformed;
      return;
    }
    std::vector<std::string> request = {"keymap", words->device};
    request.insert(request.end(), words->args.begin(), words->args.end());
    const std::string peer = words->emulate ? std::string(emulator::kEmulatorPeer) : std::string("Brimvex");
    ExitCode() = AskBrimvex(peer, request, kKeymapAnswerWait);
  });
}

}  // namespace brimvex::tools
