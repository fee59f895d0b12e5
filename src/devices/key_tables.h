#pragma once
// The key assignment tables: the key table (the keys a keyboard code can name and the editor can
// capture), the choice lists of the key editor with their language text keys, and the naming of
// a key code as the page shows it beside each key.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "profiles/profile_records.h"

namespace brimvex::devices {

using profiles::KeyCode;
using profiles::KeyEntry;

// Key code types.
inline constexpr std::uint8_t kTypeNone = 0x00;
inline constexpr std::uint8_t kTypeMouseButton = 0x10;
inline constexpr std::uint8_t kTypeSwing = 0x11;
inline constexpr std::uint8_t kTypeWheel = 0x12;
inline constexpr std::uint8_t kTypeResolution = 0x13;
inline constexpr std::uint8_t kTypeFire = 0x14;
inline constexpr std::uint8_t kTypeResolutionShift = 0x16;
inline constexpr std::uint8_t kTypeKey = 0x20;
inline constexpr std::uint8_t kTypeShortcut2 = 0x22;
inline constexpr std::uint8_t kTypeShowWindow = 0x23;
inline constexpr std::uint8_t kTypeMedia = 0x30;
inline constexpr std::uint8_t kTypeSystem = 0x40;
inline constexpr std::uint8_t kTypeMacro = 0x70;
inline constexpr std::uint8_t kTypeMacroRepeat = 0x71;
inline constexpr std::uint8_t kTypeGunKey = 0x72;
inline constexpr std::uint8_t kTypeDeviceFunction = 0xA0;
inline constexpr std::uint8_t kTypePage11 = 0xB0;
inline constexpr std::uint8_t kTypeProfileKey = 0xD0;

// Capture code: low byte the Windows virtual-key code, high byte 1 for an extended key; 0 for a
// key the editor cannot capture.
inline constexpr std::uint16_t CaptureCode(std::uint8_t vk, bool extended) {
  return static_cast<std::uint16_t>((extended ? 0x100 : 0) | vk);
}

struct KeyTableRow {
  std::uint16_t capture = 0;
  KeyCode code;
  std::string_view text_key;  // "keyboard_key_" + the key's name, except "wed_stop"
};

inline constexpr std::size_t kKeyTableSize = 142;
// Rows 0-7 are the modifiers (LCtrl, LShift, LAlt, LWin, RCtrl, RShift, RAlt, RWin), 8-113 the
// plain keys, 114-131 the media keys, 132-134 power, sleep and wake up, 135-139 M1-M5, 140 FN
// and 141 GM.
inline constexpr int kModifierRows = 8;
inline constexpr int kPlainKeyRowsEnd = 114;
extern const std::array<KeyTableRow, kKeyTableSize> kKeyTable;

// One entry of a choice list: its code and its language text key.
struct ListEntry {
  KeyCode code;
  std::string_view text_key;
};

// "keyset_mousekey_combo", "keyset_mousedpi_combo", "keyset_media_combo", "keyset_system_combo"
// and "keyset_combokey_combo" entries, in their order.
extern const std::array<ListEntry, 5> kMouseButtonList;
extern const std::array<ListEntry, 3> kResolutionList;
extern const std::array<ListEntry, 18> kMediaList;
extern const std::array<ListEntry, 3> kSystemList;
extern const std::array<ListEntry, 11> kShortcutList;
// The second shortcut form (0x22, 0, k) names entries 0 to 8 of the shortcut list.
inline constexpr int kShortcut2Count = 9;

// The first key table row with exactly this code, or -1.
int FindKeyRow(KeyCode code);
// The first plain key row (8 and above, type 0x20, p1 0) with this keyboard usage, or -1.
int FindPlainKeyRow(std::uint8_t usage);
// The first modifier row (0-7) whose bit is p1, or -1.
int FindModifierRow(std::uint8_t p1);
// The first row with this capture code (0 matches nothing), or -1.
int FindCaptureRow(std::uint16_t capture);
// The modifier option box of modifier row r: 1 Ctrl, 2 Shift, 3 Alt, 4 Win, whichever side.
inline constexpr int ModifierBox(int row) { return (row + 1) % 5 + (row + 1) / 5; }
// The modifier bit of option box 1-4 (the left-hand modifiers), 0 for box 0 or no box.
std::uint8_t ModifierBit(int box);
// The position of the entry with this code in a list, or -1.
int FindListEntry(std::span<const ListEntry> list, KeyCode code);

// Resolves a language text key to the text shown.
using TextLookup = std::function<std::string(std::string_view key)>;

// The name of a key code as the key list of the page shows it: "A", "LCtrl+B", a list entry's
// text, a macro's name... "" for the types the list knows but shows without a name (0x15, 0x21,
// 0x50, 0x60, 0xB0, 0xC0); nullopt for a code the tables cannot name (the page shows
// "key_unknown").
std::optional<std::string> KeyCodeName(KeyCode code, const TextLookup& text,
                                       std::span<const std::string> macro_names = {});

}  // namespace brimvex::devices
