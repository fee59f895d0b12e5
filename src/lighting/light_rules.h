#pragma once
// Which groups of the light editor a light mode uses, per device type: one data table per type,
// read by the editor (enabling and showing its groups) and by brimvexctl (refusing a setting the
// mode does not use). Device types: 1 keyboard, 2 mouse, 3 mouse pad, 7 headset; any other type
// gets the editor's reset state only.
#include <optional>
#include <string_view>

namespace brimvex::lighting {

// The editable settings, as brimvexctl names them.
enum class LightGroup { kColor, kSevenColor, kBrightness, kSpeed, kDirection };

struct LightRule {
  bool color = false;       // "deng_color_layout" and "colorpallet_layout"
  bool seven_color = false;  // "deng_7color_check"
  bool brightness = false;   // "deng_light_layout"
  bool speed = false;        // "deng_speed_layout" enabled
  bool direction = false;    // "deng_fx_layout"
  bool same_mode = false;    // "deng_same_mode" offered (shown only when same mode is allowed)
  // Keyboard only.
  bool speed_hidden = false;       // "deng_speed_layout" hidden
  bool custom_shown = false;       // "lightcustom_layout"
  bool zzcc_shown = false;         // "light_combo_ZZCCmodeSelectLayout"
  bool audio_shown = false;        // "light_combo_AudiomodeSelectLayout"
  bool color_layout_off = false;   // "light_color_layout" disabled
  int color_page = 0;              // page of "light_color_tablayout"
  // Text keys of the two direction options (first, second); null: the reset labels.
  const char* direction_first = nullptr;
  const char* direction_second = nullptr;

  // Whether a setting of this group reaches anything the user sees in this mode.
  bool Applies(LightGroup group) const;
};

// The reset labels of the keyboard's direction options.
inline constexpr const char* kDirectionFirstReset = "light_set_right_to_left_text";
inline constexpr const char* kDirectionSecondReset = "light_set_left_to_right_text";

LightRule RuleFor(int device_type, int mode);

// The index of a device type's rows in "default_light.json" and "quelt_light.config": keyboard 0,
// mouse 1, mouse pad 2, headset 3 (0 for other types).
int LightTableIndex(int device_type);

// The brimvexctl word of a group ("color", "brightness", "speed", "direction", "7color").
std::string_view GroupWord(LightGroup group);
// "keyboard", "mouse", "pad", "headset" (the words of brimvexctl), "device" for other types.
std::string_view DeviceWord(int device_type);

}  // namespace brimvex::lighting
