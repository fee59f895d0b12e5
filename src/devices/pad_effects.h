#pragma once
// The mouse pad's light effects (the headset plays them too): a wave along its lights and two
// ripples that run round its edge, one light at a time or over seven groups of lights. Plain
// arithmetic over an LED frame; the light worker calls one step per threshold of passes.
#include <array>
#include <cstdint>
#include <span>

#include "devices/light_preview.h"

namespace brimvex::devices {

inline constexpr std::size_t kPadGroups = 7;
inline constexpr std::size_t kPadGroupCells = 8;  // the group ripple's wave row

struct PadEffectState {
  std::uint8_t phase = 0;   // wave phase
  std::uint32_t steps = 0;  // ripple steps since the mode began
  std::uint8_t hue = 0;     // ripple colour phase (7-colour)
  std::array<std::uint8_t, kMaxLeds> level{};
  std::array<std::uint8_t, kMaxLeds> row{};  // the ripple's wave row: one cell per light or group
};

// The group of light `light` among `lights` (0..6).
std::size_t PadGroupOf(std::size_t light, std::size_t lights);

// 7-colour: wheel colour advancing 7 entries per light from the phase (limit 192); single colour:
// the 96-step wave value advancing 7 per light.
void PadWave(const LightInfo& info, PadEffectState& s, std::span<Rgba> frame);
// Every second step the lit cell of the wave row moves one light on (direction 1 forward, 0
// back) and lights its light; every step all levels decay. 7-colour: 12 wheel entries per light.
void PadRipple(const LightInfo& info, PadEffectState& s, std::span<Rgba> frame);
// As PadRipple over the seven groups with a wave row of 8 cells (cell 7 is past the last group).
void PadGroupRipple(const LightInfo& info, PadEffectState& s, std::span<Rgba> frame);

}  // namespace brimvex::devices
