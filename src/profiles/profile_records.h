#pragma once
// The typed settings a profile section holds, as the devices and editors use them.
#include <array>
#include <cstdint>
#include <string>

namespace brimvex::profiles {

// The 16-byte light record. Bytes 8 to 10 and 15 are passed through and not kept in a profile.
struct LightInfo {
  std::uint8_t mode = 0;  // index into the device's light mode list
  std::uint8_t brightness = 0;
  std::uint8_t speed = 0;
  std::uint8_t direction = 0;
  std::uint8_t multi_color = 0;  // 1: cycle seven colours
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::uint8_t byte8 = 0;
  std::uint8_t byte9 = 0;
  std::uint8_t byte10 = 0;
  std::uint8_t zzcc_mode = 0;
  std::uint8_t custom_group = 0;
  std::uint8_t saved_mode = 0;  // restored after a temporary mode switch
  std::uint8_t logo_mode = 0;
  std::uint8_t byte15 = 0;
  bool operator==(const LightInfo&) const = default;
};
static_assert(sizeof(LightInfo) == 16);

// The 9-byte audio light record.
struct AudioLightInfo {
  std::uint8_t audio_mode = 0;
  std::uint8_t back_red = 0;
  std::uint8_t back_green = 0;
  std::uint8_t back_blue = 0;
  std::uint8_t fore_red = 0;
  std::uint8_t fore_green = 0;
  std::uint8_t fore_blue = 0;
  std::uint8_t seven_colors = 0;
  std::uint8_t color_type = 0;
  bool operator==(const AudioLightInfo&) const = default;
};
static_assert(sizeof(AudioLightInfo) == 9);

// One "LightList" element (16 bytes); present is 1 when the element was an object.
struct LedEntry {
  std::uint8_t mode = 0;
  std::uint8_t brightness = 0;
  std::uint8_t speed = 0;
  std::uint8_t direction = 0;
  std::uint8_t multi_color = 0;
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::uint8_t byte8 = 0;
  std::uint8_t byte9 = 0;
  std::uint8_t present = 0;
  std::array<std::uint8_t, 5> tail{};
  bool operator==(const LedEntry&) const = default;
};
static_assert(sizeof(LedEntry) == 16);

// One step of a user-defined light effect (24 bytes).
struct EffectStep {
  std::uint8_t code = 0;  // device effect code
  std::uint8_t brightness = 0;
  std::uint8_t speed = 0;
  std::uint8_t direction = 0;
  std::uint8_t multi_color = 0;
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::array<std::uint8_t, 8> zero{};
  std::int32_t time = 0;   // duration of the step
  std::int32_t cycle = 0;  // repeat count of the step
  bool operator==(const EffectStep&) const = default;
};
static_assert(sizeof(EffectStep) == 24);

// Three-byte key code; in a profile the integer type * 65536 + p1 * 256 + p2.
struct KeyCode {
  std::uint8_t type = 0;
  std::uint8_t p1 = 0;
  std::uint8_t p2 = 0;
  bool operator==(const KeyCode&) const = default;

  constexpr std::int32_t ToInteger() const { return type * 65536 + p1 * 256 + p2; }
  static constexpr KeyCode FromInteger(std::int64_t value) {
    const auto v = static_cast<std::uint64_t>(value);
    return {static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8), static_cast<std::uint8_t>(v)};
  }
};

// Per page key: the current assignment and the factory assignment.
struct KeyEntry {
  std::uint16_t index = 0;
  KeyCode current;
  std::uint16_t default_index = 0;
  KeyCode default_code;
  bool operator==(const KeyEntry&) const = default;
};

struct KeyboardSystemSettings {
  std::uint16_t repeat = 0;
  std::uint16_t repeat_delay = 0;
  std::uint16_t key6_flag = 0;
  std::uint16_t polling_rate = 0;
  std::uint16_t w_flag = 0;
  std::uint16_t win_flag = 0;
  std::uint16_t ios_mode = 0;
  bool operator==(const KeyboardSystemSettings&) const = default;
};

struct CustomColor {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::uint8_t alpha = 0;
  bool operator==(const CustomColor&) const = default;
};

// One mouse resolution stage; x and y are slider units, not counts per inch.
struct StageRecord {
  std::uint8_t enable = 0;
  std::uint8_t separate_axes = 0;
  std::uint16_t x = 0;
  std::uint16_t y = 0;
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  bool operator==(const StageRecord&) const = default;
};

struct PointerOptions {
  std::uint16_t double_click_time = 0;
  std::uint16_t pointer_speed = 0;
  std::uint16_t pointer_precision = 0;
  std::uint16_t scroll_by_page = 0;
  std::uint16_t wheel_lines = 0;
  std::uint16_t report_rate_index = 0;
  bool operator==(const PointerOptions&) const = default;
};

struct Correction {
  std::uint8_t pix_thresh = 0;
  std::uint8_t min_sq = 0;
  std::uint8_t select = 0;
  std::string name;
  bool operator==(const Correction&) const = default;
};

struct VoiceState {
  std::int32_t magic_enabled = 0;
  std::int32_t magic_type = 0;
  std::int32_t eq_preset = 0;
  std::int32_t custom_eq_index = 0;
  std::int32_t mic_enabled = 0;
  std::int32_t mic_level = 0;
  std::int32_t monitor_enabled = 0;
  std::int32_t monitor_level = 0;
  bool operator==(const VoiceState&) const = default;
};

}  // namespace brimvex::profiles
