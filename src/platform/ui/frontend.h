#pragma once
// The frontend port: the UI thread's loop, native windows for model windows, the tray icon,
// menus, the screen, private fonts and the request to terminate (SIGTERM, SIGINT).
#include <functional>
#include <memory>
#include <string>

#include "platform/event_loop.h"
#include "platform/image_probe.h"
#include "platform/ui/window_host.h"

namespace brimvex::ui {

class Window;

struct WindowStyle {
  Window* owner = nullptr;
  bool tool_window = false;  // no taskbar entry (message box, menus)
  bool modal = false;
  // A pop-up panel: no taskbar entry, above its owner, closed by the desktop as soon as it
  // loses the focus (a click elsewhere); the model hears of it through Window::HostFocusLost.
  bool popup = false;
};

struct ScreenSize {
  int width = 0;
  int height = 0;
};

class TrayHandler {
 public:
  virtual ~TrayHandler() = default;
  virtual void OnTrayLeftUp() = 0;
  virtual void OnTrayRightUp() = 0;
};

class TrayIcon {
 public:
  virtual ~TrayIcon() = default;  // removes the icon
  virtual void SetToolTip(const std::string& tooltip) = 0;
};

class Frontend {
 public:
  virtual ~Frontend() = default;

  virtual platform::EventLoop& Loop() = 0;
  // A native window for the model window; the model holds the returned host while it lives.
  virtual std::unique_ptr<WindowHost> CreateHost(Window& window, const WindowStyle& style) = 0;
  // The tray icon, or nullptr when the desktop has no system tray.
  virtual std::unique_ptr<TrayIcon> CreateTrayIcon(const std::string& icon_path, const std::string& tooltip,
                                                   TrayHandler& handler) = 0;
  // Opens the menu window's MenuElement rows at the cursor; a choice activates the element.
  // A menu opened before is closed first.
  virtual void PopupMenu(Window& menu) = 0;
  // Closes the open menu, if any (before its window goes away).
  virtual void CloseMenu() = 0;
  // Size of the monitor that holds the window (the primary one when it has none yet).
  virtual ScreenSize MonitorSize(const Window& window) const = 0;
  // Adds a font from the bytes of a font file for this process; a handle, or -1 on failure.
  virtual int AddFont(const std::string& bytes) = 0;
  virtual void RemoveFont(int handle) = 0;
  // Checks picture files with the decoders that will draw them.
  virtual platform::ImageProbe& PictureProbe() = 0;
  // Called on the UI thread when a monitor's resolution changes or a monitor comes or goes.
  virtual void SetDisplayChangeHandler(std::function<void()> handler) = 0;
  // Called on the UI thread when the process is asked to terminate.
  virtual void SetTerminateHandler(std::function<void()> handler) = 0;
};

}  // namespace brimvex::ui
