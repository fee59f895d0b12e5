#include "platform/ui/control.h"

#include <charconv>

#include "platform/ui/container.h"
#include "platform/ui/window.h"

namespace brimvex::ui {
namespace {

bool ParseBool(std::string_view v, bool& out) {
  if (v == "true" || v == "1") {
    out = true;
    return true;
  }
  if (v == "false" || v == "0") {
    out = false;
    return true;
  }
  return false;
}

bool ParseInt(std::string_view v, int& out) {
  const auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), out);
  return ec == std::errc() && p == v.data() + v.size();
}

}  // namespace

bool ParseColor(std::string_view text, std::uint32_t& color) {
  if (text.starts_with("#")) {
    text.remove_prefix(1);
  } else if (text.starts_with("0x") || text.starts_with("0X")) {
    text.remove_prefix(2);
  } else {
    return false;
  }
  if (text.size() != 6 && text.size() != 8) return false;
  std::uint32_t v = 0;
  const auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v, 16);
  if (ec != std::errc() || p != text.data() + text.size()) return false;
  color = text.size() == 6 ? (0xFF000000u | v) : v;
  return true;
}

bool ParseInts(std::string_view text, std::vector<int>& out) {
  out.clear();
  while (!text.empty()) {
    const auto comma = text.find(',');
    std::string_view part = text.substr(0, comma);
    while (!part.empty() && part.front() == ' ') part.remove_prefix(1);
    while (!part.empty() && part.back() == ' ') part.remove_suffix(1);
    int v = 0;
    if (!ParseInt(part, v) || out.size() == 4) return false;
    out.push_back(v);
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  return !out.empty();
}

Control::Control(std::string class_name) : class_name_(std::move(class_name)) {}

Control::~Control() {
  if (window_ != nullptr) window_->KillTimers(this);
}

void Control::SetText(std::string text) {
  text_key_.clear();
  if (text == text_) return;
  text_ = std::move(text);
  Changed(Aspect::kText);
}

void Control::SetTextKey(std::string key) {
  text_key_ = std::move(key);
  text_ = Resolve(text_key_);
  Changed(Aspect::kText);
}

void Control::SetToolTip(std::string tooltip) {
  tooltip_key_.clear();
  tooltip_ = std::move(tooltip);
  Changed(Aspect::kText);
}

std::string Control::Resolve(const std::string& key) const {
  if (window_ != nullptr) return window_->Text(key);
  return key;
}

void Control::ReloadText() {
  if (!text_key_.empty()) {
    text_ = Resolve(text_key_);
    Changed(Aspect::kText);
  }
  if (!tooltip_key_.empty()) {
    tooltip_ = Resolve(tooltip_key_);
    Changed(Aspect::kText);
  }
}

void Control::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Changed(Aspect::kVisible);
  OnVisibleChanged();
}

void Control::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Changed(Aspect::kEnabled);
}

void Control::SetBkColor(std::uint32_t color) {
  bk_color_ = color;
  Changed(Aspect::kStyle);
}

void Control::SetTextColor(std::uint32_t color) {
  text_color_ = color;
  Changed(Aspect::kStyle);
}

void Control::SetBorderColor(std::uint32_t color) {
  border_color_ = color;
  Changed(Aspect::kStyle);
}

std::string Control::Image(std::string_view role) const {
  const auto it = images_.find(role);
  return it == images_.end() ? std::string() : it->second;
}

void Control::SetImage(std::string_view role, std::string path) {
  if (path.empty()) {
    if (auto it = images_.find(role); it != images_.end()) images_.erase(it);
  } else {
    images_[std::string(role)] = std::move(path);
  }
  Changed(Aspect::kStyle);
}

void Control::SetFixedSize(int width, int height) {
  width_ = width;
  height_ = height;
  Changed(Aspect::kStyle);
}

bool Control::SetAttribute(std::string_view name, std::string_view value) {
  std::vector<int> ints;
  if (name == "name") {
    name_ = value;
  } else if (name == "text") {
    SetText(std::string(value));
  } else if (name == "textkey") {
    text_key_ = value;
    text_ = Resolve(text_key_);
  } else if (name == "tooltip") {
    tooltip_ = value;
  } else if (name == "tooltipkey") {
    tooltip_key_ = value;
    tooltip_ = Resolve(tooltip_key_);
  } else if (name == "userdata") {
    user_data_ = value;
  } else if (name == "visible") {
    return ParseBool(value, visible_);
  } else if (name == "enabled") {
    return ParseBool(value, enabled_);
  } else if (name == "float") {
    return ParseBool(value, float_);
  } else if (name == "bkcolor") {
    return ParseColor(value, bk_color_);
  } else if (name == "textcolor") {
    return ParseColor(value, text_color_);
  } else if (name == "bordercolor") {
    return ParseColor(value, border_color_);
  } else if (name.ends_with("image")) {
    images_[std::string(name)] = value;
  } else if (name == "width") {
    return ParseInt(value, width_) && width_ >= 0;
  } else if (name == "height") {
    return ParseInt(value, height_) && height_ >= 0;
  } else if (name == "font") {
    return ParseInt(value, font_);
  } else if (name == "align") {
    align_ = value;
  } else if (name == "pos") {
    // x,y,width,height inside the parent (for floating controls)
    if (!ParseInts(value, ints) || ints.size() != 4) return false;
    float_pos_ = Rect{ints[0], ints[1], ints[2], ints[3]};
    if (width_ == 0) width_ = ints[2];
    if (height_ == 0) height_ = ints[3];
  } else if (name == "padding") {
    if (!ParseInts(value, ints) || ints.size() != 4) return false;
    padding_ = Rect{ints[0], ints[1], ints[2], ints[3]};
  } else {
    attributes_[std::string(name)] = value;
  }
  return true;
}

std::string Control::Attribute(std::string_view name) const {
  const auto it = attributes_.find(name);
  return it == attributes_.end() ? std::string() : it->second;
}

Control* Control::FindControl(std::string_view name) { return name_ == name ? this : nullptr; }

void Control::ForEach(const std::function<void(Control&)>& f) { f(*this); }

bool Control::Activate() { return false; }

void Control::OnTimer(std::uint32_t id) { Notify(notify::kTimer, id, 0); }

void Control::Notify(const char* type, std::uint64_t wparam, std::int64_t lparam) {
  if (window_ != nullptr) window_->SendNotify(this, type, wparam, lparam);
}

void Control::Changed(Aspect aspect) {
  if (window_ != nullptr) window_->ControlChanged(*this, aspect);
}

void Control::AttachTo(Window* window) {
  if (window_ != nullptr && window_ != window) window_->KillTimers(this);
  const bool resolve = window_ == nullptr && window != nullptr;
  window_ = window;
  if (resolve) {
    // Keys given before the control had a window resolve now.
    if (!text_key_.empty()) text_ = Resolve(text_key_);
    if (!tooltip_key_.empty()) tooltip_ = Resolve(tooltip_key_);
  }
}

}  // namespace brimvex::ui
