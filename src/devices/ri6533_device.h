#pragma once
// COmbrixRI6533Device: the headset (device kind 7). For now it has its page; the rest is the
// base behaviour until its audio bridge lands.
#include "devices/usb_device.h"

namespace brimvex::devices {

class COmbrixRI6533Device : public COmbrixUSBDevice {
 public:
  COmbrixRI6533Device(platform::HidBackend& backend, platform::EventLoop& loop);
  ~COmbrixRI6533Device() override;

  bool BuildPage(ui::DialogBuilder& builder) override;
};

}  // namespace brimvex::devices
