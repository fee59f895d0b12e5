// brimvexctl profile KIND ACTION ...: the profile list of the first page of a device kind, acted
// on as its buttons do, with an absolute path in place of the file dialogs. The answer comes
// after the device writes; its lines are tab-separated words.
#include <algorithm>
#include <string>
#include <vector>

#include "app/app_messages.h"
#include "app/main_wnd.h"
#include "app/profile_routes.h"
#include "app/profile_switch.h"
#include "devices/device_kind.h"
#include "devices/usb_device.h"
#include "hid/command_codes.h"
#include "profiles/device_profile_ui.h"

namespace brimvex::app {
namespace {

using profiles::CDeviceProfileUI;
using Change = CDeviceProfileUI::Change;

struct KindWord {
  const char* word;
  int kind;
};
constexpr KindWord kKinds[] = {{"keyboard", devices::kDeviceKeyboard},
                               {"mouse", devices::kDeviceMouse},
                               {"pad", devices::kDeviceMousePad},
                               {"headset", devices::kDeviceHeadset}};

ControlAnswer Answer(int exit_code, std::string text) { return ControlAnswer{exit_code, std::move(text)}; }

// Names go out on one line between tabs.
std::string Word(std::string text) {
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
  return text;
}

devices::COmbrixUSBDevice* PageOfKind(CMainWnd& wnd, int kind) {
  if (wnd.Devices() == nullptr) return nullptr;
  for (devices::COmbrixUSBDevice* device : wnd.Devices()->AllDevices())
    if (device->DeviceType() == kind && device->ProfileList() != nullptr) return device;
  return nullptr;
}

bool IsAbsolute(const std::string& path) { return !path.empty() && path.front() == '/'; }

// "ok" for success, else the result's name (WriteMacros' counts as numbers).
std::string ResultWord(int result, int ok) {
  if (result == ok) return "ok";
  const std::string_view name = hid::ResultName(result);
  return result > 0 || name == "RESULT_UNKNOWN" ? std::to_string(result) : std::string(name);
}

// The write lines of a switch and the exit code they make: 3 when the device is unreachable,
// 1 when a write failed.
ControlAnswer WriteAnswer(std::string text, devices::COmbrixUSBDevice& device, const ProfileWrites& w) {
  text += "settings\t" + ResultWord(w.settings, hid::RESULT_OK) + "\n";
  // A write after a failed one did not run.
  const std::string skipped = "skipped";
  text += "macros\t" +
          (!w.macros ? skipped
                     : w.used_macros.empty() && *w.macros == 0 ? std::string("none") : ResultWord(*w.macros, 0)) +
          "\n";
  text += "colours\t" + (w.colours ? ResultWord(*w.colours, hid::RESULT_OK) : std::string("none")) + "\n";
  text += "keymap\t" + (w.keymap ? ResultWord(*w.keymap, hid::RESULT_OK) : skipped) + "\n";
  const int results[] = {w.settings, w.macros.value_or(0), w.colours.value_or(hid::RESULT_OK),
                         w.keymap.value_or(hid::RESULT_OK)};
  if (!device.CommandChannelRef().IsOpen()) return Answer(kExitRefused, text + "the device is not connected\n");
  if (std::find(std::begin(results), std::end(results), hid::RESULT_LINK_DOWN) != std::end(results))
    return Answer(kExitRefused, text + "the device is unreachable\n");
  return Answer(w.Failure() ? kExitFailed : kExitDone, text);
}

ControlAnswer List(CDeviceProfileUI& list) {
  const auto names = list.Names();
  const auto ids = list.Identifiers();
  const int sel = list.GetCurSel();
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i)
    text += std::to_string(i) + "\t" + (static_cast<int>(i) == sel ? "*" : "-") + "\t" + Word(ids[i]) + "\t" +
            Word(names[i]) + "\n";
  return Answer(kExitDone, text);
}

ControlAnswer Select(CMainWnd& wnd, devices::COmbrixUSBDevice& device, CDeviceProfileUI& list, int index,
                     const std::string& name) {
  // As a choice in the drop-down, without waiting for its timer: the answer follows the writes.
  const ui::ScreenSize screen = wnd.Frontend().MonitorSize(wnd.Window());
  const auto writes = SwitchToEntry(device, list, index, screen.width, screen.height);
  if (!writes) return Answer(kExitMalformed, "no such profile\n");
  const std::string head = "selected\t" + std::to_string(index) + "\t" + Word(name) + "\n";
  return WriteAnswer(head, device, *writes);
}

ControlAnswer Delete(CMainWnd& wnd, devices::COmbrixUSBDevice& device, CDeviceProfileUI& list, int index,
                     const std::string& name) {
  if (list.Count() <= 1) return Answer(kExitRefused, "the last profile cannot be deleted\n");
  const bool selected = index == list.GetCurSel();
  switch (list.DeleteAt(index)) {
    case Change::kDone:
      break;
    case Change::kFailed:
      return Answer(kExitFailed, "the profile list could not be written\n");
    case Change::kUnchanged:
      return Answer(kExitRefused, "nothing to delete\n");
  }
  const std::string head = "deleted\t" + Word(name) + "\n";
  if (!selected) return Answer(kExitDone, head);
  // The drop-down armed the switch to the new selection; it runs now instead.
  wnd.Loop().KillTimer(&wnd, kTimerProfileSwitch);
  return WriteAnswer(head, device, WriteProfile(wnd, device));
}

ControlAnswer Run(CMainWnd& wnd, const std::vector<std::string>& args) {
  if (args.size() < 2) return Answer(kExitMalformed, "usage: profile KIND list|select|export|import|delete ...\n");
  const auto kind =
      std::find_if(std::begin(kKinds), std::end(kKinds), [&](const KindWord& k) { return args[0] == k.word; });
  if (kind == std::end(kKinds)) return Answer(kExitMalformed, "no such device kind: " + args[0] + "\n");
  const std::string& action = args[1];
  const std::size_t want = action == "list" ? 2 : action == "export" ? 4 : 3;
  if (args.size() != want ||
      (action != "list" && action != "select" && action != "export" && action != "import" && action != "delete"))
    return Answer(kExitMalformed, "malformed profile request\n");
  devices::COmbrixUSBDevice* device = PageOfKind(wnd, kind->kind);
  if (device == nullptr) return Answer(kExitRefused, std::string("no ") + kind->word + " page\n");
  CDeviceProfileUI& list = *device->ProfileList();
  if (action == "list") return List(list);
  if (action == "import") {
    if (!IsAbsolute(args[2])) return Answer(kExitMalformed, "the file must be an absolute path\n");
    const auto r = list.Import(args[2]);
    if (!r.refusal_key.empty())
      return Answer(kExitRefused,
                    "import refused (" + r.refusal_key + "): " + wnd.Resources().Text(r.refusal_key) + "\n");
    if (r.change != Change::kDone) return Answer(kExitFailed, "the profile could not be written\n");
    return Answer(kExitDone, "imported\t" + r.identifier + "\t" + Word(r.name) + "\n");
  }
  const int index = list.IndexOfName(args[2]);
  if (index < 0) return Answer(kExitMalformed, "no such profile: " + Word(args[2]) + "\n");
  const std::string name = list.Names()[static_cast<std::size_t>(index)];
  if (action == "select") return Select(wnd, *device, list, index, name);
  if (action == "delete") return Delete(wnd, *device, list, index, name);
  if (!IsAbsolute(args[3])) return Answer(kExitMalformed, "the file must be an absolute path\n");
  if (list.ExportAt(index, args[3]) != Change::kDone) return Answer(kExitFailed, "the profile could not be exported\n");
  return Answer(kExitDone, "exported\t" + Word(name) + "\n");
}

}  // namespace

void RegisterProfileRequests(RequestTable& requests, CMainWnd& wnd) {
  requests.Add("profile", [&wnd](const std::vector<std::string>& args) { return Run(wnd, args); });
}

}  // namespace brimvex::app
