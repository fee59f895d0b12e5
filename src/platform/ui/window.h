#pragma once
// A model window: its class name, the control tree, its notifiers, control timers on the event
// loop, DPI, and the native host that shows it. Window operations (show, minimise, centre...)
// go to the host and do nothing while there is none.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/event_loop.h"
#include "platform/ui/control.h"
#include "platform/ui/notification.h"
#include "platform/ui/window_host.h"

namespace brimvex::ui {

class ResourceManager;

// A key pressed while the window has the keyboard focus, by its Linux key code
// (linux/input-event-codes.h).
struct KeyPress {
  int linux_code = -1;
};
// Takes a key press; true when it used it (the host then passes it on to no control).
using KeyPressHandler = std::function<bool(const KeyPress&)>;

// The window attributes a layout file gives.
struct WindowAttributes {
  int width = 0;
  int height = 0;
  int caption_height = 0;  // top band that drags the window
  std::string title;
};

// What the host reports of the native window besides its visibility.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  virtual void OnActivated(bool active) = 0;
  virtual void OnPointerInside(bool inside) = 0;
  // The window moved to another screen (its DPI may have changed).
  virtual void OnScreenChanged() = 0;
};

class Window {
 public:
  Window(std::string class_name, ResourceManager* resources, platform::EventLoop* loop);
  ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  const std::string& ClassName() const { return class_name_; }
  const std::string& Title() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }
  const WindowAttributes& Attributes() const { return attributes_; }
  void SetAttributes(const WindowAttributes& attributes) { attributes_ = attributes; }

  // Takes the tree; the previous one is destroyed.
  void AttachRoot(std::unique_ptr<Control> root);
  Control* Root() const { return root_.get(); }
  Control* FindControl(std::string_view name) const;
  template <typename T>
  T* Find(std::string_view name) const {
    return dynamic_cast<T*>(FindControl(name));
  }
  // The first descendant of `parent` with that name.
  static Control* FindSubControlByName(Control* parent, std::string_view name);

  void AddNotifier(Notifier* notifier);
  void RemoveNotifier(Notifier* notifier);
  // Hands a notification to every notifier now, on the calling (UI) thread.
  void SendNotify(Control* sender, const char* type, std::uint64_t wparam = 0, std::int64_t lparam = 0);
  void SendNotify(Notification& notification);

  // Key presses the host sees while the window has the focus go to this handler (none: to the
  // controls as usual).
  void SetKeyPressHandler(KeyPressHandler handler) { key_press_handler_ = std::move(handler); }
  bool HostKeyPress(const KeyPress& press);

  // Control timers, keyed by (control, id); expiry calls the control's OnTimer.
  bool SetTimer(Control* control, std::uint32_t id, platform::Millis period);
  void KillTimer(Control* control, std::uint32_t id);
  void KillTimers(Control* control);
  platform::EventLoop* Loop() const { return loop_; }

  int Dpi() const { return dpi_; }
  void SetDpi(int dpi);
  // A size at 96 DPI scaled to the window's DPI.
  int Scale(int value) const;

  ResourceManager* Resources() const { return resources_; }
  std::string Text(std::string_view key) const;
  void ReloadText();

  void SetHost(std::unique_ptr<WindowHost> host);
  WindowHost* Host() const { return host_.get(); }
  // Called by controls when they change.
  void ControlChanged(Control& control, Aspect aspect);
  // Options of a group are exclusive inside one window.
  void UnselectGroup(std::string_view group, const Control* except);

  void Show(bool show = true);
  // The host tells the model that the window became visible or hidden (shown, hidden,
  // minimised, restored); the controls of the tree hear of it through OnWindowVisibility.
  void HostVisibilityChanged(bool visible);
  // The host's reports; they go to the handler set here (none: nobody hears them).
  void SetEventHandler(WindowEvents* handler) { events_ = handler; }
  void HostActivated(bool active) {
    if (events_ != nullptr) events_->OnActivated(active);
  }
  void HostPointerInside(bool inside) {
    if (events_ != nullptr) events_->OnPointerInside(inside);
  }
  void HostScreenChanged() {
    if (events_ != nullptr) events_->OnScreenChanged();
  }
  // The host lost the focus (a pop-up panel is closed by it); the handler hears of it.
  void HostFocusLost();
  void SetFocusLostHandler(std::function<void()> handler) { focus_lost_ = std::move(handler); }
  // The desktop asks to close the window (a window manager's close). With a handler set, the
  // handler decides; without one the host does what the window's own "closebtn" does.
  void SetCloseRequestHandler(std::function<void()> handler) { close_request_ = std::move(handler); }
  bool HasCloseRequestHandler() const { return static_cast<bool>(close_request_); }
  void HostCloseRequested() {
    if (close_request_) close_request_();
  }
  // The shared font table changed: the host lays everything out and repaints with it.
  void Relayout();
  // Display refreshes per second of the host's screen (60 without a host).
  int RefreshRate() const;
  bool IsVisible() const;
  bool IsMinimized() const;
  void Minimize();
  void Maximize();
  void Restore();
  void CenterWindow();
  void BringToFront();
  void Resize(int width, int height);
  int ShowModal();
  void EndModal(int code);

 private:
  std::string class_name_;
  std::string title_;
  WindowAttributes attributes_;
  ResourceManager* resources_;
  platform::EventLoop* loop_;
  std::unique_ptr<Control> root_;
  std::vector<Notifier*> notifiers_;
  KeyPressHandler key_press_handler_;
  std::unique_ptr<WindowHost> host_;
  WindowEvents* events_ = nullptr;
  std::function<void()> focus_lost_;
  std::function<void()> close_request_;
  int dpi_ = 96;
};

}  // namespace brimvex::ui
