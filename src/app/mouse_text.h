#pragma once
// The answer lines of `brimvexctl mouse dpi`, the same from the profile and from the emulated
// mouse's memory: per stage "stage N on|off X dpi RRGGBB" (X "XxY" with separate axes, " active"
// after the active stage), then "rate H Hz".
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "devices/resolution_display.h"
#include "profiles/profile_records.h"

namespace brimvex::app {

std::string MouseStageLines(const std::vector<profiles::StageRecord>& stages, int active, int rate_index,
                            const devices::ResolutionScale& scale);
// The same from a settings record as the mouse keeps it (at least 66 bytes).
std::string MouseStageLines(std::span<const std::uint8_t> record, const devices::ResolutionScale& scale);

}  // namespace brimvex::app
