#pragma once
// The emulator's "light KIND" verb (brimvexctl light KIND --emulate): the light the emulated
// keyboard, mouse, pad or headset holds, read from its memory (the active profile byte, then that
// profile's settings record) with the first position of its live frame (the headset: light 0 of
// its first zone as its LED reports left it).
#include "app/control_request.h"
#include "emulator/emulator.h"

namespace brimvex::app {

void RegisterEmulatedLightRequests(RequestTable& requests, emulator::Emulator& machine);

}  // namespace brimvex::app
