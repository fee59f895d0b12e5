// The profile list's buttons on the page in front, the switch of timer 1055, and brimvexctl's
// "profile" requests.
#include "app/profile_routes.h"

#include <array>
#include <optional>

#include "app/main_wnd.h"
#include "app/profile_switch.h"
#include "devices/device_kind.h"
#include "devices/usb_device.h"
#include "hid/command_codes.h"
#include "platform/trace.h"
#include "platform/ui/notification.h"
#include "profiles/device_profile_ui.h"
#include "profiles/file_helpers.h"

namespace brimvex::app {
namespace {

using profiles::CDeviceProfileUI;
using Change = CDeviceProfileUI::Change;

const platform::FileFilter kProfileFilter = {{"Profile Files(*.json)", "*.json;"}};
constexpr const char* kWriteFailed = "profile_write_failed";

void Tell(CMainWnd& wnd, Change change) {
  if (change == Change::kFailed) ShowText(wnd, kWriteFailed);
}

// A row that acts on the profile list of the selected page.
void AddListRow(NotifyRouter& r, std::string_view name, std::function<void(CDeviceProfileUI&, const Route&)> act,
                bool case_sensitive = false) {
  r.AddName(
      ui::notify::kClick, name,
      [act = std::move(act)](const Route& route) {
        if (CDeviceProfileUI* list = route.device->ProfileList()) act(*list, route);
      },
      RowOptions{DeviceNeed::Any(), case_sensitive});
}

}  // namespace

void RegisterProfileRoutes(NotifyRouter& r, CMainWnd& wnd) {
  AddListRow(r, "device_add_btn", [&wnd](CDeviceProfileUI& list, const Route&) { Tell(wnd, list.Add()); });
  AddListRow(r, "device_copy_btn", [&wnd](CDeviceProfileUI& list, const Route&) { Tell(wnd, list.Copy()); });
  // The drop-down raises "itemselect" for the new selection, which switches the device.
  AddListRow(r, "device_sub_btn", [&wnd](CDeviceProfileUI& list, const Route&) { Tell(wnd, list.Delete()); });
  AddListRow(r, "device_profile_edit_save_btn", [&wnd](CDeviceProfileUI& list, const Route&) {
    const std::string name = list.GetNameText();
    if (name.empty()) return;
    switch (list.Rename(name)) {
      case CDeviceProfileUI::kNameUsed:
        ShowText(wnd, "message_text_5");
        break;
      case CDeviceProfileUI::kNameBlank:
        ShowText(wnd, "message_text_25");
        break;
      case CDeviceProfileUI::kRenameFailed:
        ShowText(wnd, kWriteFailed);
        break;
      default:
        break;
    }
  });
  AddListRow(r, "device_reset_btn", [&wnd](CDeviceProfileUI& list, const Route& route) {
    if (wnd.AskUser("message_text_22", true) != 1 || wnd.Destroyed()) return;
    // The audio styles go back to their defaults with the device.
    if (wnd.Audio() != nullptr) wnd.Audio()->ResetStyles();
    const Change change = list.Reset();
    Tell(wnd, change);
    if (change == Change::kDone) ShowWriteMessages(wnd, WriteProfile(wnd, *route.device));
  });
  AddListRow(r, "device_import_btn", [&wnd](CDeviceProfileUI& list, const Route&) {
    if (list.GetCurSel() < 0) return;
    const auto path = profiles::OpenFileDialog(kProfileFilter);
    if (!path || wnd.Destroyed()) return;
    const auto result = list.Import(*path);
    if (!result.refusal_key.empty()) ShowText(wnd, result.refusal_key);
    Tell(wnd, result.change);
  });
  AddListRow(r, "device_export_btn", [&wnd](CDeviceProfileUI& list, const Route&) {
    if (list.GetCurSel() < 0) return;
    const auto path = profiles::SaveFileDialog(kProfileFilter);
    if (!path || path->empty() || wnd.Destroyed()) return;
    Tell(wnd, list.Export(*path));
  });
  AddListRow(
      r, "profile_fun_spread_btn", [](CDeviceProfileUI& list, const Route&) { list.ShowMenu(!list.IsMenuShown()); },
      true);

  wnd.SetProfileSwitch([&wnd](devices::COmbrixUSBDevice& device) {
    if (const auto writes = SwitchProfile(wnd, device)) ShowWriteMessages(wnd, *writes);
  });
}

}  // namespace brimvex::app
