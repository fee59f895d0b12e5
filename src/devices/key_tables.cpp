#include "devices/key_tables.h"

#include <algorithm>

namespace brimvex::devices {
namespace {

constexpr KeyTableRow Mod(int vk, int bit, std::string_view key) {
  return {static_cast<std::uint16_t>(vk), {kTypeKey, static_cast<std::uint8_t>(bit), 0}, key};
}
constexpr KeyTableRow Key(int capture, int usage, std::string_view key) {
  return {static_cast<std::uint16_t>(capture), {kTypeKey, 0, static_cast<std::uint8_t>(usage)}, key};
}
// A consumer usage: p1 its low byte, p2 its high byte.
constexpr KeyCode Consumer(int usage) {
  return {kTypeMedia, static_cast<std::uint8_t>(usage & 0xFF), static_cast<std::uint8_t>(usage >> 8)};
}
constexpr KeyTableRow Media(int vk, int usage, std::string_view key) {
  return {static_cast<std::uint16_t>(vk), Consumer(usage), key};
}
constexpr KeyTableRow Other(int capture, KeyCode code, std::string_view key) {
  return {static_cast<std::uint16_t>(capture), code, key};
}
constexpr ListEntry Entry(KeyCode code, std::string_view key) { return {code, key}; }

}  // namespace

// Capture codes are Windows virtual-key codes. The keypad's Enter is Enter with the extended
// flag (0x010D); K14, K132, K133 and K151 have 0xFF, which no key press gives. The media rows
// carry the media virtual-key codes and, as their codes, the consumer usages.
// clang-format off
const std::array<KeyTableRow, kKeyTableSize> kKeyTable = {{
    Mod(0xA2, 0x01, "keyboard_key_LCtrl"), Mod(0xA0, 0x02, "keyboard_key_LShift"),
    Mod(0xA4, 0x04, "keyboard_key_LAlt"), Mod(0x5B, 0x08, "keyboard_key_LWin"),
    Mod(0xA3, 0x10, "keyboard_key_RCtrl"), Mod(0xA1, 0x20, "keyboard_key_RShift"),
    Mod(0xA5, 0x40, "keyboard_key_RAlt"), Mod(0x5C, 0x80, "keyboard_key_RWin"),
    // 8: A to Z
    Key('A', 0x04, "keyboard_key_A"), Key('B', 0x05, "keyboard_key_B"), Key('C', 0x06, "keyboard_key_C"),
    Key('D', 0x07, "keyboard_key_D"), Key('E', 0x08, "keyboard_key_E"), Key('F', 0x09, "keyboard_key_F"),
    Key('G', 0x0A, "keyboard_key_G"), Key('H', 0x0B, "keyboard_key_H"), Key('I', 0x0C, "keyboard_key_I"),
    Key('J', 0x0D, "keyboard_key_J"), Key('K', 0x0E, "keyboard_key_K"), Key('L', 0x0F, "keyboard_key_L"),
    Key('M', 0x10, "keyboard_key_M"), Key('N', 0x11, "keyboard_key_N"), Key('O', 0x12, "keyboard_key_O"),
    Key('P', 0x13, "keyboard_key_P"), Key('Q', 0x14, "keyboard_key_Q"), Key('R', 0x15, "keyboard_key_R"),
    Key('S', 0x16, "keyboard_key_S"), Key('T', 0x17, "keyboard_key_T"), Key('U', 0x18, "keyboard_key_U"),
    Key('V', 0x19, "keyboard_key_V"), Key('W', 0x1A, "keyboard_key_W"), Key('X', 0x1B, "keyboard_key_X"),
    Key('Y', 0x1C, "keyboard_key_Y"), Key('Z', 0x1D, "keyboard_key_Z"),
    // 34: 1 to 9 and 0
    Key('1', 0x1E, "keyboard_key_1"), Key('2', 0x1F, "keyboard_key_2"), Key('3', 0x20, "keyboard_key_3"),
    Key('4', 0x21, "keyboard_key_4"), Key('5', 0x22, "keyboard_key_5"), Key('6', 0x23, "keyboard_key_6"),
    Key('7', 0x24, "keyboard_key_7"), Key('8', 0x25, "keyboard_key_8"), Key('9', 0x26, "keyboard_key_9"),
    Key('0', 0x27, "keyboard_key_0"),
    // 44
    Key(0x0D, 0x28, "keyboard_key_Enter"), Key(0x1B, 0x29, "keyboard_key_Esc"),
    Key(0x08, 0x2A, "keyboard_key_BackSpace"), Key(0x09, 0x2B, "keyboard_key_Tab"),
    Key(0x20, 0x2C, "keyboard_key_Space"), Key(0xBD, 0x2D, "keyboard_key_-"), Key(0xBB, 0x2E, "keyboard_key_="),
    Key(0xDB, 0x2F, "keyboard_key_["), Key(0xDD, 0x30, "keyboard_key_]"), Key(0xDC, 0x31, "keyboard_key_xiegang"),
    Key(0xBA, 0x33, "keyboard_key_;"), Key(0xDE, 0x34, "keyboard_key_'"), Key(0xC0, 0x35, "keyboard_key_`"),
    Key(0xBC, 0x36, "keyboard_key_<"), Key(0xBE, 0x37, "keyboard_key_."), Key(0xBF, 0x38, "keyboard_key_/"),
    Key(0x14, 0x39, "keyboard_key_Caplk"),
    // 61: F1 to F12
    Key(0x70, 0x3A, "keyboard_key_F1"), Key(0x71, 0x3B, "keyboard_key_F2"), Key(0x72, 0x3C, "keyboard_key_F3"),
    Key(0x73, 0x3D, "keyboard_key_F4"), Key(0x74, 0x3E, "keyboard_key_F5"), Key(0x75, 0x3F, "keyboard_key_F6"),
    Key(0x76, 0x40, "keyboard_key_F7"), Key(0x77, 0x41, "keyboard_key_F8"), Key(0x78, 0x42, "keyboard_key_F9"),
    Key(0x79, 0x43, "keyboard_key_F10"), Key(0x7A, 0x44, "keyboard_key_F11"), Key(0x7B, 0x45, "keyboard_key_F12"),
    // 73
    Key(0x2C, 0x46, "keyboard_key_Print Scr"), Key(0x91, 0x47, "keyboard_key_Scroll Lock"),
    Key(0x13, 0x48, "keyboard_key_Pause"), Key(0x2D, 0x49, "keyboard_key_Insert"),
    Key(0x24, 0x4A, "keyboard_key_Home"), Key(0x21, 0x4B, "keyboard_key_Page Up"),
    Key(0x2E, 0x4C, "keyboard_key_Delete"), Key(0x23, 0x4D, "keyboard_key_End"),
    Key(0x22, 0x4E, "keyboard_key_Page Down"), Key(0x27, 0x4F, "keyboard_key_Right"),
    Key(0x25, 0x50, "keyboard_key_Left"), Key(0x28, 0x51, "keyboard_key_Down"), Key(0x26, 0x52, "keyboard_key_Up"),
    // 86: the keypad
    Key(0x90, 0x53, "keyboard_key_Num Lock"), Key(0x6F, 0x54, "keyboard_key_Num /"),
    Key(0x6A, 0x55, "keyboard_key_Num *"), Key(0x6D, 0x56, "keyboard_key_Num -"),
    Key(0x6B, 0x57, "keyboard_key_Num +"), Key(0x010D, 0x58, "keyboard_key_Num Enter"),
    Key(0x61, 0x59, "keyboard_key_Num 1"), Key(0x62, 0x5A, "keyboard_key_Num 2"),
    Key(0x63, 0x5B, "keyboard_key_Num 3"), Key(0x64, 0x5C, "keyboard_key_Num 4"),
    Key(0x65, 0x5D, "keyboard_key_Num 5"), Key(0x66, 0x5E, "keyboard_key_Num 6"),
    Key(0x67, 0x5F, "keyboard_key_Num 7"), Key(0x68, 0x60, "keyboard_key_Num 8"),
    Key(0x69, 0x61, "keyboard_key_Num 9"), Key(0x60, 0x62, "keyboard_key_Num 0"),
    Key(0x6E, 0x63, "keyboard_key_Decimal"),
    // 103
    Key(0x5D, 0x65, "keyboard_key_App"),
    // 104: the international keys
    Key(0xE2, 0x64, "keyboard_key_K45"), Key(0xC1, 0x87, "keyboard_key_K56"), Key(0xFF, 0x89, "keyboard_key_K14"),
    Key(0xC2, 0x85, "keyboard_key_K107"), Key(0xEB, 0x8B, "keyboard_key_K131"), Key(0xFF, 0x8A, "keyboard_key_K132"),
    Key(0xFF, 0x88, "keyboard_key_K133"), Key(0xE9, 0x91, "keyboard_key_K150"), Key(0xFF, 0x90, "keyboard_key_K151"),
    Key(0xBF, 0x32, "keyboard_key_K42"),
    // 114: media keys
    Media(0xB7, 0x0192, "keyboard_key_Launch App2"), Media(0xAC, 0x0223, "keyboard_key_Browaer Home"),
    Media(0xB3, 0x00CD, "keyboard_key_Media Play Pause"), Media(0xAA, 0x0221, "keyboard_key_Browser Search"),
    Media(0xB4, 0x018A, "keyboard_key_Launch Mail"), Media(0xAF, 0x00E9, "keyboard_key_Volume Up"),
    Media(0xAD, 0x00E2, "keyboard_key_Volume Mute"), Media(0xB2, 0x00B7, "keyboard_key_Media Stop"),
    Media(0xAE, 0x00EA, "keyboard_key_Volume Down"), Media(0xAB, 0x022A, "keyboard_key_Browser Favorites"),
    Media(0xA7, 0x0225, "keyboard_key_Browser ForWard"), Media(0xA6, 0x0224, "keyboard_key_Browser Back"),
    Media(0xB1, 0x00B6, "keyboard_key_Media Prev Track"), Media(0xB0, 0x00B5, "keyboard_key_Media Next Track"),
    Media(0xB6, 0x0194, "keyboard_key_Computer"), Media(0xA8, 0x0227, "keyboard_key_Browser Refresh"),
    Media(0xA9, 0x0226, "wed_stop"), Media(0xB5, 0x0183, "keyboard_key_Launch Media Select"),
    // 132: system control
    Other(0x103, {kTypeSystem, 0x01, 0}, "keyboard_key_Power"),
    Other(0x104, {kTypeSystem, 0x02, 0}, "keyboard_key_Sleep"),
    Other(0x105, {kTypeSystem, 0x04, 0}, "keyboard_key_Wakeup"),
    // 135: profile keys, FN and GM
    Other(0, {kTypeProfileKey, 0xA2, 1}, "keyboard_key_M1"), Other(0, {kTypeProfileKey, 0xA2, 2}, "keyboard_key_M2"),
    Other(0, {kTypeProfileKey, 0xA2, 3}, "keyboard_key_M3"), Other(0, {kTypeProfileKey, 0xA2, 4}, "keyboard_key_M4"),
    Other(0, {kTypeProfileKey, 0xA2, 5}, "keyboard_key_M5"),
    Other(0, {kTypeDeviceFunction, 0x01, 0}, "keyboard_key_FN"),
    Other(0, {kTypeDeviceFunction, 0x1B, 0}, "keyboard_key_GM"),
}};

const std::array<ListEntry, 5> kMouseButtonList = {{
    Entry({kTypeMouseButton, 0x01, 0}, "mouse_key_left"), Entry({kTypeMouseButton, 0x04, 0}, "mouse_key_middle"),
    Entry({kTypeMouseButton, 0x02, 0}, "mouse_key_right"), Entry({kTypeMouseButton, 0x10, 0}, "mouse_key_forward"),
    Entry({kTypeMouseButton, 0x08, 0}, "mouse_key_back"),
}};

const std::array<ListEntry, 3> kResolutionList = {{
    Entry({kTypeResolution, 1, 0}, "mouse_key_DPI_add"), Entry({kTypeResolution, 2, 0}, "mouse_key_DPI_sub"),
    Entry({kTypeResolution, 3, 0}, "mouse_key_DPI_loop"),
}};

const std::array<ListEntry, 18> kMediaList = {{
    Entry(Consumer(0x0183), "media_text"), Entry(Consumer(0x00CD), "media_play"),
    Entry(Consumer(0x00B7), "media_stop"), Entry(Consumer(0x00B6), "media_prev"),
    Entry(Consumer(0x00B5), "media_next"), Entry(Consumer(0x00EA), "media_vol_sub"),
    Entry(Consumer(0x00E9), "media_vol_add"), Entry(Consumer(0x00E2), "media_mute"),
    Entry(Consumer(0x0223), "web_text"), Entry(Consumer(0x0227), "web_refresh"),
    Entry(Consumer(0x0226), "wed_stop"), Entry(Consumer(0x0224), "wed_back"),
    Entry(Consumer(0x0225), "wed_forward"), Entry(Consumer(0x022A), "wed_favorite"),
    Entry(Consumer(0x0221), "web_search"), Entry(Consumer(0x0194), "media_mypc"),
    Entry(Consumer(0x0192), "media_calc"), Entry(Consumer(0x018A), "media_mail"),
}};

const std::array<ListEntry, 3> kSystemList = {{
    Entry({kTypeSystem, 0x01, 0}, "system_power"), Entry({kTypeSystem, 0x02, 0}, "system_sleep"),
    Entry({kTypeSystem, 0x04, 0}, "system_wake_up"),
}};

// Right Ctrl and a letter.
const std::array<ListEntry, 11> kShortcutList = {{
    Entry({kTypeKey, 0x10, 0x12}, "custem_open"), Entry({kTypeKey, 0x10, 0x11}, "custem_new"),
    Entry({kTypeKey, 0x10, 0x1D}, "custem_undo"), Entry({kTypeKey, 0x10, 0x16}, "custem_save"),
    Entry({kTypeKey, 0x10, 0x06}, "custem_copy"), Entry({kTypeKey, 0x10, 0x1B}, "custem_cut"),
    Entry({kTypeKey, 0x10, 0x19}, "custem_paste"), Entry({kTypeKey, 0x10, 0x09}, "custem_find"),
    Entry({kTypeKey, 0x10, 0x04}, "custem_select_all"), Entry({kTypeKey, 0x10, 0x2D}, "custem_narrow"),
    Entry({kTypeKey, 0x10, 0x2E}, "custem_magnify"),
}};
// clang-format on

int FindKeyRow(KeyCode code) {
  for (std::size_t r = 0; r < kKeyTable.size(); ++r)
    if (kKeyTable[r].code == code) return static_cast<int>(r);
  return -1;
}

int FindPlainKeyRow(std::uint8_t usage) {
  if (usage == 0) return -1;
  for (int r = kModifierRows; r < kPlainKeyRowsEnd; ++r)
    if (kKeyTable[static_cast<std::size_t>(r)].code.p2 == usage) return r;
  return -1;
}

int FindModifierRow(std::uint8_t p1) {
  for (int r = 0; r < kModifierRows; ++r)
    if (kKeyTable[static_cast<std::size_t>(r)].code.p1 == p1) return r;
  return -1;
}

int FindCaptureRow(std::uint16_t capture) {
  if (capture == 0) return -1;
  for (std::size_t r = 0; r < kKeyTable.size(); ++r)
    if (kKeyTable[r].capture == capture) return static_cast<int>(r);
  return -1;
}

std::uint8_t ModifierBit(int box) {
  // Box 1 is Ctrl, 2 Shift, 3 Alt, 4 Win: the left-hand modifier rows 0 to 3.
  return box >= 1 && box <= 4 ? kKeyTable[static_cast<std::size_t>(box - 1)].code.p1 : std::uint8_t{0};
}

int FindListEntry(std::span<const ListEntry> list, KeyCode code) {
  const auto it = std::find_if(list.begin(), list.end(), [&](const ListEntry& e) { return e.code == code; });
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

namespace {

std::optional<std::string> ListName(std::span<const ListEntry> list, KeyCode code, const TextLookup& text) {
  const int i = FindListEntry(list, code);
  if (i < 0) return std::nullopt;
  return text(list[static_cast<std::size_t>(i)].text_key);
}

// A keyboard code: the key table row itself, or its modifiers and its key joined with "+".
std::optional<std::string> KeyboardName(std::uint8_t p1, std::uint8_t p2, const TextLookup& text) {
  if (p1 == 0 && p2 == 0) return text("close_text");
  if (const int row = FindKeyRow({kTypeKey, p1, p2}); row >= 0)
    return text(kKeyTable[static_cast<std::size_t>(row)].text_key);
  std::string name;
  for (int r = 0; r < kModifierRows; ++r) {
    const KeyTableRow& m = kKeyTable[static_cast<std::size_t>(r)];
    if ((p1 & m.code.p1) == 0) continue;
    if (!name.empty()) name += "+";
    name += text(m.text_key);
  }
  if (p2 != 0) {
    const int key = FindPlainKeyRow(p2);
    if (key < 0) return std::nullopt;
    if (!name.empty()) name += "+";
    name += text(kKeyTable[static_cast<std::size_t>(key)].text_key);
  }
  if (p1 == 0x10) {
    if (const int s = FindListEntry(kShortcutList, {kTypeKey, p1, p2}); s >= 0)
      name += " (" + text(kShortcutList[static_cast<std::size_t>(s)].text_key) + ")";
  }
  return name;
}

}  // namespace

std::optional<std::string> KeyCodeName(KeyCode code, const TextLookup& text, std::span<const std::string> macro_names) {
  switch (code.type) {
    case kTypeNone:
    case kTypeKey:
      return KeyboardName(code.p1, code.p2, text);
    case kTypeMouseButton:
      return ListName(kMouseButtonList, code, text);
    case kTypeResolution:
      return ListName(kResolutionList, code, text);
    case kTypeMedia:
      return ListName(kMediaList, code, text);
    case kTypeSystem:
      return ListName(kSystemList, code, text);
    case kTypeSwing:
      return text((code.p2 & 0x80) != 0 ? "mouse_key_right_Swing" : "mouse_key_left_Swing");
    case kTypeWheel:
      return text((code.p2 & 0x80) != 0 ? "mouse_key_down_Swing" : "mouse_key_up_Swing");
    case kTypeFire:
      return text("mouse_key_fire_key");
    case kTypeResolutionShift:
      return text("mouse_key_DPI_shift");
    case kTypeShortcut2:
      if (code.p1 != 0 || code.p2 >= kShortcut2Count) return std::nullopt;
      return text(kShortcutList[code.p2].text_key);
    case kTypeShowWindow:
      return text("show_window");
    case kTypeMacro:
    case kTypeMacroRepeat:
      if (code.p1 >= macro_names.size()) return std::nullopt;
      return macro_names[code.p1];
    case kTypeDeviceFunction:
      if (code.p1 == 0x02 && code.p2 == 0) return text("mouse_key_smart_key");
      [[fallthrough]];
    case kTypeProfileKey:
      if (const int row = FindKeyRow(code); row >= 0) return text(kKeyTable[static_cast<std::size_t>(row)].text_key);
      return std::nullopt;
    case 0x15:
    case 0x21:
    case 0x50:
    case 0x60:
    case kTypePage11:
    case 0xC0:
      return std::string();
    default:
      return std::nullopt;
  }
}

}  // namespace brimvex::devices
