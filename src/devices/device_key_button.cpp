#include "devices/device_key_button.h"

namespace brimvex::devices {

Rgba CDeviceKeyButtonUI::LedColor() const {
  const std::uint32_t c = LiveColor();
  return Rgba{static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8), static_cast<std::uint8_t>(c),
              static_cast<std::uint8_t>(c >> 24)};
}

bool CDeviceKeyButtonUI::SetLedColor(Rgba color) {
  return SetLiveColor(static_cast<std::uint32_t>(color.a) << 24 | static_cast<std::uint32_t>(color.r) << 16 |
                      static_cast<std::uint32_t>(color.g) << 8 | color.b);
}

}  // namespace brimvex::devices
