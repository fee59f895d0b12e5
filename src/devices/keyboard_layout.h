#pragma once
// Where the keyboard's keys and lights are: the light layout grid that turns a key position byte
// into an LED position, the 23 x 6 effect grid of page lights, and the geometry the effects
// derive from it (the order of the lights across the board, the ring of each light on a 12 x 12
// grid over the board, and the 52 steps of the sweep).
#include <array>
#include <cstdint>

namespace brimvex::devices {

inline constexpr int kKeyboardPageKeys = 126;
inline constexpr std::uint8_t kNoLight = 255;  // map 1 and map 0 entries without a position
inline constexpr std::uint8_t kNoCell = 170;   // effect grid cells without a light
inline constexpr int kEffectColumns = 23;
inline constexpr int kEffectRows = 6;
inline constexpr int kRadialRings = 6;
inline constexpr int kSweepSteps = 52;
inline constexpr int kSweepKeys = 12;

// LED position of a key position byte (row << 4 | column below 0x60), or kNoLight.
std::uint8_t LedPositionOfKeyPosition(std::uint8_t position);

// The page light at (column, row) of the effect grid, or kNoCell.
std::uint8_t EffectCell(int column, int row);
// Column and row of a page light in the effect grid; false when it has no cell.
bool EffectCellOf(int light, int& column, int& row);

// The 170 page lights in board order: the effect grid row by row from the top left, then the
// lights without a cell in index order.
const std::array<std::uint8_t, 170>& PageLightOrder();
// The ring (0 at the centre, kRadialRings - 1 at the edge) of each page light; lights without a
// cell are on the outer ring.
const std::array<std::uint8_t, 170>& RadialRings();
// The 12 lights of each sweep step: the lights nearest to a ray turning clockwise about the
// centre of the board, one 52nd of a turn a step.
const std::array<std::array<std::uint8_t, kSweepKeys>, kSweepSteps>& SweepTable();

}  // namespace brimvex::devices
