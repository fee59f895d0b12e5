#include "devices/device_classes.h"

#include "devices/device_key_button.h"
#include "devices/key_set_control_ui.h"
#include "devices/keyboard_device.h"
#include "devices/mouse_device.h"
#include "devices/mouse_pad_device.h"
#include "devices/select_panel.h"

namespace brimvex::devices {
namespace {

template <typename T>
ui::ControlFactory::Creator Make(platform::HidBackend& backend, platform::EventLoop& loop) {
  return [&backend, &loop]() -> std::unique_ptr<ui::Control> { return std::make_unique<T>(backend, loop); };
}

}  // namespace

ui::ControlFactory::Creator SelectPanelCreator() {
  return []() -> std::unique_ptr<ui::Control> { return std::make_unique<CSelectPanelUI>(); };
}

ui::ControlFactory::Creator DeviceKeyButtonCreator() {
  return []() -> std::unique_ptr<ui::Control> { return std::make_unique<CDeviceKeyButtonUI>(); };
}

ui::ControlFactory::Creator KeySetControlCreator() {
  return []() -> std::unique_ptr<ui::Control> { return std::make_unique<CKeySetControlUI>(); };
}

ui::ControlFactory::Creator DeviceCreator(int kind, platform::HidBackend* backend, platform::EventLoop* loop) {
  if (backend == nullptr || loop == nullptr) return {};
  switch (kind) {
    case kDeviceBase:
      return Make<COmbrixUSBDevice>(*backend, *loop);
    case kDeviceKeyboard:
      return Make<COmbrixKeyboardDevice>(*backend, *loop);
    case kDeviceMouse:
      return Make<COmbrixMouseDevice>(*backend, *loop);
    case kDeviceMousePad:
      return Make<COmbrixMousePadDevice>(*backend, *loop);
    default:
      return {};
  }
}

}  // namespace brimvex::devices
