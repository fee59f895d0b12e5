#include "lighting/light_rules.h"

#include <algorithm>
#include <array>
#include <vector>

namespace brimvex::lighting {
namespace {

constexpr int kKeyboard = 1;
constexpr int kMouse = 2;
constexpr int kMousePad = 3;
constexpr int kHeadset = 7;

struct Row {
  std::vector<int> modes;
  LightRule rule;
};

// Colour, 7-colour, brightness, speed, direction, same mode.
constexpr LightRule Basic(bool c, bool s7, bool b, bool sp, bool d, bool same) { return {c, s7, b, sp, d, same}; }

LightRule WithLabels(LightRule r, const char* first, const char* second) {
  r.direction_first = first;
  r.direction_second = second;
  return r;
}

const std::array<Row, 15>& KeyboardRows() {
  static const std::array<Row, 15> rows = [] {
    LightRule zzcc = Basic(false, false, true, true, false, false);
    zzcc.zzcc_shown = true;
    zzcc.speed_hidden = true;
    zzcc.color_layout_off = true;
    LightRule custom = Basic(true, false, true, false, false, false);
    custom.custom_shown = true;
    custom.speed_hidden = true;
    LightRule audio = WithLabels(Basic(true, true, true, false, true, false), "light_set_right_to_left_text",
                                 "light_set_left_to_right_text");
    audio.audio_shown = true;
    audio.color_page = 1;
    audio.speed_hidden = true;
    LightRule colourless = Basic(false, false, true, true, false, false);
    colourless.color_layout_off = true;
    LightRule brightness_only = Basic(false, false, true, false, false, false);
    brightness_only.color_layout_off = true;
    return std::array<Row, 15>{{
        {{1, 2}, WithLabels(Basic(true, true, true, true, true, false), "light_set_right_to_left_text",
                            "light_set_left_to_right_text")},
        {{3, 24}, WithLabels(Basic(true, true, true, true, true, false), "light_set_clockwise_text",
                             "light_set_anticlockwise_text")},
        {{4, 11}, colourless},
        {{5, 7, 8, 9, 10, 13, 14, 15, 22, 23, 25, 26}, Basic(true, true, true, true, false, false)},
        {{6}, Basic(true, true, true, false, false, true)},
        {{12}, WithLabels(Basic(false, false, true, true, true, false), "light_set_down_to_up_text",
                          "light_set_up_to_down_text")},
        {{16}, Basic(true, true, true, false, false, false)},
        {{17}, zzcc},
        {{18}, WithLabels(Basic(false, false, false, true, true, false), "light_set_outside_to_inside_text",
                          "light_set_inside_to_outside_text")},
        {{19}, custom},
        {{21}, WithLabels(Basic(true, true, true, true, true, false), "light_set_up_to_down_text",
                          "light_set_down_to_up_text")},
        {{27}, Basic(false, false, true, true, false, false)},
        {{28}, Basic(false, false, false, false, false, true)},
        {{29}, audio},
        {{30}, brightness_only},
    }};
  }();
  return rows;
}

const std::array<Row, 6>& MouseRows() {
  static const std::array<Row, 6> rows{{
      {{0, 5}, Basic(true, true, true, true, true, false)},
      {{1}, Basic(false, false, true, true, false, true)},
      {{2, 4, 6}, Basic(true, true, true, true, false, true)},
      {{3}, Basic(true, false, true, false, false, true)},
      {{7, 8}, Basic(false, false, true, true, false, false)},
      {{9}, Basic(false, false, false, false, false, true)},
  }};
  return rows;
}

// The mouse pad and the headset share one table.
const std::array<Row, 5>& PadRows() {
  static const std::array<Row, 5> rows{{
      {{0}, Basic(true, true, true, true, true, false)},
      {{1}, Basic(false, false, true, true, false, true)},
      {{2, 4}, Basic(true, true, true, true, false, true)},
      {{3}, Basic(true, false, true, false, false, true)},
      {{8}, Basic(false, false, false, false, false, true)},
  }};
  return rows;
}

template <std::size_t N>
LightRule Find(const std::array<Row, N>& rows, int mode) {
  for (const Row& row : rows)
    if (std::find(row.modes.begin(), row.modes.end(), mode) != row.modes.end()) return row.rule;
  return LightRule{};  // every group off
}

}  // namespace

bool LightRule::Applies(LightGroup group) const {
  switch (group) {
    case LightGroup::kColor:
      return color;
    case LightGroup::kSevenColor:
      return seven_color;
    case LightGroup::kBrightness:
      return brightness;
    case LightGroup::kSpeed:
      return speed && !speed_hidden;
    case LightGroup::kDirection:
      return direction;
  }
  return false;
}

LightRule RuleFor(int device_type, int mode) {
  switch (device_type) {
    case kKeyboard:
      return Find(KeyboardRows(), mode);
    case kMouse:
      return Find(MouseRows(), mode);
    case kMousePad:
    case kHeadset:
      return Find(PadRows(), mode);
    default: {
      // The reset: the direction group stays enabled, nothing else is said.
      LightRule reset;
      reset.direction = true;
      return reset;
    }
  }
}

int LightTableIndex(int device_type) {
  switch (device_type) {
    case kMouse:
      return 1;
    case kMousePad:
      return 2;
    case kHeadset:
      return 3;
    default:
      return 0;
  }
}

std::string_view GroupWord(LightGroup group) {
  switch (group) {
    case LightGroup::kColor:
      return "color";
    case LightGroup::kSevenColor:
      return "7color";
    case LightGroup::kBrightness:
      return "brightness";
    case LightGroup::kSpeed:
      return "speed";
    case LightGroup::kDirection:
      return "direction";
  }
  return "";
}

std::string_view DeviceWord(int device_type) {
  switch (device_type) {
    case kKeyboard:
      return "keyboard";
    case kMouse:
      return "mouse";
    case kMousePad:
      return "pad";
    case kHeadset:
      return "headset";
    default:
      return "device";
  }
}

}  // namespace brimvex::lighting
