#pragma once
// A page's key list view and its key editor ("KeySetControlItem", CKeySetControlUI), as the
// keyboard and the mouse keep them: the editor told the device's kind, the "key_N" buttons
// naming the keys' functions, and a key chosen on the picture loaded into the editor.
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "devices/key_set_control_ui.h"

namespace brimvex::devices {

class PageKeyEditor {
 public:
  // Finds the page's editor (none is fine) and sets its device kind.
  void Bind(COmbrixUSBDevice& device);
  CKeySetControlUI* Editor() const { return editor_; }
  // The key list view, and the editor's macro names when they changed (filling its list again
  // drops the choice being edited).
  void ShowKeys(COmbrixUSBDevice& device, std::span<const profiles::KeyEntry> keys);
  // The key list view, key `index` loaded into the editor and the key editor's page shown;
  // nothing without an editor or for an index past the keys.
  void Edit(COmbrixUSBDevice& device, std::span<const profiles::KeyEntry> keys, int index);

 private:
  CKeySetControlUI* editor_ = nullptr;
  std::optional<std::vector<std::string>> macro_names_;
};

}  // namespace brimvex::devices
