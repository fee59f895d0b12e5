#include "devices/mouse_settings_record.h"

namespace brimvex::devices {
namespace {

void PutLe16(MouseRecord& r, std::size_t at, std::uint16_t v) {
  r[at] = static_cast<std::uint8_t>(v & 0xFF);
  r[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

}  // namespace

MouseRecord BuildMouseRecord(const MouseRecordInput& in, const lighting::LightModeList& modes) {
  MouseRecord r{};
  const int mode = in.light.mode > kLastMouseDeviceMode ? 0 : in.light.mode;
  const auto code = modes.CodeOf(mode);
  r[0] = in.value;
  r[1] = code && *code >= 0 ? static_cast<std::uint8_t>(*code) : 0;
  r[2] = in.light.brightness;
  r[3] = static_cast<std::uint8_t>(4 - in.light.speed);
  r[4] = in.light.direction;
  r[5] = in.light.multi_color;
  r[6] = in.light.red;
  r[7] = in.light.green;
  r[8] = in.light.blue;
  r[11] = static_cast<std::uint8_t>(in.report_rate_index & 0xFF);
  r[12] = static_cast<std::uint8_t>(in.active_stage & 0xFF);
  for (std::size_t n = 0; n < 5 && n < in.stages.size(); ++n) {
    const profiles::StageRecord& s = in.stages[n];
    const std::size_t at = kMouseStageOffset + kStageRecordSize * n;
    r[at] = s.enable;
    r[at + 1] = s.separate_axes;
    PutLe16(r, at + 2, s.x);
    PutLe16(r, at + 4, s.y);
    r[at + 6] = s.red;
    r[at + 7] = s.green;
    r[at + 8] = s.blue;
  }
  r[59] = in.flag;
  PutLe16(r, 60, in.screen_width);
  PutLe16(r, 62, in.screen_height);
  for (const profiles::Correction& c : in.corrections) {
    if (c.select == 0) continue;
    r[64] = c.min_sq;
    r[65] = c.pix_thresh;
    break;
  }
  return r;
}

}  // namespace brimvex::devices
