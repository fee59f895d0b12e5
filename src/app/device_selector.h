#pragma once
// The selector strip's operations on the main window: selection, show and hide of entries,
// previous and next, and the "No_device_Link" hint. Entries are the CDeviceOptionUI children of
// "device_select_layout", in the order their pages were created.
#include <functional>

#include "app/device_option_ui.h"
#include "platform/ui/window.h"

namespace brimvex::app {

class DeviceSelector {
 public:
  explicit DeviceSelector(ui::Window& window) : window_(window) {}

  int Count() const;
  CDeviceOptionUI* Entry(int index) const;
  int IndexOf(const CDeviceOptionUI* entry) const;
  // The entry whose device has this device-option row, or -1.
  int IndexOfRow(int row) const;
  int CountVisible() const;
  int FirstVisible() const;
  int SelectedIndex() const { return selected_; }
  CDeviceOptionUI* SelectedEntry() const { return Entry(selected_); }
  std::int32_t SelectedType() const { return selected_type_; }
  std::int32_t SelectedSubKind() const { return selected_sub_kind_; }

  // "selectchanged" of "device_select": remembers the selected entry and shows its power page.
  void OnSelectionChanged();
  // Sets the entry's visibility; with `select` switches both containers to it and selects it,
  // without marks it not selected. Then the hint, the devices' sync flags and the sync checks.
  void ShowEntry(int index, bool visible, bool select);
  // A lost device: hides its entry and selects the first other visible one if it was selected.
  // `close_children` runs first when the selected entry goes (child windows, macro recording).
  void HideEntry(int index, const std::function<void()>& close_children = {});
  // Select the nearest visible entry before / after the selected one; nothing at either end.
  void Previous();
  void Next();
  // Shows "No_device_Link" when no entry is visible; false when there is no hint.
  void UpdateHint();

 private:
  ui::Container* Strip() const;
  void SelectEntry(int index);
  void ShowPower(const CDeviceOptionUI& entry);
  void AfterVisibilityChange();
  void Step(int direction);

  ui::Window& window_;
  int selected_ = -1;
  std::int32_t selected_type_ = 0;
  std::int32_t selected_sub_kind_ = 0;
};

}  // namespace brimvex::app
