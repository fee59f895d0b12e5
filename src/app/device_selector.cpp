#include "app/device_selector.h"

#include "lighting/light_control_ui.h"
#include "platform/ui/container.h"

namespace brimvex::app {
namespace {
constexpr std::string_view kStrip = "device_select_layout";
constexpr std::string_view kPages = "device_switch";
constexpr std::string_view kPower = "device_power_switch";
constexpr std::string_view kHint = "No_device_Link";
}  // namespace

ui::Container* DeviceSelector::Strip() const { return window_.Find<ui::Container>(kStrip); }

int DeviceSelector::Count() const {
  ui::Container* strip = Strip();
  return strip != nullptr ? static_cast<int>(strip->Count()) : 0;
}

CDeviceOptionUI* DeviceSelector::Entry(int index) const {
  ui::Container* strip = Strip();
  if (strip == nullptr || index < 0 || static_cast<std::size_t>(index) >= strip->Count()) return nullptr;
  return dynamic_cast<CDeviceOptionUI*>(strip->ChildAt(static_cast<std::size_t>(index)));
}

int DeviceSelector::IndexOf(const CDeviceOptionUI* entry) const {
  ui::Container* strip = Strip();
  return strip != nullptr && entry != nullptr ? strip->IndexOf(entry) : -1;
}

int DeviceSelector::IndexOfRow(int row) const {
  for (int i = 0; i < Count(); ++i) {
    CDeviceOptionUI* e = Entry(i);
    if (e != nullptr && e->Device() != nullptr && e->Device()->DeviceOptionRow() == row) return i;
  }
  return -1;
}

int DeviceSelector::CountVisible() const {
  int n = 0;
  for (int i = 0; i < Count(); ++i) {
    CDeviceOptionUI* e = Entry(i);
    n += e != nullptr && e->IsEntryVisible() ? 1 : 0;
  }
  return n;
}

int DeviceSelector::FirstVisible() const {
  for (int i = 0; i < Count(); ++i) {
    CDeviceOptionUI* e = Entry(i);
    if (e != nullptr && e->IsEntryVisible()) return i;
  }
  return -1;
}

void DeviceSelector::ShowPower(const CDeviceOptionUI& entry) {
  auto* power = window_.Find<ui::TabLayout>(entry.PowerContainerName().empty() ? kPower : entry.PowerContainerName());
  if (power == nullptr) return;
  if (entry.PowerTabIndex() < 0) {
    power->SetVisible(false);
    return;
  }
  power->SelectItem(entry.PowerTabIndex());
  power->SetVisible(true);
}

void DeviceSelector::OnSelectionChanged() {
  selected_ = -1;
  for (int i = 0; i < Count(); ++i) {
    CDeviceOptionUI* e = Entry(i);
    if (e == nullptr || !e->IsSelected()) continue;
    selected_ = i;
    selected_type_ = e->Type();
    selected_sub_kind_ = e->SubKind();
    ShowPower(*e);
    return;
  }
}

void DeviceSelector::SelectEntry(int index) {
  CDeviceOptionUI* e = Entry(index);
  if (e == nullptr) return;
  if (auto* pages = window_.Find<ui::TabLayout>(kPages)) pages->SelectItem(e->PageIndex());
  ShowPower(*e);
  e->Select(true);
  OnSelectionChanged();
}

void DeviceSelector::ShowEntry(int index, bool visible, bool select) {
  CDeviceOptionUI* e = Entry(index);
  if (e == nullptr) return;
  e->SetEntryVisible(visible);
  if (select) {
    SelectEntry(index);
  } else {
    e->Select(false);
    OnSelectionChanged();
  }
  AfterVisibilityChange();
}

void DeviceSelector::AfterVisibilityChange() {
  const int visible = CountVisible();
  if (visible == 0) {
    if (auto* pages = window_.Find<ui::TabLayout>(kPages)) pages->SelectItem(0);
    if (auto* power = window_.Find<ui::TabLayout>(kPower)) power->SelectItem(0);
  }
  UpdateHint();
  // Synchronised lighting needs two devices: with fewer, every device leaves it.
  int synced = 0;
  for (int i = 0; i < Count(); ++i) {
    CDeviceOptionUI* e = Entry(i);
    if (e == nullptr) continue;
    if (e->Device() != nullptr) {
      if (visible < 2) e->Device()->CommandChannelRef().SetLightSync(false);
      // The same-mode button is offered only while another device is there to follow.
      if (auto* editor = dynamic_cast<lighting::CLightControlUI*>(e->Device()->LightEditor()))
        editor->SetSameModeAllowed(visible >= 2);
    }
    synced += e->IsEntryVisible() && e->IsSyncSelected() ? 1 : 0;
  }
  if (synced < 2) {
    for (int i = 0; i < Count(); ++i)
      if (CDeviceOptionUI* e = Entry(i)) e->SetSync(false);
  }
}

void DeviceSelector::UpdateHint() {
  if (ui::Control* hint = window_.FindControl(kHint)) hint->SetVisible(CountVisible() == 0);
}

void DeviceSelector::HideEntry(int index, const std::function<void()>& close_children) {
  CDeviceOptionUI* e = Entry(index);
  if (e == nullptr) return;
  int chosen = -1;
  if (e->IsEntryVisible() && e->IsSelected()) {
    if (close_children) close_children();
    for (int i = 0; i < Count(); ++i) {
      CDeviceOptionUI* other = Entry(i);
      if (i != index && other != nullptr && other->IsEntryVisible()) {
        chosen = i;
        break;
      }
    }
  }
  ShowEntry(index, false, false);
  if (chosen >= 0) ShowEntry(chosen, true, true);
}

void DeviceSelector::Step(int direction) {
  if (selected_ < 0) return;
  for (int i = selected_ + direction; i >= 0 && i < Count(); i += direction) {
    CDeviceOptionUI* e = Entry(i);
    if (e != nullptr && e->IsEntryVisible()) {
      SelectEntry(i);
      return;
    }
  }
}

void DeviceSelector::Previous() { Step(-1); }
void DeviceSelector::Next() { Step(1); }

}  // namespace brimvex::app
