#pragma once
// The creator of a device object of any kind: the headset's comes from the audio subsystem,
// the others from the device models.
#include "platform/event_loop.h"
#include "platform/hid_backend.h"
#include "platform/ui/control_factory.h"

namespace brimvex::app {

ui::ControlFactory::Creator AnyDeviceCreator(int kind, platform::HidBackend* backend, platform::EventLoop* loop);

}  // namespace brimvex::app
