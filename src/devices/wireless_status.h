#pragma once
// The link and power operations of the wireless products (keyboard and mouse), shared by both.
#include "devices/usb_device.h"

namespace brimvex::devices {

// 1 only when the command channel is open, in 2.4 GHz mode, and CMD_LINK_QUERY answers that the
// wireless device is reachable; else 0.
int WirelessLinkReachable(COmbrixUSBDevice& device);
// Only when the channel is open, power polling is not suppressed and the device is reachable (on
// the cable it always is): CMD_READ_STATUS of 6 bytes at offset 0; byte 3 set to the link (1 over
// 2.4 GHz, 0 on the cable) and the block handed to the page's power display. Returns the read's
// result, RESULT_OK when nothing was asked, RESULT_LINK_DOWN when the device did not answer.
int ReadWirelessPowerStatus(COmbrixUSBDevice& device);

}  // namespace brimvex::devices
