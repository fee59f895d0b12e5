#pragma once
// brimvexctl keymap, as the running program answers it ("keymap keyboard" and "keymap keyboard
// set INDEX FUNCTION") and as `brimvex --emulate` answers it from the emulated keyboard's memory
// (peer "BrimvexEmulator", "keymap keyboard" only). Lines as devices/key_map_listing.h gives them.
#include <string>

#include "app/control_request.h"

namespace brimvex::emulator {
class Emulator;
}

namespace brimvex::app {

class CMainWnd;

// The program: the key map is read from its keyboard now and each slot shown at the page key
// that owns it; `set` saves the key as "key_butt_keysave" and writes the keys as
// "key_butt_prosave" do, without a message box, then prints the key's line as read back.
void RegisterKeymapRequests(RequestTable& requests, CMainWnd& wnd);
// The emulator: each slot of the emulated keyboard goes to the page key whose factory code the
// keyboard has there when it leaves the factory.
void RegisterEmulatedKeymapRequests(RequestTable& requests, emulator::Emulator& machine,
                                    const std::string& language_folder);

}  // namespace brimvex::app
