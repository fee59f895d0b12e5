#pragma once
// System sleep from logind over the system D-Bus: "PrepareForSleep" of
// org.freedesktop.login1.Manager, heard only from the owner of "org.freedesktop.login1". A
// "sleep" inhibitor in "delay" mode holds the suspend back until the program has put its devices
// to rest; it is let go once the suspend handler returned and taken again after the resume.
// Without a system bus (or logind) a trace says so and the program runs on without power events.
// Needs the Qt application object (create it after the frontend).
#include <memory>

#include "platform/power_events.h"

namespace brimvex::qt {

std::unique_ptr<platform::PowerEvents> CreateLogindPowerEvents();

}  // namespace brimvex::qt
