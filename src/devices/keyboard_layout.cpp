#include "devices/keyboard_layout.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace brimvex::devices {
namespace {

// LED position by [column][row] of a key position (row in the high nibble, column in the low).
constexpr std::uint8_t kLightGrid[16][6] = {
    {0, 20, 40, 60, 80, 100},      {1, 21, 41, 61, 255, 101},    {2, 22, 42, 62, 82, 102},
    {3, 23, 43, 63, 83, 255},      {4, 24, 44, 64, 84, 255},     {5, 25, 45, 65, 85, 106},
    {6, 26, 46, 66, 86, 255},      {7, 27, 47, 67, 87, 255},     {8, 28, 48, 68, 88, 255},
    {9, 29, 49, 69, 89, 110},      {10, 30, 50, 70, 90, 111},    {11, 31, 51, 71, 91, 113},
    {12, 32, 52, 255, 255, 255},   {255, 33, 53, 73, 93, 114},   {255, 35, 54, 36, 95, 115},
    {255, 255, 55, 56, 255, 116},
};

// Page light by [column][row] of the effect grid.
constexpr std::uint8_t kEffectGrid[kEffectColumns][kEffectRows] = {
    {170, 120, 121, 122, 123, 124}, {170, 21, 42, 63, 84, 105}, {0, 22, 43, 64, 102, 106},
    {1, 23, 44, 65, 85, 20},        {2, 24, 45, 66, 86, 107},   {3, 25, 46, 67, 87, 126},
    {4, 26, 47, 68, 88, 127},       {18, 27, 48, 69, 89, 108},  {5, 28, 49, 70, 90, 128},
    {6, 29, 50, 71, 91, 129},       {7, 30, 51, 72, 92, 109},   {8, 31, 52, 73, 93, 125},
    {9, 32, 53, 74, 94, 110},       {10, 33, 54, 62, 100, 111}, {11, 34, 55, 75, 19, 130},
    {12, 101, 103, 79, 95, 112},    {13, 35, 56, 82, 80, 113},  {14, 36, 57, 83, 96, 114},
    {15, 37, 58, 17, 81, 115},      {170, 38, 59, 76, 97, 116}, {170, 39, 60, 77, 98, 104},
    {170, 40, 61, 78, 99, 117},     {170, 41, 16, 119, 118, 131},
};

// Board geometry: the centre of the effect grid, in key widths (a row is about one key high).
constexpr double kCentreX = (kEffectColumns - 1) / 2.0;
constexpr double kCentreY = (kEffectRows - 1) / 2.0;

}  // namespace

std::uint8_t LedPositionOfKeyPosition(std::uint8_t position) {
  if (position >= 0x60) return kNoLight;
  return kLightGrid[position & 0x0F][position >> 4];
}

std::uint8_t EffectCell(int column, int row) {
  if (column < 0 || column >= kEffectColumns || row < 0 || row >= kEffectRows) return kNoCell;
  return kEffectGrid[column][row];
}

bool EffectCellOf(int light, int& column, int& row) {
  for (int c = 0; c < kEffectColumns; ++c)
    for (int r = 0; r < kEffectRows; ++r)
      if (kEffectGrid[c][r] == light) {
        column = c;
        row = r;
        return true;
      }
  return false;
}

const std::array<std::uint8_t, 170>& PageLightOrder() {
  static const std::array<std::uint8_t, 170> order = [] {
    std::array<std::uint8_t, 170> o{};
    std::array<bool, 170> placed{};
    std::size_t n = 0;
    for (int r = 0; r < kEffectRows; ++r)
      for (int c = 0; c < kEffectColumns; ++c) {
        const std::uint8_t light = kEffectGrid[c][r];
        if (light < 170 && !placed[light]) {
          placed[light] = true;
          o[n++] = light;
        }
      }
    for (std::size_t light = 0; light < 170; ++light)
      if (!placed[light]) o[n++] = static_cast<std::uint8_t>(light);
    return o;
  }();
  return order;
}

const std::array<std::uint8_t, 170>& RadialRings() {
  static const std::array<std::uint8_t, 170> rings = [] {
    std::array<std::uint8_t, 170> out;
    out.fill(kRadialRings - 1);
    // The 23 x 6 grid laid over a 12 x 12 one: 12 columns across, the 6 rows in the middle two
    // cells apart; the ring is the distance from the centre cell in whole cells.
    for (int c = 0; c < kEffectColumns; ++c)
      for (int r = 0; r < kEffectRows; ++r) {
        const std::uint8_t light = kEffectGrid[c][r];
        if (light >= 170) continue;
        const double x = c * 12.0 / kEffectColumns - 5.5;
        const double y = r * 2.0 + 0.5 - 5.5;
        const int ring = static_cast<int>(std::max(std::fabs(x), std::fabs(y)));
        out[light] = static_cast<std::uint8_t>(std::clamp(ring, 0, kRadialRings - 1));
      }
    return out;
  }();
  return rings;
}

const std::array<std::array<std::uint8_t, kSweepKeys>, kSweepSteps>& SweepTable() {
  static const auto table = [] {
    std::array<std::array<std::uint8_t, kSweepKeys>, kSweepSteps> t{};
    struct Light {
      std::uint8_t index;
      double angle;  // clockwise from the right, in radians
    };
    std::vector<Light> lights;
    for (int c = 0; c < kEffectColumns; ++c)
      for (int r = 0; r < kEffectRows; ++r)
        if (kEffectGrid[c][r] < 170)
          lights.push_back({kEffectGrid[c][r], std::atan2(r - kCentreY, c - kCentreX)});
    for (int s = 0; s < kSweepSteps; ++s) {
      const double ray = -std::numbers::pi + 2 * std::numbers::pi * s / kSweepSteps;
      auto distance = [&](const Light& l) {
        const double d = std::fabs(std::remainder(l.angle - ray, 2 * std::numbers::pi));
        return d;
      };
      std::stable_sort(lights.begin(), lights.end(),
                       [&](const Light& a, const Light& b) { return distance(a) < distance(b); });
      for (int k = 0; k < kSweepKeys; ++k) t[static_cast<std::size_t>(s)][static_cast<std::size_t>(k)] = lights[static_cast<std::size_t>(k)].index;
    }
    return t;
  }();
  return table;
}

}  // namespace brimvex::devices
