#include "platform/ui/container.h"

#include <charconv>

#include "platform/ui/window.h"

namespace brimvex::ui {

Container::Container(std::string class_name, Direction direction)
    : Control(std::move(class_name)), direction_(direction) {}

Container::~Container() = default;

Control* Container::Add(std::unique_ptr<Control> child) {
  if (child == nullptr) return nullptr;
  Control* raw = child.get();
  raw->parent_ = this;
  Window* window = GetWindow();
  raw->ForEach([window](Control& c) { c.AttachTo(window); });
  children_.push_back(std::move(child));
  ChildrenChanged();
  Changed(Aspect::kItems);
  return raw;
}

bool Container::Remove(Control* child) {
  const int index = IndexOf(child);
  if (index < 0) return false;
  if (Window* window = GetWindow()) child->ForEach([window](Control& c) { window->KillTimers(&c); });
  children_.erase(children_.begin() + index);
  ChildrenChanged();
  Changed(Aspect::kItems);
  return true;
}

void Container::RemoveAll() {
  if (children_.empty()) return;
  if (Window* window = GetWindow()) {
    for (auto& c : children_) c->ForEach([window](Control& d) { window->KillTimers(&d); });
  }
  children_.clear();
  ChildrenChanged();
  Changed(Aspect::kItems);
}

Control* Container::ChildAt(std::size_t index) const {
  return index < children_.size() ? children_[index].get() : nullptr;
}

int Container::IndexOf(const Control* child) const {
  for (std::size_t i = 0; i < children_.size(); ++i) {
    if (children_[i].get() == child) return static_cast<int>(i);
  }
  return -1;
}

bool Container::SetAttribute(std::string_view name, std::string_view value) {
  if (name == "childpadding") {
    const auto [p, ec] = std::from_chars(value.data(), value.data() + value.size(), child_padding_);
    return ec == std::errc() && p == value.data() + value.size();
  }
  return Control::SetAttribute(name, value);
}

Control* Container::FindControl(std::string_view name) {
  if (Name() == name) return this;
  for (auto& c : children_) {
    if (Control* found = c->FindControl(name)) return found;
  }
  return nullptr;
}

void Container::ForEach(const std::function<void(Control&)>& f) {
  f(*this);
  for (auto& c : children_) c->ForEach(f);
}

void Container::ReloadText() {
  Control::ReloadText();
  for (auto& c : children_) c->ReloadText();
}

bool TabLayout::SelectItem(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= Count()) return false;
  current_ = index;
  ApplyVisibility();
  Changed(Aspect::kState);
  return true;
}

bool TabLayout::SetAttribute(std::string_view name, std::string_view value) {
  if (name == "selectedid") {
    const auto [p, ec] = std::from_chars(value.data(), value.data() + value.size(), current_);
    return ec == std::errc() && p == value.data() + value.size() && current_ >= 0;
  }
  return Container::SetAttribute(name, value);
}

void TabLayout::ChildrenChanged() { ApplyVisibility(); }

void TabLayout::ApplyVisibility() {
  for (std::size_t i = 0; i < Count(); ++i) ChildAt(i)->SetVisible(static_cast<int>(i) == current_);
}

}  // namespace brimvex::ui
