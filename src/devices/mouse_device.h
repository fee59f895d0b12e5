#pragma once
// COmbrixMouseDevice: the mouse (device kind 2), on its cable or through its receiver. For now
// it has its page, its light worker with its mode table (its own wave, reactive and hold-glow
// steps still empty) and its event workers; the rest is the base behaviour.
#include "devices/usb_device.h"

namespace brimvex::devices {

class COmbrixMouseDevice : public COmbrixUSBDevice {
 public:
  COmbrixMouseDevice(platform::HidBackend& backend, platform::EventLoop& loop);
  ~COmbrixMouseDevice() override;

  bool BuildPage(ui::DialogBuilder& builder) override;
  // Over the receiver: CMD_LINK_QUERY, then the status block (devices/wireless_status.h).
  int IsLinkReachable() override;
  int ReadPowerStatus() override;

 protected:
  std::span<const LightModeRow> LightModeTable() const override;
  const char* LightWorkerExitLine() const override { return "MS灯光线程设定退出"; }
  void HandleEventValue(std::uint16_t value, bool receiver) override;
};

}  // namespace brimvex::devices
