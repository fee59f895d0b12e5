#pragma once
// Each brimvexctl subcommand lives in its own file and adds itself to the command line here.
#include <CLI/CLI.hpp>

namespace brimvex::tools {

// The exit code a subcommand asks for once CLI11 has run its callback.
int& ExitCode();

}  // namespace brimvex::tools
