#pragma once
// The emulator's "light KIND" verb (brimvexctl light KIND --emulate): the light the emulated
// keyboard, mouse or pad holds, read from its memory (the active profile byte, then that profile's
// settings record) with the first position of its live frame.
#include "app/control_request.h"
#include "emulator/emulator.h"

namespace brimvex::app {

void RegisterEmulatedLightRequests(RequestTable& requests, emulator::Emulator& machine);

}  // namespace brimvex::app
