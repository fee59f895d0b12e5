#pragma once
// One step of a user-defined light effect painted over an LED frame, by its effect code: 0
// breathing, 1 spectrum, 2 blink, 3 static, 4 four-colour breathing, 5 four-colour blink; any
// other code shows the step's colour steadily.
#include <cstdint>
#include <span>

#include "devices/light_preview.h"

namespace brimvex::devices {

void PaintEffectStep(const profiles::EffectStep& step, PreviewState& preview, std::uint32_t now_ms,
                     std::span<Rgba> frame);

// Whether a step that began `elapsed_ms` ago is over: more than its "Time" in ms has passed. A
// step of 0 or less is over at the next pass (it lasts one tick; the worker never spins on it).
bool EffectStepOver(const profiles::EffectStep& step, std::int64_t elapsed_ms);

}  // namespace brimvex::devices
