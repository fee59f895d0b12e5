#include "devices/mouse_pad_device.h"

#include "platform/trace.h"
#include "platform/ui/dialog_builder.h"

namespace brimvex::devices {
namespace {

using D = COmbrixUSBDevice;
constexpr std::array<std::uint8_t, 5> kPadThreshold{28, 23, 18, 13, 7};
const std::array<D::LightModeRow, 8> kPadModes{{
    {0, kPadThreshold, &D::DeviceEffect1},  // wave along the LEDs
    {1, kPadThreshold, &D::PreviewSpectrum},
    {2, kPadThreshold, &D::PreviewBreathing},
    {3, kPadThreshold, &D::PreviewStatic},
    {4, kPadThreshold, &D::PreviewBlink},
    {6, kPadThreshold, &D::DeviceEffect2},  // ripple
    {7, kPadThreshold, &D::DeviceEffect3},  // ripple over the light groups
    {8, kPadThreshold, &D::PreviewOff},
}};

}  // namespace

COmbrixMousePadDevice::COmbrixMousePadDevice(platform::HidBackend& backend, platform::EventLoop& loop)
    : COmbrixUSBDevice(backend, loop, "COmbrixMousePadDevice") {
  SetDeviceType(kDeviceMousePad);
}

COmbrixMousePadDevice::~COmbrixMousePadDevice() {
  StopWorkers();
  JoinDetachedWorkers();
}

bool COmbrixMousePadDevice::BuildPage(ui::DialogBuilder& builder) {
  auto built = builder.Create("XML/DeviceXml/mousepaddevice.xml");
  if (!built || !AddProfileList(builder)) return false;
  Add(std::move(built.root));
  return true;
}

std::span<const COmbrixUSBDevice::LightModeRow> COmbrixMousePadDevice::LightModeTable() const { return kPadModes; }

bool COmbrixMousePadDevice::OpenEventInterface(bool receiver, const std::string& path) {
  if (receiver) return false;
  if (EventChannelRef().Wired().IsOpen() && EventWorkerRunning(false)) return true;
  return COmbrixUSBDevice::OpenEventInterface(false, path);
}

void COmbrixMousePadDevice::HandleEventValue(std::uint16_t value, bool /*receiver*/) {
  if (value != 1025) return;
  platform::Trace("接收到自动添加设备的同步信息要求");
  AskResync(platform::Millis(500));
}

}  // namespace brimvex::devices
