#include "app/mouse_text.h"

#include <cstdio>

#include "devices/mouse_device.h"
#include "devices/mouse_settings_record.h"

namespace brimvex::app {

std::string MouseStageLines(const std::vector<profiles::StageRecord>& stages, int active, int rate_index,
                            const devices::ResolutionScale& scale) {
  std::string out;
  for (int n = 0; n < devices::kMouseStages; ++n) {
    const profiles::StageRecord s =
        static_cast<std::size_t>(n) < stages.size() ? stages[static_cast<std::size_t>(n)] : profiles::StageRecord{};
    std::string dpi = std::to_string(scale.Display(s.x));
    if (s.separate_axes != 0) dpi += "x" + std::to_string(scale.Display(s.y));
    char color[8];
    std::snprintf(color, sizeof color, "%02X%02X%02X", s.red, s.green, s.blue);
    out += "stage " + std::to_string(n) + (s.enable != 0 ? " on " : " off ") + dpi + " dpi " + color +
           (n == active ? " active" : "") + "\n";
  }
  return out + "rate " + std::to_string(devices::ReportRateHz(rate_index)) + " Hz\n";
}

std::string MouseStageLines(std::span<const std::uint8_t> r, const devices::ResolutionScale& scale) {
  if (r.size() < devices::kMouseRecordSize) return {};
  std::vector<profiles::StageRecord> stages;
  for (std::size_t n = 0; n < 5; ++n) {
    const std::size_t at = devices::kMouseStageOffset + devices::kStageRecordSize * n;
    stages.push_back({r[at], r[at + 1], static_cast<std::uint16_t>(r[at + 2] | r[at + 3] << 8),
                      static_cast<std::uint16_t>(r[at + 4] | r[at + 5] << 8), r[at + 6], r[at + 7], r[at + 8]});
  }
  return MouseStageLines(stages, r[12], r[11], scale);
}

}  // namespace brimvex::app
