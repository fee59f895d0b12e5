#include "devices/keyboard_device.h"

#include "platform/ui/dialog_builder.h"

namespace brimvex::devices {
namespace {

using D = COmbrixUSBDevice;
constexpr std::array<std::uint8_t, 5> kKeyboardThreshold{5, 4, 3, 2, 1};
// The rows of the mode table that are the shared previews; the keyboard's own effects join them.
const std::array<D::LightModeRow, 7> kKeyboardModes{{
    {4, kKeyboardThreshold, &D::PreviewSpectrum},
    {5, kKeyboardThreshold, &D::PreviewBreathing},
    {6, kKeyboardThreshold, &D::PreviewStatic},
    {23, kKeyboardThreshold, &D::PreviewBlink},
    {26, kKeyboardThreshold, &D::PreviewBreathingFourColors},
    {27, kKeyboardThreshold, &D::PreviewBlinkFourColors},
    {28, kKeyboardThreshold, &D::PreviewOff},
}};

}  // namespace

COmbrixKeyboardDevice::COmbrixKeyboardDevice(platform::HidBackend& backend, platform::EventLoop& loop)
    : COmbrixUSBDevice(backend, loop, "COmbrixKeyboardDevice") {
  SetDeviceType(kDeviceKeyboard);
}

COmbrixKeyboardDevice::~COmbrixKeyboardDevice() {
  StopWorkers();
  JoinDetachedWorkers();
}

bool COmbrixKeyboardDevice::BuildPage(ui::DialogBuilder& builder) {
  auto built = builder.Create("XML/DeviceXml/keyboarddevice.xml");
  if (!built || !AddProfileList(builder)) return false;
  Add(std::move(built.root));
  return true;
}

std::span<const COmbrixUSBDevice::LightModeRow> COmbrixKeyboardDevice::LightModeTable() const { return kKeyboardModes; }

void COmbrixKeyboardDevice::OnKeyNotice(int slot, bool pressed) {
  if (slot >= 0 && static_cast<std::size_t>(slot) < held_.size()) held_[static_cast<std::size_t>(slot)].store(pressed);
}

bool COmbrixKeyboardDevice::KeyHeld(int slot) const {
  return slot >= 0 && static_cast<std::size_t>(slot) < held_.size() && held_[static_cast<std::size_t>(slot)].load();
}

}  // namespace brimvex::devices
