#pragma once
// Resolution stages are kept in slider units; the page shows them in counts per inch from the
// sensor values of the information block (sensor code bytes 9-10, step 11, slider maximum 12,
// base 14-15). Sensor 13093 counts 200 dpi a unit above slider 48.
#include <cstdint>
#include <string>

#include "hid/command_channel.h"

namespace brimvex::devices {

inline constexpr std::uint16_t kCoarseSensor = 13093;
inline constexpr int kCoarseFromSlider = 48;
inline constexpr int kCoarseUnit = 200;

struct ResolutionScale {
  std::uint16_t sensor_code = 0;
  int step = 0;
  int slider_maximum = 0;
  int base = 0;
  static ResolutionScale FromInfo(const hid::InfoBlock& info);
  // Counts per inch of slider value v.
  int Display(int v) const;
  // Slider value of a typed value: empty or not a number reads 0, below base reads base; the
  // inverse of Display (rounded down), within 0 .. slider maximum.
  int SliderOf(const std::string& text) const;
  int SliderOfDpi(long long dpi) const;
  // The largest value the stage edits take: the display of the slider maximum.
  int EditMaximum() const { return Display(slider_maximum); }
};

}  // namespace brimvex::devices
