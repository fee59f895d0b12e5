// The controller's own notification rows: window buttons, the light-control switch, device
// selection, the function tabs, key selection, the default profile, the profile drop-down, the
// same-mode button and the desktop's programs.
#include "app/feature_routes.h"
#include "app/light_routes.h"
#include "app/main_wnd.h"
#include "app/profile_switch.h"
#include "devices/usb_device.h"
#include "platform/ui/notification.h"

namespace brimvex::app {
namespace {

namespace notify = ui::notify;

// The function tabs of a device page and the number each selects.
constexpr std::pair<const char*, int> kFunctionTabs[] = {
    {"deng_Op_tab", 1},   {"key_Op_tab", 2},        {"macro_Op_tab", 3}, {"system_Op_tab", 4},
    {"cursor_Op_tab", 5}, {"6533_voice_Op_tab", 6}, {"magic_Op_tab", 7}, {"Virtual7.1_Op_tab", 8}};

constexpr RowOptions kNeedsDevice{DeviceNeed::Any()};

}  // namespace

void CMainWnd::RegisterRoutes() {
  NotifyRouter& r = router_;
  r.AddType(notify::kWindowInit, [this](const Route&) { OnWindowInit(); });
  r.AddName(notify::kWindowSize, "root", [this](const Route&) {
    if (!display_changed_) return;
    display_changed_ = false;
    Layout();
  });
  // Their own handling elsewhere; nothing here.
  r.AddType("click_wpremove", [](const Route&) {});
  r.AddType("click_wpedit", [](const Route&) {});

  r.AddName(notify::kClick, "closebtn", [this](const Route&) {
    CloseChildWindows();
    HideToTray();
  });
  r.AddName(notify::kClick, "nodevice_ok_btn", [this](const Route&) { HideToTray(); });
  r.AddName(notify::kClick, "control_light_status",
            [this](const Route&) { SetLightControl(light_control_ == 0 ? 1 : 0, true); });
  // Title-bar buttons by identity: another control of the same name does nothing here.
  r.AddIdentity(notify::kClick, TitleBarControl("minbtn"), [this](const Route&) { window_.Minimize(); });
  r.AddIdentity(notify::kClick, TitleBarControl("maxbtn"), [this](const Route&) { window_.Maximize(); });
  r.AddIdentity(notify::kClick, TitleBarControl("restorebtn"), [this](const Route&) { window_.Restore(); });

  r.AddName(notify::kClick, "device_select_prev", [this](const Route&) { selector_.Previous(); });
  r.AddName(notify::kClick, "device_select_next", [this](const Route&) { selector_.Next(); });
  r.AddName(notify::kSelectChanged, "device_select", [this](const Route&) { selector_.OnSelectionChanged(); });
  for (const auto& [name, number] : kFunctionTabs)
    r.AddName(
        notify::kSelectChanged, name, [n = number](const Route& route) { route.device->ShowFunctionSwitch(n); },
        kNeedsDevice);
  r.AddPrefix(
      notify::kClick, "key_",
      [](const Route& route) {
        if (route.number >= route.device->KeyButtonCount()) return;
        route.device->SelectKeyForEditing(route.number);
        PaintCustomKey(*route.device, route.number);  // custom colour mode: the key takes the colour
      },
      kNeedsDevice);
  r.AddName(
      notify::kClick, "default_btn",
      [this](const Route& route) {
        if (AskUser("message_text_22", true) != 1) return;
        // The box runs its own loop; the page it was asked for stays (pages live until exit).
        if (destroyed_) return;
        route.device->LoadDefaultProfile();
        ShowWriteMessages(*this, WriteProfile(*this, *route.device));
      },
      kNeedsDevice);
  r.AddName(notify::kItemSelect, "device_profile_combo", [this](const Route&) { ArmProfileSwitch(); });
  r.AddName(notify::kClick, "deng_same_mode", [this](const Route&) { SetupSameMode(); }, kNeedsDevice);
  r.AddName(notify::kClick, "logo_btn", [this](const Route&) { OpenWebSite(); });
  r.AddPrefix(notify::kClick, "windowdeviceset_", [this](const Route& route) { OpenDeviceSettings(route.number); });

  RegisterFeatureRoutes(r, *this);
  RegisterFeatureRequests(requests_, *this);
}

void CMainWnd::ArmProfileSwitch() {
  // Re-arming replaces the pending switch; it goes to the device selected now.
  devices::COmbrixUSBDevice* device = SelectedDevice();
  frontend_.Loop().SetTimer(
      this, kTimerProfileSwitch, platform::Millis(400),
      [this, device] {
        frontend_.Loop().KillTimer(this, kTimerProfileSwitch);
        RunWhenAwake([this, device] {
          if (device != nullptr && profile_switch_) profile_switch_(*device);
        });
      },
      platform::EventLoop::TimerKind::kOneShot);
}

}  // namespace brimvex::app
