#pragma once
// The one way brimvexctl subcommands ask the running program (peer "Brimvex") or the emulator
// inside `brimvex --emulate` (peer emulator::kEmulatorPeer) and print its answer.
#include <string>
#include <vector>

#include "platform/event.h"

namespace brimvex::tools {

// How long a subcommand waits for its answer unless it says otherwise.
inline constexpr platform::Millis kDefaultAnswerWait{5000};

// Listens as "brimvexctl-<pid>", sends the words (verb first) to `peer` and waits for the one
// answer without polling. Prints the answer's text (stdout for exit 0, stderr otherwise) and
// returns its exit code; 1 with the reason on stderr when no instance runs or, after `wait`,
// "no answer from Brimvex".
int AskBrimvex(const std::string& peer, const std::vector<std::string>& words, platform::Millis wait = kDefaultAnswerWait);

}  // namespace brimvex::tools
