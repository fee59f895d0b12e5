#include "app/keymap_requests.h"

#include <charconv>

#include "app/device_manager.h"
#include "app/english_texts.h"
#include "app/key_editor_routes.h"
#include "app/main_wnd.h"
#include "devices/key_map_listing.h"
#include "devices/key_slots.h"
#include "devices/keyboard_device.h"
#include "hid/command_codes.h"

namespace brimvex::app {
namespace {

using devices::COmbrixKeyboardDevice;

constexpr const char* kUsage = "usage: keymap keyboard [set INDEX FUNCTION]\n";

// The selected keyboard, else the first one connected.
COmbrixKeyboardDevice* ConnectedKeyboard(CMainWnd& wnd) {
  auto* selected = dynamic_cast<COmbrixKeyboardDevice*>(wnd.SelectedDevice());
  if (selected != nullptr && selected->CommandChannelRef().IsOpen()) return selected;
  if (wnd.Devices() == nullptr) return nullptr;
  for (devices::COmbrixUSBDevice* device : wnd.Devices()->AllDevices()) {
    auto* keyboard = dynamic_cast<COmbrixKeyboardDevice*>(device);
    if (keyboard != nullptr && keyboard->CommandChannelRef().IsOpen()) return keyboard;
  }
  return nullptr;
}

// A failed device exchange: 3 while the keyboard is out of reach, else 1 naming the result.
ControlAnswer DeviceFailure(const std::string& what, int result) {
  if (result == hid::RESULT_LINK_DOWN) return {kExitRefused, "the keyboard is unreachable\n"};
  return {kExitFailed, what + ": " + std::string(hid::ResultName(result)) + "\n"};
}

std::vector<int> SlotsOf(const COmbrixKeyboardDevice& keyboard) {
  std::vector<int> slots;
  for (int j = 0; j < keyboard.PageKeyCount(); ++j) slots.push_back(keyboard.KeySlotOf(j));
  return slots;
}

std::optional<int> ParseIndex(const std::string& word, int count) {
  int index = -1;
  const auto [p, ec] = std::from_chars(word.data(), word.data() + word.size(), index);
  if (ec != std::errc() || p != word.data() + word.size() || index < 0 || index >= count) return std::nullopt;
  return index;
}

ControlAnswer Set(COmbrixKeyboardDevice& keyboard, int index, const profiles::KeyCode& code,
                  const devices::TextLookup& english) {
  // "key_butt_keysave" for that page key, then "key_butt_prosave".
  const bool stored = keyboard.StoreKeyAssignment(index, code);
  keyboard.SelectKeyForEditing(index);  // the editor shows the key as stored
  if (!stored) return {kExitFailed, "the profile could not be written\n"};
  const KeySaveWrites writes = SaveKeysToDevice(keyboard);
  if (writes.macros > 0) return {kExitFailed, "the macros do not fit into the keyboard (" + std::to_string(writes.macros) + ")\n"};
  if (const auto failure = writes.Failure()) return DeviceFailure("the keyboard did not take the key map", *failure);
  std::vector<std::uint8_t> map;
  if (const int r = keyboard.ReadKeyMapNow(map); r != hid::RESULT_OK)
    return DeviceFailure("the key map could not be read back", r);
  return {kExitDone, devices::KeyMapLine(index, keyboard.KeySlotOf(index), map, english, keyboard.MacroNames())};
}

ControlAnswer Run(CMainWnd& wnd, const devices::TextLookup& english, const std::vector<std::string>& args) {
  const bool list = args.size() == 1;
  const bool set = args.size() == 4 && args[1] == "set";
  if (args.empty() || args[0] != "keyboard" || (!list && !set)) return {kExitMalformed, kUsage};
  int index = -1;
  if (set) {
    const auto parsed = ParseIndex(args[2], devices::kKeyboardPageKeys);
    if (!parsed) return {kExitMalformed, "no such key: " + args[2] + "\n"};
    index = *parsed;
  }
  COmbrixKeyboardDevice* keyboard = ConnectedKeyboard(wnd);
  if (keyboard == nullptr) return {kExitFailed, "no keyboard\n"};
  if (set) {
    const auto keys = keyboard->GetKeyList();
    if (static_cast<std::size_t>(index) >= keys.size()) return {kExitFailed, "the keyboard has no key list\n"};
    const auto code = devices::ParseKeyFunction(args[3], keys[static_cast<std::size_t>(index)].default_code, english);
    if (!code) return {kExitMalformed, "no such function: " + args[3] + "\n"};
    return Set(*keyboard, index, *code, english);
  }
  std::vector<std::uint8_t> map;
  if (const int r = keyboard->ReadKeyMapNow(map); r != hid::RESULT_OK)
    return DeviceFailure("the key map could not be read", r);
  return {kExitDone, devices::KeyMapLines(SlotsOf(*keyboard), map, english, keyboard->MacroNames())};
}

}  // namespace

void RegisterKeymapRequests(RequestTable& requests, CMainWnd& wnd) {
  requests.Add("keymap", [&wnd, english = EnglishTexts(wnd.Resources().LanguageFolder())](
                             const std::vector<std::string>& args) { return Run(wnd, english, args); });
}

}  // namespace brimvex::app
