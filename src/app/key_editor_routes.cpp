#include "app/key_editor_routes.h"

#include "app/main_wnd.h"
#include "app/profile_switch.h"
#include "devices/device_kind.h"
#include "devices/key_set_control_ui.h"
#include "devices/key_tables.h"
#include "devices/keyboard_device.h"
#include "devices/mouse_device.h"
#include "hid/command_codes.h"
#include "platform/ui/notification.h"
#include "platform/ui/window.h"

namespace brimvex::app {
namespace {

namespace notify = ui::notify;
using devices::CKeySetControlUI;
using devices::COmbrixUSBDevice;

const RowOptions kKeyEditor{DeviceNeed::Kinds({devices::kDeviceKeyboard, devices::kDeviceMouse})};

bool IsMacro(const profiles::KeyCode& c) { return c.type == devices::kTypeMacro || c.type == devices::kTypeMacroRepeat; }

using EditorAction = void (*)(CKeySetControlUI&, const Route&);

RouteHandler OnEditor(EditorAction action) {
  return [action](const Route& route) {
    if (CKeySetControlUI* editor = KeyEditorOf(*route.device)) action(*editor, route);
  };
}

}  // namespace

CKeySetControlUI* KeyEditorOf(COmbrixUSBDevice& device) {
  if (auto* keyboard = dynamic_cast<devices::COmbrixKeyboardDevice*>(&device)) return keyboard->KeyEditor();
  if (auto* mouse = dynamic_cast<devices::COmbrixMouseDevice*>(&device)) return mouse->KeyEditor();
  return dynamic_cast<CKeySetControlUI*>(device.FindControl("KeySetControlItem"));
}

bool SaveEditedKey(COmbrixUSBDevice& device, CKeySetControlUI& editor) {
  const int key = device.SelectedKey();
  if (key < 0 || key >= device.PageKeyCount()) return false;
  const profiles::KeyEntry entry = editor.Compose();
  return device.StoreKeyAssignment(key, entry.current);
}

std::optional<int> KeySaveWrites::Failure() const {
  if (macros < 0) return macros;
  if (keymap && *keymap != hid::RESULT_OK) return keymap;
  return std::nullopt;
}

KeySaveWrites SaveKeysToDevice(COmbrixUSBDevice& device) {
  KeySaveWrites w;
  w.kind = device.DeviceType();
  w.used_macros = device.CollectUsedMacros();
  w.macros = device.WriteMacros(w.used_macros);
  if (w.macros < 0) {
    w.saved = device.SaveProfile();
    return w;
  }
  if (w.macros > 0) {
    w.macro_event_limit = MacroEventLimitHit(device, w.used_macros);
    // The macros did not go to the device: the key just edited does not point at one of them.
    const int key = device.SelectedKey();
    const auto keys = device.GetKeyList();
    if (key >= 0 && static_cast<std::size_t>(key) < keys.size() && IsMacro(keys[static_cast<std::size_t>(key)].current))
      w.key_reset = device.StoreKeyAssignment(key, keys[static_cast<std::size_t>(key)].default_code);
  }
  w.keymap = device.WriteProfileKeyMap();
  w.saved = device.SaveProfile();
  return w;
}

void ShowKeySaveMessages(CMainWnd& wnd, const KeySaveWrites& w) {
  if (w.macros == -1) {
    ShowText(wnd, "message_text_7");
    return;
  }
  if (w.macros > 0) {
    if (const auto message = MacroResultMessage(w.macros, w.macro_event_limit))
      ShowText(wnd, message->key, message->number);
  }
  if (const auto failure = w.Failure()) ShowWriteResult(wnd, w.kind, *failure);
}

void RegisterKeyEditorRoutes(NotifyRouter& r, CMainWnd& wnd) {
  r.AddName(notify::kClick, "key_butt_keysave",
            OnEditor([](CKeySetControlUI& editor, const Route& route) { SaveEditedKey(*route.device, editor); }),
            kKeyEditor);
  r.AddName(notify::kClick, "key_butt_keydefalut",
            OnEditor([](CKeySetControlUI& editor, const Route&) { editor.ShowDefault(); }), kKeyEditor);
  r.AddName(notify::kClick, "key_butt_keycancel",
            OnEditor([](CKeySetControlUI& editor, const Route&) { editor.ShowCurrent(); }), kKeyEditor);
  r.AddName(
      notify::kClick, "key_butt_prosave",
      [&wnd](const Route& route) { ShowKeySaveMessages(wnd, SaveKeysToDevice(*route.device)); }, kKeyEditor);
  r.AddName(notify::kItemSelect, "keyset_function_combo",
            OnEditor([](CKeySetControlUI& editor, const Route&) { editor.OnFunctionSelected(); }), kKeyEditor);
  r.AddName(notify::kItemSelect, "keyset_macro_over_combo",
            OnEditor([](CKeySetControlUI& editor, const Route&) { editor.OnMacroModeSelected(); }), kKeyEditor);
  // The other lists are read when the key is saved.
  r.AddNames(notify::kItemSelect,
             {"keyset_mousekey_combo", "keyset_mouseswing_combo", "keyset_mousewheel_combo", "keyset_mousedpi_combo",
              "keyset_media_combo", "keyset_system_combo", "keyset_macro_combo", "keyset_gunkey_combo",
              "keyset_combokey_combo"},
             [](const Route&) {}, kKeyEditor);
  r.AddNames(notify::kKillFocus,
             {"keyset_keyboard_text_edit", "keyset_mouseswing_num_edit", "keyset_mouseswing_delay_edit",
              "keyset_mouseswing_speed_edit", "keyset_mousewheel_num_edit", "keyset_mousewheel_delay_edit",
              "keyset_mousewheel_speed_edit", "keyset_mousefire_interval_edit", "keyset_mousefire_num_edit",
              "keyset_macro_cycle_edit"},
             OnEditor([](CKeySetControlUI& editor, const Route& route) {
               editor.OnEditDone(route.notification.sender);
             }),
             kKeyEditor);
  r.AddPrefix(notify::kSelectChanged, "key_ComBox_check_",
              OnEditor([](CKeySetControlUI& editor, const Route& route) {
                editor.OnModifierBoxSelected(route.number);
              }),
              kKeyEditor);

  wnd.Window().SetKeyPressHandler(
      [&wnd](const ui::KeyPress& press) { return CaptureKeyOnSelectedPage(wnd, press.linux_code); });
}

bool CaptureKeyOnSelectedPage(CMainWnd& wnd, int linux_code) {
  COmbrixUSBDevice* device = wnd.SelectedDevice();
  if (device == nullptr ||
      (device->DeviceType() != devices::kDeviceKeyboard && device->DeviceType() != devices::kDeviceMouse))
    return false;
  CKeySetControlUI* editor = KeyEditorOf(*device);
  if (editor == nullptr) return false;
  const CKeySetControlUI::Capture c = editor->CaptureLinuxKey(linux_code);
  if (c == CKeySetControlUI::Capture::kKey || c == CKeySetControlUI::Capture::kModifier)
    SaveEditedKey(*device, *editor);
  return c != CKeySetControlUI::Capture::kNotShown;
}

}  // namespace brimvex::app
