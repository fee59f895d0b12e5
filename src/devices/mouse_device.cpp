#include "devices/mouse_device.h"

#include "platform/trace.h"
#include "platform/ui/dialog_builder.h"

namespace brimvex::devices {
namespace {

using D = COmbrixUSBDevice;
constexpr std::array<std::uint8_t, 5> kMouseThreshold{28, 23, 18, 13, 7};
const std::array<D::LightModeRow, 10> kMouseModes{{
    {0, kMouseThreshold, &D::DeviceEffect1},  // wave over the seven LED groups
    {1, kMouseThreshold, &D::PreviewSpectrum},
    {2, kMouseThreshold, &D::PreviewBreathing},
    {3, kMouseThreshold, &D::PreviewStatic},
    {4, kMouseThreshold, &D::PreviewBlink},
    {5, kMouseThreshold, &D::DeviceEffect2},  // reactive
    {6, kMouseThreshold, &D::DeviceEffect3},  // hold glow
    {7, kMouseThreshold, &D::PreviewBreathingFourColors},
    {8, kMouseThreshold, &D::PreviewBlinkFourColors},
    {9, kMouseThreshold, &D::PreviewOff},
}};

}  // namespace

COmbrixMouseDevice::COmbrixMouseDevice(platform::HidBackend& backend, platform::EventLoop& loop)
    : COmbrixUSBDevice(backend, loop, "COmbrixMouseDevice") {
  SetDeviceType(kDeviceMouse);
}

COmbrixMouseDevice::~COmbrixMouseDevice() {
  StopWorkers();
  JoinDetachedWorkers();
}

bool COmbrixMouseDevice::BuildPage(ui::DialogBuilder& builder) {
  auto built = builder.Create("XML/DeviceXml/mousedevice.xml");
  if (!built || !AddProfileList(builder)) return false;
  Add(std::move(built.root));
  return true;
}

std::span<const COmbrixUSBDevice::LightModeRow> COmbrixMouseDevice::LightModeTable() const { return kMouseModes; }

void COmbrixMouseDevice::HandleEventValue(std::uint16_t value, bool receiver) {
  if (value == 1025) {
    platform::Trace("接收到自动添加设备的同步信息要求");
    AskResync(platform::Millis(50));
    return;
  }
  if (value == 1027 && !receiver) {
    // The wired mouse reports a press: every LED lights up for the reactive effects.
    std::lock_guard lock(FrameLock());
    auto& levels = ReactiveLocked().level;
    const std::size_t n = std::min(FrameLocked().size(), levels.size());
    for (std::size_t i = 0; i < n; ++i) levels[i] = 255;
    return;
  }
  // 1026 is a notice too (high byte 0x04), which the decoding ignores.
  if (value > 1025) HandleNotice(value, false);
}

}  // namespace brimvex::devices
