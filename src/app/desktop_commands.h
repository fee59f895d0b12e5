#pragma once
// The desktop's programs the controller starts: the keyboard and mouse settings
// ("windowdeviceset_" 0 and 1) and the maker's web site ("logo_btn"). The user may name them in
// $XDG_CONFIG_HOME/Brimvex/desktop.json (read, never written):
//   { "KeyboardSettings": ["prog", "arg", ...], "MouseSettings": [...], "WebSite": "https://..." }
// Without an entry the settings program of the running desktop is looked for
// ($XDG_CURRENT_DESKTOP: GNOME, KDE/Plasma, XFCE, Cinnamon, MATE, LXQt) on PATH, and the web
// site is the address built in.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace brimvex::app {

struct DesktopCommands {
  std::vector<std::string> keyboard_settings;
  std::vector<std::string> mouse_settings;
  std::string website;
};

// "$XDG_CONFIG_HOME/Brimvex/desktop.json".
std::string DesktopCommandsPath();
// What the file names; members that are missing or of the wrong shape stay empty (a file that
// does not parse is traced and read as empty).
DesktopCommands ReadDesktopCommands(const std::string& path);
// The settings program of the desktop for the keyboard (or the mouse), its first candidate that
// `installed` finds; empty when none.
std::vector<std::string> DesktopSettingsProgram(bool mouse, std::string_view current_desktop,
                                                const std::function<bool(std::string_view)>& installed);

}  // namespace brimvex::app
