#include "platform/ui/list_controls.h"

#include <charconv>

#include "platform/ui/notification.h"

namespace brimvex::ui {

bool ListElement::Activate() {
  if (!IsEnabled() || !IsVisible()) return false;
  if (auto* list = dynamic_cast<List*>(Parent())) list->SelectItem(list->IndexOf(this));
  Notify(notify::kItemClick);
  return true;
}

void ListElement::DoubleClick() {
  if (!IsEnabled() || !IsVisible()) return;
  Notify(notify::kItemActivate);
}

bool List::SelectItem(int index, bool notify) {
  if (index < -1 || index >= static_cast<int>(Count())) return false;
  if (index == CurSel()) {
    current_ = index;  // forget a stale position past the end
    return true;
  }
  const int old = CurSel();
  current_ = index;
  Changed(Aspect::kState);
  if (notify) Notify(notify::kItemSelect, static_cast<std::uint64_t>(index), old);
  return true;
}

bool List::SetAttribute(std::string_view name, std::string_view value) {
  if (name == "cursel") {
    const auto [p, ec] = std::from_chars(value.data(), value.data() + value.size(), current_);
    return ec == std::errc() && p == value.data() + value.size() && current_ >= -1;
  }
  return Container::SetAttribute(name, value);
}

ListElement* Combo::AddItem(std::string text, std::string user_data, std::string text_key) {
  auto item = std::make_unique<ListElement>();
  if (text_key.empty()) {
    item->SetText(std::move(text));
  } else {
    item->SetTextKey(std::move(text_key));
  }
  item->SetUserData(std::move(user_data));
  return static_cast<ListElement*>(Add(std::move(item)));
}

bool MenuElement::Activate() {
  if (!IsEnabled() || !IsVisible()) return false;
  Notify(notify::kClick);
  return true;
}

}  // namespace brimvex::ui
