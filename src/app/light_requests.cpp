// brimvexctl light KIND set WORD...: the light of the first connected device of a kind, set as a
// user sets it. The words (mode=NAME|N, color=RRGGBB, brightness=0..4, speed=0..4,
// direction=0|1, each at most once) are checked first (exit 2); then the device must be there
// (exit 1); then every word must apply to the resulting mode by the light rules and the mode must
// be offered (exit 3, nothing changed). The device's selector entry is selected and the editor's
// controls are driven in the order mode, colour, brightness, speed, direction; the answer is the
// record in force (exit 1 when a write failed).
#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "app/device_option_ui.h"
#include "app/light_routes.h"
#include "app/main_wnd.h"
#include "devices/device_kind.h"
#include "devices/usb_device.h"
#include "hid/command_codes.h"
#include "lighting/light_control_ui.h"
#include "lighting/light_report.h"
#include "lighting/light_rules.h"
#include "platform/ui/controls.h"
#include "platform/ui/list_controls.h"

namespace brimvex::app {
namespace {

using lighting::LightGroup;

struct SetWords {
  int kind = 0;
  std::optional<int> mode_number;
  std::optional<std::string> mode_name;
  std::optional<std::uint32_t> color;
  std::optional<int> brightness, speed, direction;
};

std::optional<int> SmallNumber(const std::string& s, int max) {
  if (s.empty() || s.size() > 3 || !std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return std::nullopt;
  const int v = std::stoi(s);
  return v <= max ? std::optional<int>(v) : std::nullopt;
}

std::optional<std::uint32_t> Rgb(const std::string& s) {
  if (s.size() != 6 || !std::all_of(s.begin(), s.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }))
    return std::nullopt;
  return 0xFF000000u | static_cast<std::uint32_t>(std::stoul(s, nullptr, 16));
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

// nullopt with `why` set for malformed words.
std::optional<SetWords> Parse(const std::vector<std::string>& args, std::string& why) {
  SetWords w;
  if (args.size() < 3 || args[1] != "set") {
    why = "usage: light keyboard|mouse|pad|headset set mode=NAME|N color=RRGGBB brightness=N speed=N direction=0|1\n";
    return std::nullopt;
  }
  static constexpr std::pair<const char*, int> kKinds[] = {
      {"keyboard", devices::kDeviceKeyboard},
      {"mouse", devices::kDeviceMouse},
      {"pad", devices::kDeviceMousePad},
      {"headset", devices::kDeviceHeadset}};
  for (const auto& [word, kind] : kKinds)
    if (args[0] == word) w.kind = kind;
  if (w.kind == 0) {
    why = "no such device kind: " + args[0] + "\n";
    return std::nullopt;
  }
  std::vector<std::string> seen;
  for (std::size_t i = 2; i < args.size(); ++i) {
    const auto eq = args[i].find('=');
    const std::string key = eq == std::string::npos ? args[i] : args[i].substr(0, eq);
    const std::string value = eq == std::string::npos ? std::string() : args[i].substr(eq + 1);
    if (eq == std::string::npos || std::find(seen.begin(), seen.end(), key) != seen.end()) {
      why = "malformed word: " + args[i] + "\n";
      return std::nullopt;
    }
    seen.push_back(key);
    bool ok = true;
    if (key == "mode") {
      if (!value.empty() && std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; }))
        ok = (w.mode_number = SmallNumber(value, 255)).has_value();
      else
        ok = !(w.mode_name = value)->empty();
    } else if (key == "color") {
      ok = (w.color = Rgb(value)).has_value();
    } else if (key == "brightness") {
      ok = (w.brightness = SmallNumber(value, 4)).has_value();
    } else if (key == "speed") {
      ok = (w.speed = SmallNumber(value, 4)).has_value();
    } else if (key == "direction") {
      ok = (w.direction = SmallNumber(value, 1)).has_value();
    } else {
      ok = false;
    }
    if (!ok) {
      why = "malformed or out of range: " + args[i] + "\n";
      return std::nullopt;
    }
  }
  return w;
}

devices::COmbrixUSBDevice* ConnectedOfKind(CMainWnd& wnd, int kind, int* entry_index) {
  DeviceSelector& s = wnd.Selector();
  for (int i = 0; i < s.Count(); ++i) {
    CDeviceOptionUI* e = s.Entry(i);
    devices::COmbrixUSBDevice* d = e != nullptr ? e->Device() : nullptr;
    // Connected and set up: its page has read its mode list.
    if (d != nullptr && d->DeviceType() == kind && e->IsEntryVisible() && d->CommandChannelRef().IsOpen() &&
        d->LightModes().Count() > 0) {
      *entry_index = i;
      return d;
    }
  }
  return nullptr;
}

ControlAnswer Set(CMainWnd& wnd, const std::vector<std::string>& args) {
  std::string why;
  const auto w = Parse(args, why);
  if (!w) return {kExitMalformed, why};
  const std::string kind_word(lighting::DeviceWord(w->kind));
  int entry = -1;
  devices::COmbrixUSBDevice* device = ConnectedOfKind(wnd, w->kind, &entry);
  if (device == nullptr) return {kExitFailed, "no " + kind_word + " is connected\n"};
  const lighting::LightModeList& modes = device->LightModes();
  const int listed = modes.Count();
  const int offered_count = listed + static_cast<int>(device->CustomLightNames().size());
  std::optional<int> mode = w->mode_number;
  if (w->mode_name) {
    for (int i = 0; i < listed && !mode; ++i)
      if (EqualNoCase(modes.modes[static_cast<std::size_t>(i)].name, *w->mode_name)) mode = i;
    for (int k = 0; k + listed < offered_count && !mode; ++k)
      if (EqualNoCase(device->CustomLightNames()[static_cast<std::size_t>(k)], *w->mode_name)) mode = listed + k;
    if (!mode) return {kExitMalformed, "no such mode on the " + kind_word + ": " + *w->mode_name + "\n"};
  }
  if (mode && (*mode >= offered_count || (*mode < listed && !modes.modes[static_cast<std::size_t>(*mode)].visible)))
    return {kExitRefused, "brimvexctl: refused: mode " + std::to_string(*mode) + " is not offered on the " + kind_word +
                              "\n"};
  const int target = mode.value_or(device->GetLightState().mode);
  const lighting::LightRule rule = lighting::RuleFor(w->kind, target);
  const std::pair<bool, LightGroup> used[] = {{w->color.has_value(), LightGroup::kColor},
                                              {w->brightness.has_value(), LightGroup::kBrightness},
                                              {w->speed.has_value(), LightGroup::kSpeed},
                                              {w->direction.has_value(), LightGroup::kDirection}};
  for (const auto& [given, group] : used)
    if (given && !rule.Applies(group))
      return {kExitRefused, "brimvexctl: refused: " + std::string(lighting::GroupWord(group)) +
                                " does not apply to mode " + std::to_string(target) + " on the " + kind_word + "\n"};

  // As a user does it: the entry is selected, then the editor's controls move.
  wnd.Selector().ShowEntry(entry, true, true);
  auto* editor = dynamic_cast<lighting::CLightControlUI*>(device->LightEditor());
  if (editor == nullptr) return {kExitFailed, "the " + kind_word + " page has no light editor\n"};
  LightWriteCapture capture;
  if (mode) {
    auto* combo = dynamic_cast<ui::Combo*>(editor->FindControl("light_combo_modeSelect"));
    if (combo == nullptr || (!combo->SelectItem(*mode) && combo->CurSel() != *mode))
      return {kExitFailed, "the mode could not be chosen\n"};
  }
  if (w->color) {
    if (auto* palette = dynamic_cast<ui::ColorPalette*>(editor->FindControl("deng_Color_Pallet")))
      palette->UserPickColor(*w->color);
  }
  if (w->brightness)
    if (auto* s = dynamic_cast<ui::Slider*>(editor->FindControl("deng_light_slider"))) s->UserSetValue(*w->brightness);
  if (w->speed)
    if (auto* s = dynamic_cast<ui::Slider*>(editor->FindControl("deng_speed_slider"))) s->UserSetValue(*w->speed);
  if (w->direction) {
    auto* option = dynamic_cast<ui::Option*>(editor->FindControl(*w->direction == 1 ? "deng_FXL_check" : "deng_FXR_check"));
    if (option != nullptr) option->Activate();
  }
  const profiles::LightInfo info = device->GetLightState();
  const std::string text = lighting::FormatLight(std::optional<int>(info.mode), info.mode, info, modes);
  if (capture.Result() != hid::RESULT_OK)
    return {kExitFailed, text + "the " + kind_word + " did not take the write (" +
                             std::string(hid::ResultName(capture.Result())) + ")\n"};
  return {kExitDone, text};
}

}  // namespace

bool LightSetWordsWellFormed(const std::vector<std::string>& args, std::string* why) {
  std::string reason;
  const bool ok = Parse(args, reason).has_value();
  if (why != nullptr) *why = reason;
  return ok;
}

void RegisterLightRequests(RequestTable& requests, CMainWnd& wnd) {
  requests.Add("light", [&wnd](const std::vector<std::string>& args) { return Set(wnd, args); });
}

}  // namespace brimvex::app
