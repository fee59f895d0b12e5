#pragma once
// CMpDevicePowerUI: the power display of a device page, shown in the strip's power container
// while its page is selected. It shows the battery level, the charge state and, in 2.4 GHz mode,
// the wireless mark; products without a battery keep its inner layout hidden.
#include <array>
#include <cstdint>
#include <span>

#include "devices/power_display.h"
#include "platform/ui/container.h"

namespace brimvex::app {

class CMpDevicePowerUI : public ui::Container, public devices::PowerDisplay {
 public:
  // The status block of the device: battery %, charge state, -, wireless mark, -, phone type.
  static constexpr std::size_t kStatusSize = 6;

  CMpDevicePowerUI();

  void SetDeviceType(std::int32_t type, std::int32_t sub_kind);
  std::int32_t DeviceType() const { return type_; }
  std::int32_t SubKind() const { return sub_kind_; }
  // Shows the inner layout "device_power_Layout" when set, hides it otherwise.
  void SetHasPowerDisplay(bool has);
  bool HasPowerDisplay() const { return has_power_display_; }
  // A status block as the device read it (shorter blocks are ignored).
  void ShowStatus(std::span<const std::uint8_t> status) override;

  std::uint8_t Battery() const { return status_[0]; }
  std::uint8_t ChargeState() const { return status_[1]; }
  bool Wireless() const { return status_[3] != 0; }

 private:
  void Apply();
  std::int32_t type_ = 0;
  std::int32_t sub_kind_ = 0;
  bool has_power_display_ = false;
  std::array<std::uint8_t, kStatusSize> status_{};
};

}  // namespace brimvex::app
