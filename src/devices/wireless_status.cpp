#include "devices/wireless_status.h"

#include <array>

#include "devices/keyboard_device.h"
#include "devices/mouse_device.h"
#include "devices/power_display.h"

namespace brimvex::devices {

int WirelessLinkReachable(COmbrixUSBDevice& device) {
  hid::CommandChannel& channel = device.CommandChannelRef();
  if (!channel.IsOpen() || !channel.IsWireless()) return 0;
  return channel.LinkQuery() ? 1 : 0;
}

int ReadWirelessPowerStatus(COmbrixUSBDevice& device) {
  hid::CommandChannel& channel = device.CommandChannelRef();
  if (!channel.IsOpen() || device.PowerPollSuppressed()) return hid::RESULT_OK;
  if (!channel.LinkQuery()) return hid::RESULT_LINK_DOWN;
  std::array<std::uint8_t, hid::kStatusBlockSize> status{};
  const int result = channel.ReadStatus(status, 0);
  if (result != hid::RESULT_OK) return result;
  status[3] = channel.IsWireless() ? 1 : 0;
  if (auto* display = dynamic_cast<PowerDisplay*>(device.PowerDisplay())) display->ShowStatus(status);
  return result;
}

int COmbrixKeyboardDevice::IsLinkReachable() { return WirelessLinkReachable(*this); }
int COmbrixKeyboardDevice::ReadPowerStatus() { return ReadWirelessPowerStatus(*this); }
int COmbrixMouseDevice::IsLinkReachable() { return WirelessLinkReachable(*this); }
int COmbrixMouseDevice::ReadPowerStatus() { return ReadWirelessPowerStatus(*this); }

}  // namespace brimvex::devices
