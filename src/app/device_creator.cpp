#include "app/device_creator.h"

#include "audio/ri6533_device.h"
#include "devices/device_classes.h"
#include "devices/device_kind.h"

namespace brimvex::app {

ui::ControlFactory::Creator AnyDeviceCreator(int kind, platform::HidBackend* backend, platform::EventLoop* loop) {
  if (kind == devices::kDeviceHeadset) return audio::HeadsetCreator(backend, loop);
  return devices::DeviceCreator(kind, backend, loop);
}

}  // namespace brimvex::app
