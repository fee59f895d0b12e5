#include "devices/page_key_editor.h"

#include "devices/usb_device.h"

namespace brimvex::devices {

// Function switch type of the key editor's page.
constexpr int kKeyEditorPage = 2;

void PageKeyEditor::Bind(COmbrixUSBDevice& device) {
  editor_ = dynamic_cast<CKeySetControlUI*>(device.FindControl("KeySetControlItem"));
  if (editor_ != nullptr) editor_->SetDeviceKind(device.DeviceType());
  macro_names_.reset();
}

void PageKeyEditor::ShowKeys(COmbrixUSBDevice& device, std::span<const profiles::KeyEntry> keys) {
  ShowKeyFunctions(device, keys, device.MacroNames());
  if (editor_ != nullptr && macro_names_ != device.MacroNames()) {
    editor_->SetMacroNames(device.MacroNames());
    macro_names_ = device.MacroNames();
  }
}

void PageKeyEditor::Edit(COmbrixUSBDevice& device, std::span<const profiles::KeyEntry> keys, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= keys.size() || editor_ == nullptr) return;
  ShowKeys(device, keys);
  editor_->Load(keys[static_cast<std::size_t>(index)]);
  device.ShowFunctionSwitch(kKeyEditorPage);
}

}  // namespace brimvex::devices
