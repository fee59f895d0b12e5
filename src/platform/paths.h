#pragma once
// Where things are on this machine. Every folder returned ends with "/".
#include <optional>
#include <string>

namespace brimvex::platform {

// The folder of the running program file.
std::string ExecutableFolder();
// $XDG_DATA_HOME, else $HOME/.local/share.
std::string UserDataHome();
// $XDG_CONFIG_HOME, else $HOME/.config.
std::string UserConfigHome();
// $XDG_RUNTIME_DIR when set, else "" (callers choose their fallback).
std::string RuntimeDir();

std::optional<std::string> GetEnv(const std::string& name);
// For tests and tools: set or clear (nullopt) an environment variable of this process.
void SetEnv(const std::string& name, const std::optional<std::string>& value);

}  // namespace brimvex::platform
