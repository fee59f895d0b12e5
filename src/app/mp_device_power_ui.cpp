#include "app/mp_device_power_ui.h"

#include <algorithm>
#include <string>

#include "platform/ui/controls.h"

namespace brimvex::app {
namespace {
constexpr std::string_view kLayout = "device_power_Layout";
}  // namespace

CMpDevicePowerUI::CMpDevicePowerUI() : ui::Container("MpDevicePower", Direction::kHorizontal) {}

void CMpDevicePowerUI::SetDeviceType(std::int32_t type, std::int32_t sub_kind) {
  type_ = type;
  sub_kind_ = sub_kind;
}

void CMpDevicePowerUI::SetHasPowerDisplay(bool has) {
  has_power_display_ = has;
  if (Control* layout = FindControl(kLayout)) layout->SetVisible(has);
}

void CMpDevicePowerUI::ShowStatus(std::span<const std::uint8_t> status) {
  if (status.size() < kStatusSize) return;
  std::copy_n(status.begin(), kStatusSize, status_.begin());
  Apply();
}

void CMpDevicePowerUI::Apply() {
  const int battery = std::min<int>(status_[0], 100);
  if (auto* bar = dynamic_cast<ui::Progress*>(FindControl("device_power_battery"))) bar->SetValue(battery);
  if (Control* value = FindControl("device_power_value")) value->SetText(std::to_string(battery) + "%");
  if (Control* charge = FindControl("device_power_charge")) {
    switch (status_[1]) {
      case 1:
        charge->SetTextKey("device_power_charging");
        break;
      case 2:
        charge->SetTextKey("device_power_full");
        break;
      default:
        charge->SetText("");
        break;
    }
  }
  if (Control* mark = FindControl("device_power_wireless")) mark->SetVisible(status_[3] != 0);
}

}  // namespace brimvex::app
