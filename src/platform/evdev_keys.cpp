#include "platform/evdev_keys.h"

#include <linux/input-event-codes.h>

#include <algorithm>
#include <array>

namespace brimvex::platform {
namespace {

struct Set1 {
  int code = 0;
  bool extended = false;
};

// The hook's set-1 pair: codes 1 to 88 are their own set-1 code (Right Shift and Num Lock with
// the extended flag, as the hook reports them); past 88 the keys a macro can hold, by row.
constexpr Set1 Set1Of(int evdev) {
  if (evdev >= 1 && evdev <= 88) return {evdev, evdev == KEY_RIGHTSHIFT || evdev == KEY_NUMLOCK};
  switch (evdev) {
    case KEY_RO: return {0x73};
    case KEY_HENKAN: return {0x79};
    case KEY_KATAKANAHIRAGANA: return {0x70};
    case KEY_MUHENKAN: return {0x7B};
    case KEY_KPENTER: return {0x1C, true};
    case KEY_RIGHTCTRL: return {0x1D, true};
    case KEY_KPSLASH: return {0x35, true};
    case KEY_SYSRQ: return {0x37, true};
    case KEY_RIGHTALT: return {0x38, true};
    case KEY_HOME: return {0x47, true};
    case KEY_UP: return {0x48, true};
    case KEY_PAGEUP: return {0x49, true};
    case KEY_LEFT: return {0x4B, true};
    case KEY_RIGHT: return {0x4D, true};
    case KEY_END: return {0x4F, true};
    case KEY_DOWN: return {0x50, true};
    case KEY_PAGEDOWN: return {0x51, true};
    case KEY_INSERT: return {0x52, true};
    case KEY_DELETE: return {0x53, true};
    case KEY_PAUSE: return {0x45};
    case KEY_KPCOMMA: return {0x7E};
    case KEY_HANGEUL: return {0x72};
    case KEY_HANJA: return {0x71};
    case KEY_YEN: return {0x7D};
    case KEY_LEFTMETA: return {0x5B, true};
    case KEY_RIGHTMETA: return {0x5C, true};
    case KEY_COMPOSE: return {0x5D, true};
    default: return {};
  }
}

constexpr EvdevKey K(int evdev, int vk, bool extended = false) {
  const Set1 s = Set1Of(evdev);
  return {static_cast<std::uint16_t>(evdev), static_cast<std::uint8_t>(vk), extended,
          static_cast<std::uint8_t>(s.code), s.extended};
}

// Virtual-key codes as Windows documents them; the international keys take the codes the key
// table knows them by (K45 0xE2, K56 0xC1, K107 0xC2, K131 0xEB, K150 0xE9); K132, K133, K151
// and K14 have none (0).
// clang-format off
constexpr auto kTable = std::to_array<EvdevKey>({
    K(KEY_ESC, 0x1B), K(KEY_1, 0x31), K(KEY_2, 0x32), K(KEY_3, 0x33), K(KEY_4, 0x34), K(KEY_5, 0x35), K(KEY_6, 0x36),
    K(KEY_7, 0x37), K(KEY_8, 0x38), K(KEY_9, 0x39), K(KEY_0, 0x30), K(KEY_MINUS, 0xBD), K(KEY_EQUAL, 0xBB),
    K(KEY_BACKSPACE, 0x08), K(KEY_TAB, 0x09), K(KEY_Q, 'Q'), K(KEY_W, 'W'), K(KEY_E, 'E'), K(KEY_R, 'R'),
    K(KEY_T, 'T'), K(KEY_Y, 'Y'), K(KEY_U, 'U'), K(KEY_I, 'I'), K(KEY_O, 'O'), K(KEY_P, 'P'), K(KEY_LEFTBRACE, 0xDB),
    K(KEY_RIGHTBRACE, 0xDD), K(KEY_ENTER, 0x0D), K(KEY_LEFTCTRL, 0xA2), K(KEY_A, 'A'), K(KEY_S, 'S'), K(KEY_D, 'D'),
    K(KEY_F, 'F'), K(KEY_G, 'G'), K(KEY_H, 'H'), K(KEY_J, 'J'), K(KEY_K, 'K'), K(KEY_L, 'L'), K(KEY_SEMICOLON, 0xBA),
    K(KEY_APOSTROPHE, 0xDE), K(KEY_GRAVE, 0xC0), K(KEY_LEFTSHIFT, 0xA0), K(KEY_BACKSLASH, 0xDC), K(KEY_Z, 'Z'),
    K(KEY_X, 'X'), K(KEY_C, 'C'), K(KEY_V, 'V'), K(KEY_B, 'B'), K(KEY_N, 'N'), K(KEY_M, 'M'), K(KEY_COMMA, 0xBC),
    K(KEY_DOT, 0xBE), K(KEY_SLASH, 0xBF), K(KEY_RIGHTSHIFT, 0xA1), K(KEY_KPASTERISK, 0x6A), K(KEY_LEFTALT, 0xA4),
    K(KEY_SPACE, 0x20), K(KEY_CAPSLOCK, 0x14), K(KEY_F1, 0x70), K(KEY_F2, 0x71), K(KEY_F3, 0x72), K(KEY_F4, 0x73),
    K(KEY_F5, 0x74), K(KEY_F6, 0x75), K(KEY_F7, 0x76), K(KEY_F8, 0x77), K(KEY_F9, 0x78), K(KEY_F10, 0x79),
    K(KEY_NUMLOCK, 0x90), K(KEY_SCROLLLOCK, 0x91), K(KEY_KP7, 0x67), K(KEY_KP8, 0x68), K(KEY_KP9, 0x69),
    K(KEY_KPMINUS, 0x6D), K(KEY_KP4, 0x64), K(KEY_KP5, 0x65), K(KEY_KP6, 0x66), K(KEY_KPPLUS, 0x6B), K(KEY_KP1, 0x61),
    K(KEY_KP2, 0x62), K(KEY_KP3, 0x63), K(KEY_KP0, 0x60), K(KEY_KPDOT, 0x6E), K(KEY_102ND, 0xE2), K(KEY_F11, 0x7A),
    K(KEY_F12, 0x7B), K(KEY_RO, 0xC1), K(KEY_HENKAN, 0), K(KEY_KATAKANAHIRAGANA, 0), K(KEY_MUHENKAN, 0xEB),
    K(KEY_KPENTER, 0x0D, true), K(KEY_RIGHTCTRL, 0xA3),
    K(KEY_KPSLASH, 0x6F), K(KEY_SYSRQ, 0x2C), K(KEY_RIGHTALT, 0xA5), K(KEY_HOME, 0x24), K(KEY_UP, 0x26),
    K(KEY_PAGEUP, 0x21), K(KEY_LEFT, 0x25), K(KEY_RIGHT, 0x27), K(KEY_END, 0x23), K(KEY_DOWN, 0x28),
    K(KEY_PAGEDOWN, 0x22), K(KEY_INSERT, 0x2D), K(KEY_DELETE, 0x2E), K(KEY_MUTE, 0xAD), K(KEY_VOLUMEDOWN, 0xAE),
    K(KEY_VOLUMEUP, 0xAF), K(KEY_PAUSE, 0x13), K(KEY_KPCOMMA, 0xC2), K(KEY_HANGEUL, 0), K(KEY_HANJA, 0xE9), K(KEY_YEN, 0),
    K(KEY_LEFTMETA, 0x5B),
    K(KEY_RIGHTMETA, 0x5C), K(KEY_COMPOSE, 0x5D), K(KEY_STOP, 0xA9), K(KEY_CALC, 0xB7), K(KEY_SLEEP, 0x5F),
    K(KEY_MAIL, 0xB4), K(KEY_BOOKMARKS, 0xAB), K(KEY_COMPUTER, 0xB6), K(KEY_BACK, 0xA6), K(KEY_FORWARD, 0xA7),
    K(KEY_NEXTSONG, 0xB0), K(KEY_PLAYPAUSE, 0xB3), K(KEY_PREVIOUSSONG, 0xB1), K(KEY_STOPCD, 0xB2),
    K(KEY_HOMEPAGE, 0xAC), K(KEY_REFRESH, 0xA8), K(KEY_F13, 0x7C), K(KEY_F14, 0x7D), K(KEY_F15, 0x7E),
    K(KEY_F16, 0x7F), K(KEY_F17, 0x80), K(KEY_F18, 0x81), K(KEY_F19, 0x82), K(KEY_F20, 0x83), K(KEY_F21, 0x84),
    K(KEY_F22, 0x85), K(KEY_F23, 0x86), K(KEY_F24, 0x87), K(KEY_SEARCH, 0xAA), K(KEY_MEDIA, 0xB5),
});
// clang-format on

constexpr bool Ascending() {
  for (std::size_t i = 1; i < kTable.size(); ++i)
    if (kTable[i - 1].evdev >= kTable[i].evdev) return false;
  return true;
}
static_assert(Ascending(), "the rows are looked up by binary search");

}  // namespace

std::span<const EvdevKey> EvdevKeyTable() { return kTable; }

std::optional<EvdevKey> FindEvdevKey(int evdev_code) {
  const auto it = std::lower_bound(kTable.begin(), kTable.end(), evdev_code,
                                   [](const EvdevKey& row, int code) { return row.evdev < code; });
  if (it == kTable.end() || it->evdev != evdev_code) return std::nullopt;
  return *it;
}

}  // namespace brimvex::platform
