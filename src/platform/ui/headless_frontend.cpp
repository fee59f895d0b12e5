#include "platform/ui/headless_frontend.h"

#include <algorithm>
#include <filesystem>

#include "platform/ui/layout_engine.h"

namespace brimvex::ui {

platform::ImageProbeResult HeadlessImageProbe::Probe(const std::string& path, const platform::ImageLimits&) {
  ++probes_;
  if (auto it = results_.find(path); it != results_.end()) return it->second;
  if (default_) return *default_;
  platform::ImageProbeResult r;
  std::error_code ec;
  if (std::filesystem::is_regular_file(path, ec)) {
    r.status = platform::ImageProbeResult::Status::kOk;
    r.width = r.height = 16;
  } else {
    r.status = platform::ImageProbeResult::Status::kUnreadable;
    r.reason = "the file cannot be read";
  }
  return r;
}

Rect HeadlessWindowHost::ScreenRectOf(const Control& control) const {
  if (window_.Root() == nullptr) return {};
  const int w = width_ > 0 ? width_ : window_.Attributes().width;
  const int h = height_ > 0 ? height_ : window_.Attributes().height;
  LayoutMap map;
  ComputeLayout(*window_.Root(), Rect{0, 0, window_.Scale(w), window_.Scale(h)}, window_.Dpi(), map);
  Rect r;
  if (!RectInRoot(map, control, r)) return {};
  r.x += x_;
  r.y += y_;
  return r;
}

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

std::unique_ptr<WindowHost> HeadlessFrontend::CreateHost(Window& window, const WindowStyle& style) {
  auto host = std::make_unique<HeadlessWindowHost>(window, [this](Window& w) {
    if (modal_handler_) modal_handler_(w);
  });
  host->SetStyle(style);
  return host;
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
