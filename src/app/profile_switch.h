#pragma once
// Putting a device's current profile on the device: after a profile switch (timer 1055), a Reset
// and the default profile. The device operations are the base table's, so every device kind
// runs the same sequence with its own behaviour.
#include <optional>
#include <string>
#include <vector>

namespace brimvex::devices {
class COmbrixUSBDevice;
}
namespace brimvex::profiles {
class CDeviceProfileUI;
}

namespace brimvex::app {

class CMainWnd;

// What each write gave, in the order they ran; a write after a failed one does not run (nullopt).
struct ProfileWrites {
  int kind = 0;                  // the device's kind
  int settings = 0;              // WriteSettings
  std::vector<int> used_macros;  // CollectUsedMacros
  std::optional<int> macros;     // WriteMacros (0 when written or nothing to write)
  bool macro_event_limit = false;  // a macro to send has more than 250 events (MacroEventLimitHit)
  std::optional<int> colours;    // the keyboard's custom colour group; none for the others
  std::optional<int> keymap;     // WriteProfileKeyMap
  // The first failing write's result (WriteMacros' counts included), or nullopt.
  std::optional<int> Failure() const;
};

// ReloadProfile, RepairMacroKeys, RefreshPage, WriteSettings(0, 0, 1, screen width, height),
// CollectUsedMacros and WriteMacros, the keyboard's custom colour group, WriteProfileKeyMap;
// the writes stop at the first failure (the profile keeps what it holds).
ProfileWrites WriteProfileToDevice(devices::COmbrixUSBDevice& device, int screen_width, int screen_height);

// Whether one of the macros to send has more than 250 events. The devices check that before their
// capacity, so WriteMacros' count is then that macro's event count, else the units over the
// capacity: both can lie in 251-380, and only this tells them apart.
bool MacroEventLimitHit(const devices::COmbrixUSBDevice& device, const std::vector<int>& used);

// The message a WriteMacros result asks for: none for 0 and RESULT_LINK_DOWN (an unreachable
// device), "message_text_7" for -1; a count: "message_text_17" formatted with the events over 250
// when the event limit was hit, else "message_text_16" formatted with the count.
struct MacroMessage {
  std::string key;
  std::optional<int> number;
};
std::optional<MacroMessage> MacroResultMessage(int result, bool event_limit);

// A switch to entry `index` of the device's list: the entry becomes the current profile (the
// device's current profile name follows), the profile goes to the device, and then the list
// stores the selection, so the device's writes do not wait for the list file. Nothing (nullopt)
// without such an entry.
std::optional<ProfileWrites> SwitchToEntry(devices::COmbrixUSBDevice& device, profiles::CDeviceProfileUI& list,
                                           int index, int screen_width, int screen_height);

// The switch of the drop-down: selects the drop-down's item in the list (the device's current
// profile name follows) and writes the profile to the device. Nothing without a list or a
// selection.
std::optional<ProfileWrites> SwitchProfile(CMainWnd& wnd, devices::COmbrixUSBDevice& device);
// The writes with the screen size of the main window's monitor.
ProfileWrites WriteProfile(CMainWnd& wnd, devices::COmbrixUSBDevice& device);
// Shows the message the writes ask for, if any: the macro messages, and for a write the keyboard
// or mouse refused its kind's message with the result's name (none while the device is
// unreachable).
void ShowWriteMessages(CMainWnd& wnd, const ProfileWrites& writes);
// "keyboard_write_failed" for a result other than RESULT_OK and RESULT_LINK_DOWN.
void ShowKeyboardWriteResult(CMainWnd& wnd, int result);
// The same by the device's kind: "keyboard_write_failed" or "mouse_write_failed"; nothing for
// the other kinds.
void ShowWriteResult(CMainWnd& wnd, int kind, int result);
// A message box with the text of a language key, "%d" in it replaced by `number`.
void ShowText(CMainWnd& wnd, const std::string& key, std::optional<int> number = std::nullopt);
// The same with "%s" replaced by `word`.
void ShowText(CMainWnd& wnd, const std::string& key, const std::string& word);

}  // namespace brimvex::app
