#include "devices/ri6533_device.h"

#include "platform/ui/dialog_builder.h"

namespace brimvex::devices {

COmbrixRI6533Device::COmbrixRI6533Device(platform::HidBackend& backend, platform::EventLoop& loop)
    : COmbrixUSBDevice(backend, loop, "COmbrixRI6533Device") {
  SetDeviceType(kDeviceHeadset);
}

COmbrixRI6533Device::~COmbrixRI6533Device() {
  StopWorkers();
  JoinDetachedWorkers();
}

bool COmbrixRI6533Device::BuildPage(ui::DialogBuilder& builder) {
  auto built = builder.Create("XML/DeviceXml/ri6533device.xml");
  if (!built || !AddProfileList(builder)) return false;
  Add(std::move(built.root));
  return true;
}

}  // namespace brimvex::devices
