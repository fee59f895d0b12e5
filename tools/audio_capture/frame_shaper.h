#pragma once
// Turns the bins' levels into the 500 values of a frame under the style: -80..0 dBFS mapped to
// 0..8192 after the gain (R x 2 dB), each value moving 1/G of the way from the last frame's to the
// new one, values below the floor (B x 400) sent as 0.
#include <array>
#include <cstdint>
#include <span>

#include "app/audio_capture_protocol.h"

namespace brimvex::capture {

inline constexpr int kFullScaleValue = 8192;
inline constexpr double kLowestDbfs = -80.0;

class FrameShaper {
 public:
  using Frame = std::array<std::int32_t, app::kSpectrumValues>;

  void SetStyle(const app::CaptureStyle& style) { style_ = style; }
  const app::CaptureStyle& Style() const { return style_; }
  // The frame of one hop; `levels` has one entry per value.
  const Frame& Shape(std::span<const float> levels);
  // Forgets the smoothed values (as after silence).
  void Reset();

 private:
  app::CaptureStyle style_;
  std::array<double, app::kSpectrumValues> smoothed_{};
  Frame frame_{};
};

// The value of one level (1.0 = 0 dBFS) with a gain in dB, before smoothing.
double LevelToValue(float level, double gain_db);

// After 16 all-zero frames in a row nothing is sent until a frame with sound comes.
class SilenceGate {
 public:
  static constexpr int kSilentFramesSent = 16;
  bool ShouldSend(std::span<const std::int32_t> frame);
  void Reset() { silent_run_ = 0; }

 private:
  int silent_run_ = 0;
};

}  // namespace brimvex::capture
