#pragma once
// COmbrixMousePadDevice: the lighted mouse pad (device kind 3). For now it has its page, its
// light worker with its mode table (its own wave and ripple steps still empty) and its one event
// worker, which only asks for a resync; the rest is the base behaviour.
#include "devices/usb_device.h"

namespace brimvex::devices {

class COmbrixMousePadDevice : public COmbrixUSBDevice {
 public:
  COmbrixMousePadDevice(platform::HidBackend& backend, platform::EventLoop& loop);
  ~COmbrixMousePadDevice() override;

  bool BuildPage(ui::DialogBuilder& builder) override;
  // The pad has one event interface, on its cable; it is opened once and kept.
  bool OpenEventInterface(bool receiver, const std::string& path) override;

 protected:
  std::span<const LightModeRow> LightModeTable() const override;
  const char* LightWorkerExitLine() const override { return "MS灯光线程设定退出"; }
  const char* EventWorkerExitLine() const override { return "MS设备同步线程设定退出"; }
  void HandleEventValue(std::uint16_t value, bool receiver) override;
};

}  // namespace brimvex::devices
