#pragma once
// The tables recording and the editor name events by: the scan table (the set-1 scan code and
// extended flag of every key a macro can hold, with its macro event) and the mouse event table.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace brimvex::macros {

inline constexpr std::uint8_t kTypeMouseButton = 1;
inline constexpr std::uint8_t kTypeMoveX = 4;
inline constexpr std::uint8_t kTypeMoveY = 5;
inline constexpr std::uint8_t kTypeModifier = 9;
inline constexpr std::uint8_t kTypeKey = 10;

struct ScanRow {
  std::uint8_t scan = 0;
  bool extended = false;
  std::uint8_t type = 0;    // kTypeModifier (button = modifier bit) or kTypeKey (keyboard usage)
  std::uint8_t button = 0;
};
// The modifiers and the plain keys but K42, in no particular order; no two rows share a pair.
std::span<const ScanRow> ScanTable();
std::optional<ScanRow> FindScanRow(std::uint8_t scan, bool extended);

// Window messages of the mouse buttons.
inline constexpr std::uint32_t kMouseMove = 0x0200;
inline constexpr std::uint32_t kLeftDown = 0x0201, kLeftUp = 0x0202;
inline constexpr std::uint32_t kRightDown = 0x0204, kRightUp = 0x0205;
inline constexpr std::uint32_t kMiddleDown = 0x0207, kMiddleUp = 0x0208;
inline constexpr std::uint32_t kExtraDown = 0x020B, kExtraUp = 0x020C;
// The extra button numbers of an extra button message.
inline constexpr int kExtraBack = 1, kExtraForward = 2;

struct MouseRow {
  std::uint32_t message = 0;  // 0 for the moves
  std::uint8_t direction = 0; // "Type" with bit 7 for "down"
  std::uint8_t button = 0;    // the button bit; the distance for a move
  std::string_view text_key;
};
inline constexpr std::size_t kMouseRows = 14;
std::span<const MouseRow> MouseTable();

// The mouse row of a message: the buttons by message, the extra buttons by variant (0 forward,
// 1 back), the moves (kMouseMove) by variant 0 left, 1 right, 2 up, 3 down. nullopt otherwise.
std::optional<int> MouseRowOf(std::uint32_t message, int variant);
// The name of a file event of type 1, 4 or 5 ("" when no row matches).
std::string_view MouseEventName(std::uint8_t type, bool down, std::uint8_t button);

}  // namespace brimvex::macros
