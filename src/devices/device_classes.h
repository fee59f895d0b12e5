#pragma once
// The control classes of the device pages, as factory creators: the device picture
// ("SelectPanel"), its key and light buttons ("DeviceKeyButton"), the key assignment editor
// ("KeySetControl") and the device objects, which need the HID backend and the UI thread's loop
// they are given.
#include "devices/device_kind.h"
#include "platform/event_loop.h"
#include "platform/hid_backend.h"
#include "platform/ui/control_factory.h"

namespace brimvex::devices {

ui::ControlFactory::Creator SelectPanelCreator();
ui::ControlFactory::Creator DeviceKeyButtonCreator();
ui::ControlFactory::Creator KeySetControlCreator();
// A creator of the device class of that kind (0 base, 1, 2, 3; the headset is the audio
// subsystem's); an empty creator for any other kind or when the backend or the loop is missing.
ui::ControlFactory::Creator DeviceCreator(int kind, platform::HidBackend* backend, platform::EventLoop* loop);

}  // namespace brimvex::devices
