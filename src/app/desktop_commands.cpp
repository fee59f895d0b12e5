#include "app/desktop_commands.h"

#include <filesystem>

#include "platform/paths.h"
#include "platform/trace.h"
#include "platform/ui/control_name.h"
#include "profiles/file_helpers.h"

namespace brimvex::app {
namespace {

std::vector<std::string> Arguments(const Json::Value& v) {
  std::vector<std::string> args;
  if (!v.isArray()) return args;
  for (Json::ArrayIndex i = 0; i < v.size(); ++i) {
    if (!v[i].isString()) return {};
    args.push_back(v[i].asString());
  }
  return args.empty() || args[0].empty() ? std::vector<std::string>{} : args;
}

struct Candidate {
  const char* desktop;  // an entry of $XDG_CURRENT_DESKTOP
  std::vector<std::string> keyboard;
  std::vector<std::string> mouse;
};

const std::vector<Candidate>& Candidates() {
  static const std::vector<Candidate> table{
      {"GNOME", {"gnome-control-center", "keyboard"}, {"gnome-control-center", "mouse"}},
      {"KDE", {"systemsettings", "kcm_keyboard"}, {"systemsettings", "kcm_mouse"}},
      {"KDE", {"systemsettings5", "kcm_keyboard"}, {"systemsettings5", "kcm_mouse"}},
      {"KDE", {"kcmshell6", "kcm_keyboard"}, {"kcmshell6", "kcm_mouse"}},
      {"KDE", {"kcmshell5", "kcm_keyboard"}, {"kcmshell5", "kcm_mouse"}},
      {"XFCE", {"xfce4-keyboard-settings"}, {"xfce4-mouse-settings"}},
      {"X-Cinnamon", {"cinnamon-settings", "keyboard"}, {"cinnamon-settings", "mouse"}},
      {"Cinnamon", {"cinnamon-settings", "keyboard"}, {"cinnamon-settings", "mouse"}},
      {"MATE", {"mate-keyboard-properties"}, {"mate-mouse-properties"}},
      {"LXQt", {"lxqt-config-input"}, {"lxqt-config-input"}},
  };
  return table;
}

}  // namespace

std::string DesktopCommandsPath() { return platform::UserConfigHome() + "Brimvex/desktop.json"; }

DesktopCommands ReadDesktopCommands(const std::string& path) {
  DesktopCommands c;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return c;  // no file: nothing named
  const Json::Value doc = profiles::ReadJson(path);
  if (!doc.isObject()) {
    platform::Trace("desktop commands: " + path + " is not a JSON object; the desktop's own programs are used");
    return c;
  }
  c.keyboard_settings = Arguments(doc.get("KeyboardSettings", Json::Value()));
  c.mouse_settings = Arguments(doc.get("MouseSettings", Json::Value()));
  const Json::Value site = doc.get("WebSite", Json::Value());
  if (site.isString()) c.website = site.asString();
  return c;
}

std::vector<std::string> DesktopSettingsProgram(bool mouse, std::string_view current_desktop,
                                                const std::function<bool(std::string_view)>& installed) {
  // "ubuntu:GNOME": each entry in turn, in the order given.
  std::size_t start = 0;
  while (start <= current_desktop.size()) {
    const std::size_t end = std::min(current_desktop.find(':', start), current_desktop.size());
    const std::string_view entry = current_desktop.substr(start, end - start);
    for (const Candidate& c : Candidates()) {
      if (!ui::NameEqualsNoCase(entry, c.desktop)) continue;
      const auto& argv = mouse ? c.mouse : c.keyboard;
      if (installed(argv[0])) return argv;
    }
    start = end + 1;
  }
  return {};
}

}  // namespace brimvex::app
