#pragma once
// The program's own control classes, registered by name with the control factory in one fixed
// order. A class is registered once it exists; the order of the list never changes.
#include <span>
#include <string_view>

#include "platform/ui/control_factory.h"

namespace brimvex::app {

// Every class name in registration order.
std::span<const std::string_view> ControlClassNames();
// Registers the classes that exist; returns how many were registered.
int RegisterControlClasses(ui::ControlFactory& factory);

}  // namespace brimvex::app
