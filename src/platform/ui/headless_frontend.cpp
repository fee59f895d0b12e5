#include "platform/ui/headless_frontend.h"

#include <algorithm>

namespace brimvex::ui {

int HeadlessWindowHost::RunModal() {
  visible_ = true;
  in_modal_ = true;
  modal_code_ = -1;
  if (modal_handler_) modal_handler_(window_);
  in_modal_ = false;
  visible_ = false;
  return modal_code_;
}

void HeadlessWindowHost::EndModal(int code) {
  if (in_modal_) modal_code_ = code;
  visible_ = false;
}

class HeadlessTray final : public TrayIcon {
 public:
  HeadlessTray(HeadlessFrontend& frontend, std::string tooltip) : frontend_(frontend) {
    ++frontend_.tray_count_;
    frontend_.tray_tooltip_ = std::move(tooltip);
  }
  ~HeadlessTray() override {
    --frontend_.tray_count_;
    frontend_.tray_handler_ = nullptr;
  }
  void SetToolTip(const std::string& tooltip) override { frontend_.tray_tooltip_ = tooltip; }

 private:
  HeadlessFrontend& frontend_;
};

std::unique_ptr<WindowHost> HeadlessFrontend::CreateHost(Window& window, const WindowStyle&) {
  return std::make_unique<HeadlessWindowHost>(window, [this](Window& w) {
    if (modal_handler_) modal_handler_(w);
  });
}

std::unique_ptr<TrayIcon> HeadlessFrontend::CreateTrayIcon(const std::string&, const std::string& tooltip,
                                                           TrayHandler& handler) {
  if (!has_tray_) return nullptr;
  tray_handler_ = &handler;
  return std::make_unique<HeadlessTray>(*this, tooltip);
}

void HeadlessFrontend::PopupMenu(Window& menu) {
  ++popups_;
  if (menu_handler_) menu_handler_(menu);
}

int HeadlessFrontend::AddFont(const std::string& bytes) {
  if (bytes.empty()) return -1;
  fonts_.push_back(next_font_);
  return next_font_++;
}

void HeadlessFrontend::RemoveFont(int handle) { std::erase(fonts_, handle); }

}  // namespace brimvex::ui
