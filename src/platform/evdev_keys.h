#pragma once
// Linux key codes (linux/input-event-codes.h, what evdev and the display servers report less
// their offset) and the Windows virtual-key codes the key tables speak. One row per key; the
// rows give the virtual-key code the key capture looks up and its extended flag, and the set-1
// scan code and extended flag a Windows keyboard hook reports for the key (what macro recording
// looks up). The virtual-key flag is set only where a virtual-key code alone would name two keys
// (the keypad's Enter beside Enter). Keys without a virtual-key code (the Japanese yen, kana and
// conversion keys, Hangul) have vk 0 and only their scan pair.
#include <cstdint>
#include <optional>
#include <span>

namespace brimvex::platform {

struct EvdevKey {
  std::uint16_t evdev = 0;  // KEY_* code
  std::uint8_t vk = 0;      // Windows virtual-key code, 0 for none
  bool extended = false;
  std::uint8_t set1 = 0;    // set-1 scan code, 0 for a key a macro cannot hold
  bool set1_extended = false;
};

// Rows in ascending evdev order.
std::span<const EvdevKey> EvdevKeyTable();
// The row of a Linux key code, or nullopt.
std::optional<EvdevKey> FindEvdevKey(int evdev_code);

}  // namespace brimvex::platform
