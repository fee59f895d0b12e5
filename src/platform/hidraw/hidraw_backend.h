#pragma once
// The HID backend port on Linux hidraw.
//
// Enumeration walks <sysfs>/class/hidraw/hidrawN in node order. For each node it reads HID_ID
// (and HID_NAME) from device/uevent, the report descriptor from device/report_descriptor, the
// USB interface number from device/../bInterfaceNumber and the version from
// device/../../bcdDevice, and names one interface path per top-level collection:
// "hidraw:<dev>/hidrawN#vid_XXXX&pid_XXXX&mi_XX&colNN" ("&colNN" only when there are two or
// more; "&mi_" only when the interface number is known).
//
// Open uses O_RDWR (O_RDONLY, O_WRONLY, or O_PATH for no access) with O_CLOEXEC. A device node
// that is a Unix socket is connected as SOCK_SEQPACKET instead, one report per packet: that is
// how the fake trees of the tests serve emulated devices to this very code. Reads wait in a
// poll() deadline loop (EINTR handled); POLLHUP/POLLERR/POLLNVAL mean the device is gone; an
// eventfd carries the abort. hidraw hands every reader every report, so a handle drops the
// reports whose ID is not one of its collection's, and prefixes the 0 ID byte when the device
// uses no report IDs. Writes pass the report, ID byte first, unchanged.
#include <string>

#include "platform/hid_backend.h"

namespace brimvex::platform::hidraw {

struct HidrawSettings {
  std::string sysfs_root = "/sys";
  std::string dev_root = "/dev";
};

class HidrawBackend : public HidBackend {
 public:
  explicit HidrawBackend(HidrawSettings settings = {});

  bool Enumerate(std::vector<std::string>& paths) override;
  std::unique_ptr<HidHandle> Open(const std::string& path, const HidOpenFlags& flags) override;

  const HidrawSettings& settings() const { return settings_; }

 private:
  HidrawSettings settings_;
};

}  // namespace brimvex::platform::hidraw
