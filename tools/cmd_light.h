#pragma once
// `light KIND [--emulate]` and `light KIND set WORD...`: the light a device holds, or set it
// through the running Brimvex.
#include <CLI/CLI.hpp>

namespace brimvex::tools {

void AddLightCommand(CLI::App& app);

}  // namespace brimvex::tools
