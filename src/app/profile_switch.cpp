#include "app/profile_switch.h"

#include "app/main_wnd.h"
#include "app/message_box.h"
#include "devices/device_kind.h"
#include "devices/keyboard_device.h"
#include "hid/command_codes.h"
#include "macros/macro_files.h"
#include "profiles/device_profile_ui.h"

namespace brimvex::app {

ProfileWrites WriteProfileToDevice(devices::COmbrixUSBDevice& device, int screen_width, int screen_height) {
  ProfileWrites w;
  w.kind = device.DeviceType();
  device.ReloadProfile();
  device.RepairMacroKeys();
  device.RefreshPage();
  w.settings = device.WriteSettings(0, 0, 1, screen_width, screen_height);
  if (w.settings != hid::RESULT_OK) return w;
  w.used_macros = device.CollectUsedMacros();
  w.macros = device.WriteMacros(w.used_macros);
  if (*w.macros != 0) {
    w.macro_event_limit = *w.macros > 0 && MacroEventLimitHit(device, w.used_macros);
    return w;
  }
  if (auto* keyboard = dynamic_cast<devices::COmbrixKeyboardDevice*>(&device)) {
    w.colours = keyboard->LoadCustomGroup();
    if (*w.colours != hid::RESULT_OK) return w;
  }
  w.keymap = device.WriteProfileKeyMap();
  return w;
}

std::optional<int> ProfileWrites::Failure() const {
  if (settings != hid::RESULT_OK) return settings;
  if (macros && *macros != 0) return macros;
  if (colours && *colours != hid::RESULT_OK) return colours;
  if (keymap && *keymap != hid::RESULT_OK) return keymap;
  return std::nullopt;
}

bool MacroEventLimitHit(const devices::COmbrixUSBDevice& device, const std::vector<int>& used) {
  for (int index : used)
    if (device.Macros().Events(index).size() > macros::kMaxMacroEvents) return true;
  return false;
}

std::optional<MacroMessage> MacroResultMessage(int result, bool event_limit) {
  if (result == 0 || result == hid::RESULT_LINK_DOWN) return std::nullopt;
  if (result == -1) return MacroMessage{"message_text_7", std::nullopt};
  if (event_limit && result > static_cast<int>(macros::kMaxMacroEvents))
    return MacroMessage{"message_text_17", result - static_cast<int>(macros::kMaxMacroEvents)};
  return MacroMessage{"message_text_16", result};
}

ProfileWrites WriteProfile(CMainWnd& wnd, devices::COmbrixUSBDevice& device) {
  const ui::ScreenSize screen = wnd.Frontend().MonitorSize(wnd.Window());
  return WriteProfileToDevice(device, screen.width, screen.height);
}

std::optional<ProfileWrites> SwitchToEntry(devices::COmbrixUSBDevice& device, profiles::CDeviceProfileUI& list,
                                           int index, int screen_width, int screen_height) {
  if (!list.SelectWithoutStoring(index, false)) return std::nullopt;
  ProfileWrites writes = WriteProfileToDevice(device, screen_width, screen_height);
  list.StoreSelection();
  return writes;
}

std::optional<ProfileWrites> SwitchProfile(CMainWnd& wnd, devices::COmbrixUSBDevice& device) {
  profiles::CDeviceProfileUI* list = device.ProfileList();
  if (list == nullptr || list->GetCurSel() < 0) return std::nullopt;
  const ui::ScreenSize screen = wnd.Frontend().MonitorSize(wnd.Window());
  return SwitchToEntry(device, *list, list->GetCurSel(), screen.width, screen.height);
}

void ShowWriteMessages(CMainWnd& wnd, const ProfileWrites& writes) {
  // Macro results of -1 and the counts have messages of their own; a refused command is a failed write.
  const bool macro_count = writes.macros && *writes.macros >= -1 && *writes.macros != 0;
  if (macro_count) {
    if (const auto message = MacroResultMessage(*writes.macros, writes.macro_event_limit)) ShowText(wnd, message->key, message->number);
    return;
  }
  if (const auto failure = writes.Failure()) ShowWriteResult(wnd, writes.kind, *failure);
}

void ShowKeyboardWriteResult(CMainWnd& wnd, int result) { ShowWriteResult(wnd, devices::kDeviceKeyboard, result); }

void ShowWriteResult(CMainWnd& wnd, int kind, int result) {
  if (result == hid::RESULT_OK || result == hid::RESULT_LINK_DOWN) return;
  const char* key = kind == devices::kDeviceKeyboard ? "keyboard_write_failed"
                    : kind == devices::kDeviceMouse  ? "mouse_write_failed"
                                                     : nullptr;
  if (key != nullptr) ShowText(wnd, key, std::string(hid::ResultName(result)));
}

void ShowText(CMainWnd& wnd, const std::string& key, const std::string& word) {
  MessageBoxArgs args;
  args.owner = &wnd.Window();
  args.dpi = wnd.Dpi();
  std::string text = wnd.Resources().Text(key);
  const auto at = text.find("%s");
  args.text = at == std::string::npos ? text + " " + word : text.replace(at, 2, word);
  args.text_is_key = false;
  ShowMessageBox(wnd.Frontend(), wnd.Resources(), wnd.Factory(), args);
}

void ShowText(CMainWnd& wnd, const std::string& key, std::optional<int> number) {
  MessageBoxArgs args;
  args.owner = &wnd.Window();
  args.dpi = wnd.Dpi();
  args.text = key;
  if (number) {
    // The number goes into the text as text: a language file never becomes a format string.
    std::string text = wnd.Resources().Text(key);
    const auto at = text.find("%d");
    text =
        at == std::string::npos ? text + " " + std::to_string(*number) : text.replace(at, 2, std::to_string(*number));
    args.text = std::move(text);
    args.text_is_key = false;
  }
  ShowMessageBox(wnd.Frontend(), wnd.Resources(), wnd.Factory(), args);
}

}  // namespace brimvex::app
