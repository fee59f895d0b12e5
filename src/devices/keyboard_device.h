#pragma once
// COmbrixKeyboardDevice: the keyboard (device kind 1), on its cable or through its receiver.
// For now it has its page, its light worker with the preview rows of its mode table and its
// event worker with the key press and release notices; the rest is the base behaviour.
#include <array>
#include <atomic>

#include "devices/usb_device.h"

namespace brimvex::devices {

class COmbrixKeyboardDevice : public COmbrixUSBDevice {
 public:
  COmbrixKeyboardDevice(platform::HidBackend& backend, platform::EventLoop& loop);
  ~COmbrixKeyboardDevice() override;

  bool BuildPage(ui::DialogBuilder& builder) override;
  // Over the receiver: CMD_LINK_QUERY, then the status block (devices/wireless_status.h).
  int IsLinkReachable() override;
  int ReadPowerStatus() override;
  // Whether the device reported key slot `slot` as held down.
  bool KeyHeld(int slot) const;

 protected:
  std::span<const LightModeRow> LightModeTable() const override;
  const char* LightWorkerExitLine() const override { return "KB灯光线程设定退出"; }
  void OnKeyNotice(int slot, bool pressed) override;

 private:
  std::array<std::atomic<bool>, 256> held_{};
};

}  // namespace brimvex::devices
