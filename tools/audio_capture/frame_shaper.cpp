#include "frame_shaper.h"

#include <algorithm>
#include <cmath>

namespace brimvex::capture {

double LevelToValue(float level, double gain_db) {
  if (!(level > 0.0f)) return 0.0;  // silence, and a NaN from a broken source
  const double dbfs = 20.0 * std::log10(static_cast<double>(level)) + gain_db;
  const double value = (dbfs - kLowestDbfs) / -kLowestDbfs * kFullScaleValue;
  return std::clamp(value, 0.0, static_cast<double>(kFullScaleValue));
}

const FrameShaper::Frame& FrameShaper::Shape(std::span<const float> levels) {
  const double gain_db = 2.0 * style_.r;
  const double step = 1.0 / std::max(style_.g, 1);
  const std::int32_t floor = style_.b * 400;
  const std::size_t n = std::min(levels.size(), frame_.size());
  for (std::size_t k = 0; k < n; ++k) {
    smoothed_[k] += (LevelToValue(levels[k], gain_db) - smoothed_[k]) * step;
    const auto value = static_cast<std::int32_t>(std::lround(smoothed_[k]));
    frame_[k] = value < floor ? 0 : value;
  }
  return frame_;
}

void FrameShaper::Reset() {
  smoothed_.fill(0.0);
  frame_.fill(0);
}

bool SilenceGate::ShouldSend(std::span<const std::int32_t> frame) {
  if (std::any_of(frame.begin(), frame.end(), [](std::int32_t v) { return v != 0; })) {
    silent_run_ = 0;
    return true;
  }
  if (silent_run_ >= kSilentFramesSent) return false;
  ++silent_run_;
  return true;
}

}  // namespace brimvex::capture
