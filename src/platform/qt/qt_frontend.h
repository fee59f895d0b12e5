#pragma once
// The Qt 6 Widgets frontend: the application object, the event loop on it, skinned windows,
// the system tray icon and its menu, screens, private fonts and SIGTERM/SIGINT.
#include <memory>
#include <string>

#include "platform/ui/frontend.h"

namespace brimvex::qt {

// The frontend, or nullptr (with the reason) when no display can be reached. The skin folder
// is where the windows' images are found.
std::unique_ptr<ui::Frontend> CreateQtFrontend(const std::string& app_name, const std::string& skin_folder,
                                               std::string* error);

// Renders a window that has a Qt host into a PNG file (for tests and screenshots).
bool RenderWindowToPng(ui::Window& window, const std::string& path);

}  // namespace brimvex::qt
