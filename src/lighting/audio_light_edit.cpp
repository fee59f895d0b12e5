#include "lighting/audio_light_edit.h"

#include <charconv>

namespace brimvex::lighting {
namespace {

std::uint8_t* Target(profiles::AudioLightInfo& info, int component) {
  const bool fore = info.color_type == 1;
  switch (component) {
    case 0:
      return fore ? &info.fore_red : &info.back_red;
    case 1:
      return fore ? &info.fore_green : &info.back_green;
    case 2:
      return fore ? &info.fore_blue : &info.back_blue;
    default:
      return nullptr;
  }
}

}  // namespace

std::uint8_t AudioColorTarget(std::uint8_t previous, bool background_selected, bool foreground_selected) {
  return background_selected && (previous == 1 || !foreground_selected) ? 0 : 1;
}

bool SetTypedComponent(profiles::AudioLightInfo& info, int component, std::string_view text) {
  std::uint8_t* c = Target(info, component);
  if (c == nullptr) return false;
  // Digits only, as a number field holds; anything else reads as 0. Long runs of digits stay 255.
  std::uint64_t value = 0;
  bool digits = !text.empty();
  for (char ch : text) digits = digits && ch >= '0' && ch <= '9';
  if (digits) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range) value = 255;
  }
  *c = static_cast<std::uint8_t>(value > 255 ? 255 : value);
  if (info.color_type == 1) info.seven_colors = 0;
  return true;
}

void SetTargetColor(profiles::AudioLightInfo& info, std::uint32_t argb, bool preset) {
  const auto r = static_cast<std::uint8_t>(argb >> 16);
  const auto g = static_cast<std::uint8_t>(argb >> 8);
  const auto b = static_cast<std::uint8_t>(argb);
  if (info.color_type == 1) {
    info.fore_red = r;
    info.fore_green = g;
    info.fore_blue = b;
    if (preset) info.seven_colors = 0;
  } else {
    info.back_red = r;
    info.back_green = g;
    info.back_blue = b;
  }
}

void ClearBackground(profiles::AudioLightInfo& info) {
  info.back_red = 0;
  info.back_green = 0;
  info.back_blue = 0;
}

}  // namespace brimvex::lighting
