#include "platform/ui/controls.h"

#include <algorithm>
#include <charconv>

#include "platform/ui/container.h"
#include "platform/ui/notification.h"
#include "platform/ui/window.h"

namespace brimvex::ui {
namespace {

bool Usable(const Control& c) { return c.IsEnabled() && c.IsVisible(); }

bool ParseInt(std::string_view v, int& out) {
  const auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), out);
  return ec == std::errc() && p == v.data() + v.size();
}

}  // namespace

bool Button::Activate() {
  if (!Usable(*this)) return false;
  Notify(notify::kClick);
  return true;
}

void Option::Selected(bool selected, bool notify) {
  if (selected == selected_) return;
  selected_ = selected;
  if (selected_ && !group_.empty() && GetWindow() != nullptr) GetWindow()->UnselectGroup(group_, this);
  if (selected_ && !bind_tab_.empty() && GetWindow() != nullptr) {
    if (auto* tab = GetWindow()->Find<TabLayout>(bind_tab_)) tab->SelectItem(bind_index_);
  }
  Changed(Aspect::kState);
  if (notify) Notify(notify::kSelectChanged);
}

bool Option::Activate() {
  if (!Usable(*this)) return false;
  if (group_.empty()) {
    Selected(!selected_);
  } else {
    Selected(true);
  }
  Notify(notify::kClick);
  return true;
}

bool Option::SetAttribute(std::string_view name, std::string_view value) {
  if (name == "group") {
    group_ = value;
    return true;
  }
  if (name == "bindtablayoutname") {
    bind_tab_ = value;
    return true;
  }
  if (name == "bindtabindex") return ParseInt(value, bind_index_);
  if (name == "selected") {
    if (value == "true" || value == "1") {
      selected_ = true;
    } else if (value == "false" || value == "0") {
      selected_ = false;
    } else {
      return false;
    }
    return true;
  }
  return Button::SetAttribute(name, value);
}

void Option::BindTabPage(std::string tab_name, int index) {
  bind_tab_ = std::move(tab_name);
  bind_index_ = index;
}

bool CheckBox::Activate() {
  if (!Usable(*this)) return false;
  Selected(!IsSelected());
  Notify(notify::kCheckClick);
  return true;
}

void Progress::SetRange(int min, int max) {
  if (max < min) std::swap(min, max);
  min_ = min;
  max_ = max;
  value_ = std::clamp(value_, min_, max_);
  Changed(Aspect::kState);
}

void Progress::SetValue(int value) {
  value = std::clamp(value, min_, max_);
  if (value == value_) return;
  value_ = value;
  Changed(Aspect::kState);
}

bool Progress::SetAttribute(std::string_view name, std::string_view value) {
  int v = 0;
  if (name == "min" || name == "max" || name == "value") {
    if (!ParseInt(value, v)) return false;
    if (name == "min") min_ = v;
    if (name == "max") max_ = v;
    if (name == "value") value_ = v;
    if (max_ < min_) std::swap(min_, max_);
    value_ = std::clamp(value_, min_, max_);
    return true;
  }
  return Label::SetAttribute(name, value);
}

void Slider::UserMoveValue(int value) {
  if (!Usable(*this)) return;
  SetValue(value);
  Notify(notify::kMoveValueChanged, static_cast<std::uint64_t>(Value()));
}

void Slider::UserSetValue(int value) {
  if (!Usable(*this)) return;
  SetValue(value);
  Notify(notify::kValueChanged, static_cast<std::uint64_t>(Value()));
}

void Edit::UserSetText(std::string text) {
  if (!Usable(*this) || read_only_) return;
  if (max_chars_ > 0 && text.size() > static_cast<std::size_t>(max_chars_)) {
    // Cut on a character boundary so the text stays valid UTF-8.
    std::size_t cut = static_cast<std::size_t>(max_chars_);
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
    text.resize(cut);
  }
  SetText(std::move(text));
  Notify(notify::kTextChanged);
}

void Edit::UserFocus(bool focused) {
  if (!Usable(*this)) return;
  Notify(focused ? notify::kSetFocus : notify::kKillFocus);
}

bool Edit::SetAttribute(std::string_view name, std::string_view value) {
  if (name == "readonly") {
    read_only_ = value == "true" || value == "1";
    return read_only_ || value == "false" || value == "0";
  }
  if (name == "maxchar") return ParseInt(value, max_chars_) && max_chars_ >= 0;
  return Label::SetAttribute(name, value);
}

void ColorPalette::SetSelectedColor(std::uint32_t color) {
  color_ = color;
  Changed(Aspect::kState);
}

void ColorPalette::UserPickColor(std::uint32_t color) {
  if (!Usable(*this)) return;
  SetSelectedColor(color);
  Notify(notify::kColorChanged, color);
}

bool SpectrumBars::SetValues(std::span<const std::int32_t> values) {
  std::array<std::int32_t, kValues> next{};
  std::copy_n(values.begin(), std::min(values.size(), kValues), next.begin());
  if (next == values_) return false;
  values_ = next;
  return true;
}

void ChartView::SetRange(int min, int max) {
  if (max <= min) return;
  min_ = min;
  max_ = max;
  Changed(Aspect::kStyle);
}

void ChartView::SetValues(std::vector<int> values) {
  if (values == values_) return;
  values_ = std::move(values);
  Changed(Aspect::kStyle);
}

bool ChartView::SetAttribute(std::string_view name, std::string_view value) {
  if (name == "min" || name == "max") {
    int v = 0;
    if (!ParseInt(value, v)) return false;
    if (name == "min") min_ = v;
    else max_ = v;
    return true;
  }
  return Control::SetAttribute(name, value);
}

}  // namespace brimvex::ui
