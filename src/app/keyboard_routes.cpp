#include "app/keyboard_routes.h"

#include "app/main_wnd.h"
#include "app/mouse_routes.h"
#include "app/profile_switch.h"
#include "devices/keyboard_device.h"
#include "platform/ui/controls.h"
#include "platform/ui/notification.h"

namespace brimvex::app {
namespace {

namespace notify = ui::notify;
using devices::COmbrixKeyboardDevice;

const RowOptions kKeyboard{DeviceNeed::Kinds({devices::kDeviceKeyboard})};

// The page's system controls as they stand now go to the profile and the keyboard.
void ApplyPage(CMainWnd& wnd, COmbrixKeyboardDevice& keyboard) {
  const int result = keyboard.ApplySystemSettings(keyboard.SystemSettingsFromPage());
  keyboard.RefreshPage();  // the repeat delay label follows its choice
  ShowKeyboardWriteResult(wnd, result);
}

RouteHandler OnChange(CMainWnd& wnd, bool only_selected) {
  return [&wnd, only_selected](const Route& route) {
    auto* keyboard = dynamic_cast<COmbrixKeyboardDevice*>(route.device);
    // A choice among options raises a change for the one that went off too: one write only.
    const auto* option = dynamic_cast<const ui::Option*>(route.notification.sender);
    if (keyboard == nullptr || (only_selected && option != nullptr && !option->IsSelected())) return;
    ApplyPage(wnd, *keyboard);
  };
}

}  // namespace

void RegisterKeyboardRoutes(NotifyRouter& r, CMainWnd& wnd) {
  r.AddName(notify::kValueChanged, "repeat_rate_slider", OnChange(wnd, false), kKeyboard);
  r.AddPrefix(notify::kSelectChanged, "repeat_delay_check_", OnChange(wnd, true), kKeyboard);
  // The mouse's report rate options have the same names: its page takes them over.
  r.AddPrefix(
      notify::kSelectChanged, "polling_rate_option_",
      [&wnd, keyboard_change = OnChange(wnd, true)](const Route& route) {
        auto* mouse = dynamic_cast<devices::COmbrixMouseDevice*>(route.device);
        const auto* option = dynamic_cast<const ui::Option*>(route.notification.sender);
        if (mouse == nullptr) return keyboard_change(route);
        if (option != nullptr && option->IsSelected()) OnMouseReportRate(wnd, *mouse, route.number);
      },
      RowOptions{DeviceNeed::Kinds({devices::kDeviceKeyboard, devices::kDeviceMouse})});
  r.AddNames(notify::kSelectChanged, {"6flag_option", "wflag_option", "winlockflag_option"}, OnChange(wnd, false),
             kKeyboard);
  r.AddName(
      notify::kClick, "reset_repeat_btn",
      [&wnd](const Route& route) {
        if (auto* keyboard = dynamic_cast<COmbrixKeyboardDevice*>(route.device))
          ShowKeyboardWriteResult(wnd, keyboard->ResetRepeatSettings());
      },
      kKeyboard);
}

}  // namespace brimvex::app
