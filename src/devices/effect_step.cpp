#include "devices/effect_step.h"

#include <algorithm>

namespace brimvex::devices {

void PaintEffectStep(const profiles::EffectStep& step, PreviewState& preview, std::uint32_t now_ms,
                     std::span<Rgba> frame) {
  LightInfo info{};
  info.brightness = step.brightness;
  info.speed = step.speed;
  info.direction = step.direction;
  info.multi_color = step.multi_color;
  info.red = step.red;
  info.green = step.green;
  info.blue = step.blue;
  switch (step.code) {
    case 0:
      return PreviewBreathing(info, preview, frame);
    case 1:
      return PreviewSpectrum(info, preview, frame);
    case 2:
      return PreviewBlink(info, preview, now_ms, frame);
    case 4:
      return PreviewBreathingFourColors(info, preview, frame);
    case 5:
      return PreviewBlinkFourColors(info, preview, now_ms, frame);
    default:
      return PreviewStatic(info, frame);
  }
}

bool EffectStepOver(const profiles::EffectStep& step, std::int64_t elapsed_ms) {
  return elapsed_ms > std::max<std::int64_t>(0, step.time);
}

}  // namespace brimvex::devices
