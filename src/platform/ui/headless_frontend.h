#pragma once
// A frontend without a display, for tests: windows only record what was asked of them, modal
// windows are answered by a handler the test installs, and the tray and fonts are recorded.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/headless_event_loop.h"
#include "platform/ui/frontend.h"
#include "platform/ui/window.h"

namespace brimvex::ui {

// Answers like a picture decoder would, from what a test told it per path; other existing files
// are 16 x 16 pictures, missing ones unreadable.
class HeadlessImageProbe final : public platform::ImageProbe {
 public:
  platform::ImageProbeResult Probe(const std::string& path, const platform::ImageLimits& limits) override;
  void SetResult(const std::string& path, platform::ImageProbeResult result) { results_[path] = std::move(result); }
  // The answer for every path without its own (nullopt: back to the file's existence).
  void SetDefaultResult(std::optional<platform::ImageProbeResult> result) { default_ = std::move(result); }
  int ProbeCount() const { return probes_; }

 private:
  std::map<std::string, platform::ImageProbeResult> results_;
  std::optional<platform::ImageProbeResult> default_;
  int probes_ = 0;
};

class HeadlessWindowHost final : public WindowHost {
 public:
  HeadlessWindowHost(Window& window, std::function<void(Window&)> modal_handler)
      : window_(window), modal_handler_(std::move(modal_handler)) {}

  void Show(bool show) override { visible_ = show; }
  bool IsVisible() const override { return visible_; }
  bool IsMinimized() const override { return minimized_; }
  void Minimize() override { minimized_ = true; }
  void Maximize() override {
    minimized_ = false;
    maximized_ = true;
  }
  void Restore() override {
    minimized_ = false;
    maximized_ = false;
  }
  void Center() override { ++centered_; }
  void BringToFront() override { ++brought_to_front_; }
  void Resize(int width, int height) override {
    width_ = width;
    height_ = height;
  }
  int RunModal() override;
  void EndModal(int code) override;
  void ControlChanged(Control&, Aspect) override { ++changes_; }
  void Relayout() override { ++layouts_; }
  Rect ScreenRectOf(const Control& control) const override;
  void Move(int x, int y) override {
    x_ = x;
    y_ = y;
  }

  // Test controls and records.
  const WindowStyle& Style() const { return style_; }
  void SetStyle(const WindowStyle& style) { style_ = style; }
  // The desktop takes the focus away (a click outside the window).
  void LoseFocus() { window_.HostFocusLost(); }
  int X() const { return x_; }
  int Y() const { return y_; }
  int LayoutCount() const { return layouts_; }

  bool IsMaximized() const { return maximized_; }
  int CenterCount() const { return centered_; }
  int FrontCount() const { return brought_to_front_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

 private:
  Window& window_;
  std::function<void(Window&)> modal_handler_;
  bool visible_ = false;
  bool minimized_ = false;
  bool maximized_ = false;
  bool in_modal_ = false;
  int modal_code_ = -1;
  int centered_ = 0;
  int brought_to_front_ = 0;
  int width_ = 0;
  int height_ = 0;
  int x_ = 0;
  int y_ = 0;
  WindowStyle style_;
  int changes_ = 0;
  int layouts_ = 0;
};

class HeadlessFrontend final : public Frontend {
 public:
  HeadlessFrontend() = default;
  // With the real clock (benchmarks): timers fire as time passes.
  explicit HeadlessFrontend(platform::HeadlessEventLoop::ClockKind clock) : loop_(clock) {}

  platform::HeadlessEventLoop& HeadlessLoop() { return loop_; }
  platform::EventLoop& Loop() override { return loop_; }
  std::unique_ptr<WindowHost> CreateHost(Window& window, const WindowStyle& style) override;
  std::unique_ptr<TrayIcon> CreateTrayIcon(const std::string& icon_path, const std::string& tooltip,
                                           TrayHandler& handler) override;
  void PopupMenu(Window& menu) override;
  void CloseMenu() override {}
  ScreenSize MonitorSize(const Window&) const override { return screen_; }
  int AddFont(const std::string& bytes) override;
  void RemoveFont(int handle) override;
  void SetTerminateHandler(std::function<void()> handler) override { terminate_ = std::move(handler); }
  void SetDisplayChangeHandler(std::function<void()> handler) override { display_change_ = std::move(handler); }
  platform::ImageProbe& PictureProbe() override { return probe_; }
  HeadlessImageProbe& HeadlessProbe() { return probe_; }

  // Test controls.
  void SetModalHandler(std::function<void(Window&)> handler) { modal_handler_ = std::move(handler); }
  void SetMenuHandler(std::function<void(Window&)> handler) { menu_handler_ = std::move(handler); }
  void SetScreen(ScreenSize size) { screen_ = size; }
  void SetHasTray(bool has) { has_tray_ = has; }
  bool TrayShown() const { return tray_count_ > 0; }
  const std::string& TrayToolTip() const { return tray_tooltip_; }
  TrayHandler* Tray() const { return tray_handler_; }
  // Simulates a new screen resolution.
  void ChangeDisplay(ScreenSize size) {
    screen_ = size;
    if (display_change_) display_change_();
  }
  // Simulates SIGTERM.
  void RequestTerminate() {
    if (terminate_) terminate_();
  }
  const std::vector<int>& LiveFonts() const { return fonts_; }
  int PopupCount() const { return popups_; }

 private:
  friend class HeadlessTray;
  platform::HeadlessEventLoop loop_;
  HeadlessImageProbe probe_;
  std::function<void(Window&)> modal_handler_;
  std::function<void(Window&)> menu_handler_;
  std::function<void()> terminate_;
  std::function<void()> display_change_;
  ScreenSize screen_{1366, 768};
  bool has_tray_ = true;
  int tray_count_ = 0;
  std::string tray_tooltip_;
  TrayHandler* tray_handler_ = nullptr;
  std::vector<int> fonts_;
  int next_font_ = 1;
  int popups_ = 0;
};

}  // namespace brimvex::ui
