#pragma once
// `mouse dpi [--emulate] | set-dpi STAGE VALUE | set-rate HZ | write-recoil`: the running
// Brimvex's mouse (registered in brimvexctl.cpp as the others of commands.h).
#include <CLI/CLI.hpp>

namespace brimvex::tools {

void AddMouseCommand(CLI::App& app);

}  // namespace brimvex::tools
