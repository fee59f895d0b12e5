#include "devices/resolution_display.h"

#include <algorithm>
#include <cctype>

namespace brimvex::devices {

ResolutionScale ResolutionScale::FromInfo(const hid::InfoBlock& info) {
  const hid::DeviceInfo d = hid::DecodeInfoBlock(info);
  return {d.sensor_code, d.resolution_step, d.slider_maximum, d.resolution_base};
}

int ResolutionScale::Display(int v) const {
  if (sensor_code == kCoarseSensor && v > kCoarseFromSlider)
    return step * kCoarseFromSlider + (v - kCoarseFromSlider) * kCoarseUnit + base;
  return v * step + base;
}

int ResolutionScale::SliderOfDpi(long long d) const {
  if (d < base) d = base;
  long long v = 0;
  const long long coarse_from = static_cast<long long>(base) + static_cast<long long>(kCoarseFromSlider) * step;
  if (sensor_code == kCoarseSensor && d > coarse_from) {
    v = (d - coarse_from) / kCoarseUnit + kCoarseFromSlider;
  } else if (step > 0) {
    v = (d - base) / step;
  }
  return static_cast<int>(std::clamp<long long>(v, 0, slider_maximum));
}

int ResolutionScale::SliderOf(const std::string& text) const {
  long long d = 0;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) break;
    d = std::min<long long>(d * 10 + (c - '0'), 1'000'000'000);
  }
  return SliderOfDpi(d);
}

}  // namespace brimvex::devices
