#include "macros/macro_tables.h"

#include <array>

namespace brimvex::macros {
namespace {

constexpr ScanRow Mod(std::uint8_t scan, bool ext, std::uint8_t bit) { return {scan, ext, kTypeModifier, bit}; }
constexpr ScanRow Key(std::uint8_t scan, bool ext, std::uint8_t usage) { return {scan, ext, kTypeKey, usage}; }
constexpr bool E = true, N = false;

constexpr std::array<ScanRow, 113> kScanTable = {{
    Mod(0x1D, N, 0x01), Mod(0x2A, N, 0x02), Mod(0x38, N, 0x04), Mod(0x5B, E, 0x08),
    Mod(0x1D, E, 0x10), Mod(0x36, E, 0x20), Mod(0x38, E, 0x40), Mod(0x5C, E, 0x80),
    // A to Z
    Key(0x1E, N, 0x04), Key(0x30, N, 0x05), Key(0x2E, N, 0x06), Key(0x20, N, 0x07), Key(0x12, N, 0x08),
    Key(0x21, N, 0x09), Key(0x22, N, 0x0A), Key(0x23, N, 0x0B), Key(0x17, N, 0x0C), Key(0x24, N, 0x0D),
    Key(0x25, N, 0x0E), Key(0x26, N, 0x0F), Key(0x32, N, 0x10), Key(0x31, N, 0x11), Key(0x18, N, 0x12),
    Key(0x19, N, 0x13), Key(0x10, N, 0x14), Key(0x13, N, 0x15), Key(0x1F, N, 0x16), Key(0x14, N, 0x17),
    Key(0x16, N, 0x18), Key(0x2F, N, 0x19), Key(0x11, N, 0x1A), Key(0x2D, N, 0x1B), Key(0x15, N, 0x1C),
    Key(0x2C, N, 0x1D),
    // 1 to 9, 0
    Key(0x02, N, 0x1E), Key(0x03, N, 0x1F), Key(0x04, N, 0x20), Key(0x05, N, 0x21), Key(0x06, N, 0x22),
    Key(0x07, N, 0x23), Key(0x08, N, 0x24), Key(0x09, N, 0x25), Key(0x0A, N, 0x26), Key(0x0B, N, 0x27),
    // Enter, Esc, BackSpace, Tab, Space, - = [ ] backslash ; ' ` , . /
    Key(0x1C, N, 0x28), Key(0x01, N, 0x29), Key(0x0E, N, 0x2A), Key(0x0F, N, 0x2B), Key(0x39, N, 0x2C),
    Key(0x0C, N, 0x2D), Key(0x0D, N, 0x2E), Key(0x1A, N, 0x2F), Key(0x1B, N, 0x30), Key(0x2B, N, 0x31),
    Key(0x27, N, 0x33), Key(0x28, N, 0x34), Key(0x29, N, 0x35), Key(0x33, N, 0x36), Key(0x34, N, 0x37),
    Key(0x35, N, 0x38),
    // Caps Lock, F1 to F12
    Key(0x3A, N, 0x39), Key(0x3B, N, 0x3A), Key(0x3C, N, 0x3B), Key(0x3D, N, 0x3C), Key(0x3E, N, 0x3D),
    Key(0x3F, N, 0x3E), Key(0x40, N, 0x3F), Key(0x41, N, 0x40), Key(0x42, N, 0x41), Key(0x43, N, 0x42),
    Key(0x44, N, 0x43), Key(0x57, N, 0x44), Key(0x58, N, 0x45),
    // Print Scr, Scroll Lock, Pause, Insert, Home, Page Up, Delete, End, Page Down, arrows
    Key(0x37, E, 0x46), Key(0x46, N, 0x47), Key(0x45, N, 0x48), Key(0x52, E, 0x49), Key(0x47, E, 0x4A),
    Key(0x49, E, 0x4B), Key(0x53, E, 0x4C), Key(0x4F, E, 0x4D), Key(0x51, E, 0x4E), Key(0x4D, E, 0x4F),
    Key(0x4B, E, 0x50), Key(0x50, E, 0x51), Key(0x48, E, 0x52),
    // Num Lock, Num / * - + Enter, Num 1 to 9, 0, Decimal
    Key(0x45, E, 0x53), Key(0x35, E, 0x54), Key(0x37, N, 0x55), Key(0x4A, N, 0x56), Key(0x4E, N, 0x57),
    Key(0x1C, E, 0x58), Key(0x4F, N, 0x59), Key(0x50, N, 0x5A), Key(0x51, N, 0x5B), Key(0x4B, N, 0x5C),
    Key(0x4C, N, 0x5D), Key(0x4D, N, 0x5E), Key(0x47, N, 0x5F), Key(0x48, N, 0x60), Key(0x49, N, 0x61),
    Key(0x52, N, 0x62), Key(0x53, N, 0x63),
    // App, K45, K56, K14, K107, K131, K132, K133, K150, K151
    Key(0x5D, E, 0x65), Key(0x56, N, 0x64), Key(0x73, N, 0x87), Key(0x7D, N, 0x89), Key(0x7E, N, 0x85),
    Key(0x7B, N, 0x8B), Key(0x79, N, 0x8A), Key(0x70, N, 0x88), Key(0x71, N, 0x91), Key(0x72, N, 0x90),
}};

constexpr std::array<MouseRow, kMouseRows> kMouseTable = {{
    {kLeftDown, 0x81, 0x01, "mouse_key_left"},
    {kLeftUp, 0x01, 0x01, "mouse_key_left"},
    {kRightDown, 0x81, 0x02, "mouse_key_right"},
    {kRightUp, 0x01, 0x02, "mouse_key_right"},
    {kMiddleDown, 0x81, 0x04, "mouse_key_middle"},
    {kMiddleUp, 0x01, 0x04, "mouse_key_middle"},
    {kExtraDown, 0x81, 0x10, "mouse_key_forward"},
    {kExtraUp, 0x01, 0x10, "mouse_key_forward"},
    {kExtraDown, 0x81, 0x08, "mouse_key_back"},
    {kExtraUp, 0x01, 0x08, "mouse_key_back"},
    {0, 0x84, 0, "mouse_move_to_left_text"},
    {0, 0x04, 0, "mouse_move_to_right_text"},
    {0, 0x85, 0, "mouse_move_to_up_text"},
    {0, 0x05, 0, "mouse_move_to_down_text"},
}};

}  // namespace

std::span<const ScanRow> ScanTable() { return kScanTable; }

std::optional<ScanRow> FindScanRow(std::uint8_t scan, bool extended) {
  for (const ScanRow& r : kScanTable)
    if (r.scan == scan && r.extended == extended) return r;
  return std::nullopt;
}

std::span<const MouseRow> MouseTable() { return kMouseTable; }

std::optional<int> MouseRowOf(std::uint32_t message, int variant) {
  switch (message) {
    case kLeftDown: return 0;
    case kLeftUp: return 1;
    case kRightDown: return 2;
    case kRightUp: return 3;
    case kMiddleDown: return 4;
    case kMiddleUp: return 5;
    case kExtraDown:
      if (variant == 0 || variant == 1) return 6 + 2 * variant;
      return std::nullopt;
    case kExtraUp:
      if (variant == 0 || variant == 1) return 7 + 2 * variant;
      return std::nullopt;
    case kMouseMove:
      if (variant >= 0 && variant <= 3) return 10 + variant;
      return std::nullopt;
    default: return std::nullopt;
  }
}

std::string_view MouseEventName(std::uint8_t type, bool down, std::uint8_t button) {
  if (type == kTypeMouseButton) {
    for (std::size_t k = 0; k < 10; ++k)
      if (kMouseTable[k].button == button) return kMouseTable[k].text_key;
    return {};
  }
  if (type == kTypeMoveX || type == kTypeMoveY) {
    const std::uint8_t direction = static_cast<std::uint8_t>(type | (down ? 0x80 : 0));
    for (std::size_t k = 10; k < kMouseRows; ++k)
      if (kMouseTable[k].direction == direction) return kMouseTable[k].text_key;
  }
  return {};
}

}  // namespace brimvex::macros
