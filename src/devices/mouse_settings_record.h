#pragma once
// The mouse's settings record: record p at byte p x 128 of the parameter memory (byte 0 of the
// memory is the active profile). 66 bytes are written, 71 read:
//   0 profile value, 1 light effect code, 2 brightness, 3 4 - speed, 4 direction, 5 7-colour,
//   6-8 R G B, 9-10 zero, 11 report rate index, 12 active stage, 13 zero, 14-58 five stages of
//   9 bytes (enable, separate axes, X LE16, Y LE16, R, G, B), 59 flag, 60-63 screen width and
//   height (LE16), 64-65 the selected angle correction (min square, pixel threshold).
#include <array>
#include <cstdint>
#include <vector>

#include "lighting/light_mode_list.h"
#include "profiles/profile_records.h"

namespace brimvex::devices {

inline constexpr std::size_t kMouseRecordSize = 66;
inline constexpr std::size_t kMouseRecordReadSize = 71;
inline constexpr std::size_t kMouseRecordSpacing = 128;
inline constexpr std::size_t kMouseStageOffset = 14;
inline constexpr std::size_t kStageRecordSize = 9;
// Mode indexes past this one have no effect of the mouse's own: entry 0's code is sent.
inline constexpr int kLastMouseDeviceMode = 9;
using MouseRecord = std::array<std::uint8_t, kMouseRecordSize>;

struct MouseRecordInput {
  std::uint8_t value = 0;
  std::uint8_t flag = 0;
  std::uint16_t screen_width = 0;
  std::uint16_t screen_height = 0;
  profiles::LightInfo light;
  std::vector<profiles::StageRecord> stages;  // past the fifth ignored, missing ones zero
  std::int32_t active_stage = 0;
  std::uint16_t report_rate_index = 0;
  std::vector<profiles::Correction> corrections;
};

MouseRecord BuildMouseRecord(const MouseRecordInput& in, const lighting::LightModeList& modes);

}  // namespace brimvex::devices
