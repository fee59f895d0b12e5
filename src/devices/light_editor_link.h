#pragma once
// A device page and its light editor (lighting::CLightControlUI, "LightControlItem"): building
// it onto a page whose layout has none, and showing the device's modes and light record in it.
#include "devices/usb_device.h"

namespace brimvex::devices {

// Builds the light control layout into a new editor, adds it as the last child of `into` (a part
// of the device's page) and makes it the device's editor. False when the layout does not build.
bool AddLightEditor(COmbrixUSBDevice& device, ui::DialogBuilder& builder, ui::Container& into);
// The editor (if the page has one) lists the device's modes (the listed modes, then the
// user-defined names) and shows its light record, raising no notifications.
void ShowLightOnEditor(COmbrixUSBDevice& device);

}  // namespace brimvex::devices
