#pragma once
// The program's own control classes, registered by name with the control factory in one fixed
// order. A class is registered once it exists; the order of the list never changes.
#include <span>
#include <string_view>

#include "platform/event_loop.h"
#include "platform/hid_backend.h"
#include "platform/ui/control_factory.h"

namespace brimvex::app {

// What some classes need to be created: the device pages take the HID backend and the UI
// thread's loop. Classes whose needs are missing are not registered.
struct ControlContext {
  platform::HidBackend* hid = nullptr;
  platform::EventLoop* loop = nullptr;
};

// Every class name in registration order.
std::span<const std::string_view> ControlClassNames();
// Registers the classes that exist; returns how many were registered.
int RegisterControlClasses(ui::ControlFactory& factory, const ControlContext& context = {});

}  // namespace brimvex::app
