#include "app/control_classes.h"

#include <array>

#include "app/device_creator.h"
#include "app/device_option_ui.h"
#include "app/mp_device_power_ui.h"
#include "audio/ri6533_device.h"
#include "devices/device_classes.h"
#include "lighting/audio_record_ui.h"
#include "lighting/light_control_ui.h"
#include "macros/macro_control_ui.h"
#include "macros/shoot_control_ui.h"
#include "platform/ui/controls.h"
#include "profiles/device_profile_ui.h"
#include "update/update_info_list_item_ui.h"

namespace brimvex::app {
namespace {

template <typename T>
ui::ControlFactory::Creator Maker(const ControlContext&) {
  return []() -> std::unique_ptr<ui::Control> { return std::make_unique<T>(); };
}

struct ControlClass {
  std::string_view name;
  // nullptr until the class lands.
  ui::ControlFactory::Creator (*creator)(const ControlContext&);
};

constexpr std::array<ControlClass, 24> kControlClasses = {{
    {"CCircleProgressUI", nullptr},
    {"CChartViewUI", &Maker<ui::ChartView>},
    {"CWndUI", nullptr},
    {"CSelectPanelUI", [](const ControlContext&) { return devices::SelectPanelCreator(); }},
    {"CDeviceKeyButtonUI", [](const ControlContext&) { return devices::DeviceKeyButtonCreator(); }},
    {"CCloudShareListItemUI", nullptr},
    {"CUpdateInfoListItemUI", [](const ControlContext&) { return update::UpdateInfoListItemCreator(); }},
    {"CDeviceOptionUI", &Maker<CDeviceOptionUI>},
    {"CMpDevicePowerUI", &Maker<CMpDevicePowerUI>},
    {"CComboEditContainerElementUI", nullptr},
    {"CHandImgButtonUI", nullptr},
    {"CHandImgSelectButtonUI", nullptr},
    {"CRedioMacroButtonUI", nullptr},
    {"CAudioRecordUI", &Maker<lighting::CAudioRecordUI>},
    {"CLightControlUI", &Maker<lighting::CLightControlUI>},
    {"CMacroControlUI", &Maker<macros::CMacroControlUI>},
    {"CKeySetControlUI", [](const ControlContext&) { return devices::KeySetControlCreator(); }},
    {"CDeviceProfileUI", &Maker<profiles::CDeviceProfileUI>},
    {"CShootControlUI", &Maker<macros::CShootControlUI>},
    {"CMagicControlUI", [](const ControlContext&) { return audio::MagicControlCreator(); }},
    {"CVoice6533ControlUI", [](const ControlContext&) { return audio::Voice6533ControlCreator(); }},
    {"COmbrixUSBDevice",
     [](const ControlContext& c) { return AnyDeviceCreator(devices::kDeviceBase, c.hid, c.loop); }},
    {"COmbrixMousePadDevice",
     [](const ControlContext& c) { return AnyDeviceCreator(devices::kDeviceMousePad, c.hid, c.loop); }},
    {"COmbrixRI6533Device",
     [](const ControlContext& c) { return AnyDeviceCreator(devices::kDeviceHeadset, c.hid, c.loop); }},
}};

constexpr auto kNames = [] {
  std::array<std::string_view, kControlClasses.size()> names{};
  for (std::size_t i = 0; i < names.size(); ++i) names[i] = kControlClasses[i].name;
  return names;
}();

}  // namespace

std::span<const std::string_view> ControlClassNames() { return kNames; }

int RegisterControlClasses(ui::ControlFactory& factory, const ControlContext& context) {
  int registered = 0;
  for (const auto& c : kControlClasses) {
    if (c.creator == nullptr) continue;
    ui::ControlFactory::Creator creator = c.creator(context);
    if (creator && factory.Register(std::string(c.name), std::move(creator))) ++registered;
  }
  return registered;
}

}  // namespace brimvex::app
