#include "app/macro_requests.h"

#include <charconv>

#include "app/device_manager.h"
#include "app/key_editor_routes.h"
#include "app/macro_routes.h"
#include "app/main_wnd.h"
#include "devices/key_tables.h"
#include "devices/macro_block.h"
#include "devices/usb_device.h"
#include "hid/command_codes.h"
#include "macros/macro_control_ui.h"

namespace brimvex::app {
namespace {

using devices::COmbrixUSBDevice;
using macros::CMacroControlUI;

constexpr const char* kUsage =
    "usage: macro KIND list | show NAME | import FILE | export NAME FILE | delete NAME |"
    " bind KEY NAME [mode M | repeat N]\n";

// Names print on one line: tabs and line ends become spaces.
std::string Flat(std::string s) {
  for (char& c : s)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return s;
}

std::optional<long> Number(const std::string& word, long lo, long hi) {
  long v = 0;
  const auto [p, ec] = std::from_chars(word.data(), word.data() + word.size(), v);
  if (ec != std::errc() || p != word.data() + word.size() || v < lo || v > hi) return std::nullopt;
  return v;
}

COmbrixUSBDevice* PageOf(CMainWnd& wnd, int kind) {
  if (wnd.Devices() == nullptr) return nullptr;
  for (COmbrixUSBDevice* d : wnd.Devices()->AllDevices())
    if (d->DeviceType() == kind && d->FindControl("MacroControlItem") != nullptr) return d;
  return nullptr;
}

int IndexOfName(const CMacroControlUI& editor, const std::string& name) {
  const auto names = editor.GetNames();
  for (std::size_t k = 0; k < names.size(); ++k)
    if (names[k] == name) return static_cast<int>(k);
  for (std::size_t k = 0; k < names.size(); ++k)
    if (macros::SameName(names[k], name)) return static_cast<int>(k);
  return -1;
}

std::string EventLines(const CMacroControlUI& editor, int index) {
  std::string out;
  const Json::Value doc = editor.Store()->Document(index);
  const Json::Value* events = doc.isObject() && doc["Events"].isArray() ? &doc["Events"] : nullptr;
  if (events == nullptr) return out;
  for (const Json::Value& e : *events) {
    const macros::MacroEvent m = macros::DeviceEvent(e);
    out += std::to_string(m.delay) + "\t" + (m.down ? "down" : "up") + "\t" + std::to_string(m.type) + "\t" +
           std::to_string(m.code) + "\n";
  }
  return out;
}

ControlAnswer Run(CMainWnd& wnd, const std::vector<std::string>& args) {
  if (args.size() < 2) return {kExitMalformed, kUsage};
  const int kind = args[0] == "keyboard" ? devices::kDeviceKeyboard : args[0] == "mouse" ? devices::kDeviceMouse : -1;
  if (kind < 0) return {kExitMalformed, kUsage};
  const std::string& verb = args[1];
  const std::size_t n = args.size() - 2;
  const bool shape = (verb == "list" && n == 0) || ((verb == "show" || verb == "delete" || verb == "import") && n == 1) ||
                     (verb == "export" && n == 2) || (verb == "bind" && (n == 2 || n == 4));
  if (!shape) return {kExitMalformed, kUsage};
  COmbrixUSBDevice* device = PageOf(wnd, kind);
  CMacroControlUI* editor =
      device != nullptr ? dynamic_cast<CMacroControlUI*>(device->FindControl("MacroControlItem")) : nullptr;
  if (editor == nullptr || editor->Store() == nullptr) return {kExitFailed, "no " + args[0] + " page\n"};

  if (verb == "list") {
    std::string out;
    const auto entries = editor->Store()->Entries();
    for (std::size_t k = 0; k < entries.size(); ++k)
      out += std::to_string(k) + "\t" + (entries[k].usable ? entries[k].guid : std::string("-")) + "\t" +
             Flat(entries[k].name) + "\t" + std::to_string(editor->Store()->Events(static_cast<int>(k)).size()) + "\n";
    return {kExitDone, out};
  }
  // The store is the state: a macro added to "macro.config" by hand meanwhile is found by every
  // word, as `list` prints it.
  if (editor->CatchUpWithStore()) RefreshMacroNames(*device);
  if (verb == "import") {
    const auto imported = editor->ImportMacro(args[2]);
    if (imported.fault != macros::ImportFault::kNone)
      return {kExitRefused, std::string("refused: ") + macros::ImportFaultReason(imported.fault) + "\n"};
    if (imported.name.empty()) return {kExitFailed, "the store is full or could not be written\n"};
    RefreshMacroNames(*device);
    return {kExitDone, "imported " + Flat(imported.name) + " as macro " + std::to_string(imported.index) + " (" +
                           std::to_string(editor->Store()->Events(imported.index).size()) + " events)\n"};
  }
  if (verb == "bind") {
    const auto key = Number(args[2], 0, device->PageKeyCount() - 1);
    if (!key) return {kExitMalformed, "no such key: " + args[2] + "\n"};
    const int index = IndexOfName(*editor, args[3]);
    if (index < 0) return {kExitMalformed, "no such macro: " + args[3] + "\n"};
    profiles::KeyCode code{devices::kTypeMacro, static_cast<std::uint8_t>(index), 0};
    if (n == 4) {
      const auto value = Number(args[5], 0, args[4] == "repeat" ? 255 : 3);
      if ((args[4] != "mode" && args[4] != "repeat") || !value) return {kExitMalformed, kUsage};
      code.type = args[4] == "repeat" ? devices::kTypeMacroRepeat : devices::kTypeMacro;
      code.p2 = static_cast<std::uint8_t>(*value);
    }
    if (!device->CommandChannelRef().IsOpen()) return {kExitRefused, "the " + args[0] + " is unreachable\n"};
    if (!device->StoreKeyAssignment(static_cast<int>(*key), code)) return {kExitFailed, "the profile could not be written\n"};
    const KeySaveWrites w = SaveKeysToDevice(*device);
    if (w.macros > 0) return {kExitFailed, "the macros do not fit into the device (" + std::to_string(w.macros) + ")\n"};
    if (const auto failure = w.Failure()) {
      if (*failure == hid::RESULT_LINK_DOWN) return {kExitRefused, "the " + args[0] + " is unreachable\n"};
      return {kExitFailed, "the device refused the write: " + std::string(hid::ResultName(*failure)) + "\n"};
    }
    std::vector<std::vector<macros::MacroEvent>> used;
    for (int m : w.used_macros) used.push_back(editor->Store()->Events(m));
    return {kExitDone, "bound key " + args[2] + " to macro " + std::to_string(index) + "; macro block " +
                           std::to_string(devices::MacroBlockLength(used)) + " bytes\n"};
  }
  const int index = IndexOfName(*editor, args[2]);
  if (index < 0) return {kExitMalformed, "no such macro: " + args[2] + "\n"};
  const std::string name = Flat(editor->GetNames()[static_cast<std::size_t>(index)]);
  const std::size_t events = editor->Store()->Events(index).size();
  if (verb == "show") return {kExitDone, "macro " + name + " events=" + std::to_string(events) + "\n" + EventLines(*editor, index)};
  if (verb == "export") {
    editor->SelectMacro(index);
    if (!editor->ExportMacro(args[3])) return {kExitFailed, "the file could not be written\n"};
    return {kExitDone, "exported " + name + " (" + std::to_string(events) + " events)\n"};
  }
  if (verb == "delete") {
    editor->SelectMacro(index);
    if (DeleteSelectedMacro(wnd, *device, *editor, false) < 0) return {kExitFailed, "the store could not be written\n"};
    return {kExitDone, "deleted " + name + " (macro " + std::to_string(index) + ")\n"};
  }
  return {kExitMalformed, kUsage};
}

}  // namespace

void RegisterMacroRequests(RequestTable& requests, CMainWnd& wnd) {
  requests.Add("macro", [&wnd](const std::vector<std::string>& args) { return Run(wnd, args); });
}

}  // namespace brimvex::app
