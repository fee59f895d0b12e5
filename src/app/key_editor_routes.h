#pragma once
// The key editor's rows in the controller's table: its buttons ("key_butt_keysave",
// "key_butt_keydefalut", "key_butt_keycancel", "key_butt_prosave"), its combos and edits, the
// modifier boxes "key_ComBox_check_" + N, and the key presses of the main window while the editor
// shows its keyboard-key page. They act on the editor of the selected keyboard or mouse.
#include <optional>
#include <vector>

#include "app/notify_router.h"

namespace brimvex::devices {
class COmbrixUSBDevice;
class CKeySetControlUI;
}  // namespace brimvex::devices

namespace brimvex::app {

class CMainWnd;

void RegisterKeyEditorRoutes(NotifyRouter& router, CMainWnd& wnd);

// The editor of a device page, or null.
devices::CKeySetControlUI* KeyEditorOf(devices::COmbrixUSBDevice& device);

// The key capture step: a key pressed while the selected keyboard's or mouse's editor shows its keyboard-key
// page is taken there and saved as "key_butt_keysave" does. True when the editor took it (any other
// key goes on). The main window's key presses and the hook's single-key capture both come here.
bool CaptureKeyOnSelectedPage(CMainWnd& wnd, int linux_code);

// "key_butt_keysave": the editor's composed entry goes to the selected key of the device's key
// list and the profile is saved; false when no key is selected or the profile was not written.
bool SaveEditedKey(devices::COmbrixUSBDevice& device, devices::CKeySetControlUI& editor);

// What "key_butt_prosave" did, in order; the key map is not written after a failed macro write.
struct KeySaveWrites {
  int kind = 0;  // the device's kind
  std::vector<int> used_macros;
  int macros = 0;             // WriteMacros: 0 done, a limit count, -1, or the failing result
  bool macro_event_limit = false;  // the count is a macro's events (MacroEventLimitHit)
  bool key_reset = false;     // the edited macro key went back to its default (macros too big)
  std::optional<int> keymap;  // WriteProfileKeyMap
  bool saved = false;         // SaveProfile
  // The first failing device write's result, or nullopt (a limit count is not one).
  std::optional<int> Failure() const;
};
// CollectUsedMacros and WriteMacros; macros too big for the device put the edited key back to its
// default when it plays a macro; then WriteProfileKeyMap and SaveProfile. Stops after a failed
// macro write; the profile keeps the assignments either way.
KeySaveWrites SaveKeysToDevice(devices::COmbrixUSBDevice& device);
// The message boxes the writes ask for: "message_text_7" for a macro block that could not be
// made, "message_text_17" (events over 250) or "message_text_16" (units over the capacity) for
// the limits (MacroResultMessage), "keyboard_write_failed" or "mouse_write_failed" for a write
// the device refused; none while unreachable.
void ShowKeySaveMessages(CMainWnd& wnd, const KeySaveWrites& writes);

}  // namespace brimvex::app
