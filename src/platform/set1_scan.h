#pragma once
// The set-1 scan code and extended flag a Windows keyboard hook reports for a key, from its Linux
// key code: codes 1 to 88 are their own set-1 code (Right Shift and Num Lock with the extended
// flag, as the hook reports them); the keys past 88 that a macro can hold have rows of their own.
#include <cstdint>
#include <optional>

namespace brimvex::platform {

struct Set1Scan {
  std::uint8_t code = 0;
  bool extended = false;
  friend bool operator==(const Set1Scan&, const Set1Scan&) = default;
};

std::optional<Set1Scan> Set1ScanOf(int evdev_code);

}  // namespace brimvex::platform
