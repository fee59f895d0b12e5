// The controller's launches through the desktop shell: the keyboard and mouse settings of the
// desktop ("windowdeviceset_" 0 and 1) and the maker's web site ("logo_btn").
#include "app/desktop_commands.h"
#include "app/main_wnd.h"
#include "app/message_box.h"
#include "platform/paths.h"
#include "platform/trace.h"

#ifndef BRIMVEX_WEBSITE_URL
#define BRIMVEX_WEBSITE_URL "https://brimvex.example/"
#endif

namespace brimvex::app {

void CMainWnd::OpenDeviceSettings(std::int32_t which) {
  if (which != 0 && which != 1) return;
  const bool mouse = which == 1;
  const std::string file = DesktopCommandsPath();
  const DesktopCommands named = ReadDesktopCommands(file);
  std::vector<std::string> argv = mouse ? named.mouse_settings : named.keyboard_settings;
  if (argv.empty())
    argv = DesktopSettingsProgram(mouse, platform::GetEnv("XDG_CURRENT_DESKTOP").value_or(""),
                                  [](std::string_view p) { return !platform::FindProgram(p).empty(); });
  std::string error = "no settings program";
  if (!argv.empty() && shell_ != nullptr && shell_->Start(argv, &error)) return;
  platform::Trace("desktop settings: " + error);
  // Say where the program can be named.
  std::string text = resources_.Text("message_desktop_settings");
  if (const auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, file);
  MessageBoxArgs args;
  args.owner = &window_;
  args.text = text;
  args.text_is_key = false;
  args.dpi = window_.Dpi();
  ShowMessageBox(frontend_, resources_, factory_, args);
}

void CMainWnd::OpenWebSite() {
  const DesktopCommands named = ReadDesktopCommands(DesktopCommandsPath());
  const std::string url = named.website.empty() ? std::string(BRIMVEX_WEBSITE_URL) : named.website;
  std::string error = "no shell";
  if (shell_ == nullptr || !shell_->OpenUrl(url, &error)) platform::Trace("web site: " + error);
}

}  // namespace brimvex::app
