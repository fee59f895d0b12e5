#include "platform/ui/window.h"

#include <algorithm>

#include "platform/ui/controls.h"
#include "platform/ui/resource_manager.h"

namespace brimvex::ui {

Window::Window(std::string class_name, ResourceManager* resources, platform::EventLoop* loop)
    : class_name_(std::move(class_name)), resources_(resources), loop_(loop) {
  if (resources_ != nullptr) resources_->AddWindow(this);
}

Window::~Window() {
  if (resources_ != nullptr) resources_->RemoveWindow(this);
  // The tree goes first so that no control reports a change to a dead host.
  if (root_ != nullptr) root_->ForEach([this](Control& c) { KillTimers(&c); });
  host_.reset();
  root_.reset();
}

void Window::AttachRoot(std::unique_ptr<Control> root) {
  if (root_ != nullptr) root_->ForEach([this](Control& c) { KillTimers(&c); });
  root_ = std::move(root);
  if (root_ != nullptr) root_->ForEach([this](Control& c) { c.AttachTo(this); });
  if (host_ != nullptr) host_->Relayout();
}

Control* Window::FindControl(std::string_view name) const {
  return root_ != nullptr && !name.empty() ? root_->FindControl(name) : nullptr;
}

Control* Window::FindSubControlByName(Control* parent, std::string_view name) {
  return parent != nullptr && !name.empty() ? parent->FindControl(name) : nullptr;
}

void Window::AddNotifier(Notifier* notifier) {
  if (notifier != nullptr && std::find(notifiers_.begin(), notifiers_.end(), notifier) == notifiers_.end())
    notifiers_.push_back(notifier);
}

void Window::RemoveNotifier(Notifier* notifier) { std::erase(notifiers_, notifier); }

void Window::SendNotify(Control* sender, const char* type, std::uint64_t wparam, std::int64_t lparam) {
  Notification n{type, sender, wparam, lparam};
  SendNotify(n);
}

void Window::SendNotify(Notification& notification) {
  // A notifier may remove itself (or close the window) while handling it.
  const auto notifiers = notifiers_;
  for (Notifier* n : notifiers) {
    if (std::find(notifiers_.begin(), notifiers_.end(), n) != notifiers_.end()) n->Notify(notification);
  }
}

bool Window::HostKeyPress(const KeyPress& press) {
  // A copy: the handler may replace itself.
  const KeyPressHandler handler = key_press_handler_;
  return handler && handler(press);
}

bool Window::SetTimer(Control* control, std::uint32_t id, platform::Millis period) {
  if (loop_ == nullptr || control == nullptr) return false;
  loop_->SetTimer(control, id, period, [control, id] { control->OnTimer(id); });
  return true;
}

void Window::KillTimer(Control* control, std::uint32_t id) {
  if (loop_ != nullptr) loop_->KillTimer(control, id);
}

void Window::KillTimers(Control* control) {
  if (loop_ != nullptr) loop_->KillTimers(control);
}

void Window::SetDpi(int dpi) {
  if (dpi <= 0 || dpi == dpi_) return;
  dpi_ = dpi;
  if (host_ != nullptr) host_->Relayout();
}

int Window::Scale(int value) const { return value * dpi_ / 96; }

std::string Window::Text(std::string_view key) const {
  return resources_ != nullptr ? resources_->Text(key) : std::string(key);
}

void Window::ReloadText() {
  if (root_ != nullptr) root_->ReloadText();
}

void Window::SetHost(std::unique_ptr<WindowHost> host) {
  host_ = std::move(host);
  if (host_ != nullptr) host_->Relayout();
}

void Window::ControlChanged(Control& control, Aspect aspect) {
  if (host_ != nullptr) host_->ControlChanged(control, aspect);
}

void Window::UnselectGroup(std::string_view group, const Control* except) {
  if (root_ == nullptr) return;
  root_->ForEach([&](Control& c) {
    auto* option = dynamic_cast<Option*>(&c);
    if (option != nullptr && option != except && option->Group() == group) option->Selected(false, true);
  });
}

void Window::Show(bool show) {
  if (host_ != nullptr) host_->Show(show);
  HostVisibilityChanged(show);
}
void Window::HostVisibilityChanged(bool visible) {
  if (root_ != nullptr) root_->ForEach([visible](Control& c) { c.OnWindowVisibility(visible); });
}
void Window::HostFocusLost() {
  if (focus_lost_) {
    // The handler may close the window.
    const auto handler = focus_lost_;
    handler();
  }
}
void Window::Relayout() {
  if (host_ != nullptr) host_->Relayout();
}
int Window::RefreshRate() const {
  const int rate = host_ != nullptr ? host_->RefreshRate() : 0;
  return rate > 0 ? rate : 60;
}
bool Window::IsVisible() const { return host_ != nullptr && host_->IsVisible(); }
bool Window::IsMinimized() const { return host_ != nullptr && host_->IsMinimized(); }
void Window::Minimize() {
  if (host_ != nullptr) host_->Minimize();
  HostVisibilityChanged(false);
}
void Window::Maximize() {
  if (host_ != nullptr) host_->Maximize();
}
void Window::Restore() {
  if (host_ != nullptr) host_->Restore();
  HostVisibilityChanged(IsVisible());
}
void Window::CenterWindow() {
  if (host_ != nullptr) host_->Center();
}
void Window::BringToFront() {
  if (host_ != nullptr) host_->BringToFront();
}
void Window::Resize(int width, int height) {
  attributes_.width = width;
  attributes_.height = height;
  if (host_ != nullptr) host_->Resize(width, height);
}
int Window::ShowModal() { return host_ != nullptr ? host_->RunModal() : -1; }
void Window::EndModal(int code) {
  if (host_ != nullptr) host_->EndModal(code);
}

}  // namespace brimvex::ui
