#pragma once
// The face of the colour palette (ui::ColorPalette): a hue-saturation square (hue left to right,
// full saturation at the top, none at the bottom) at the selected brightness, over a brightness
// strip (dark left, full right) of the selected hue and saturation. PaletteColorAt is the one
// function both the painter and a press use, so the colour under the pointer is the colour
// picked. The hue and saturation of a pick are kept with the palette, so a black or grey pick
// does not lose the square.
#include <cstdint>

namespace brimvex::ui {

class ColorPalette;

// 0xFFRRGGBB of hue 0..359, saturation and value 0..255 (integer HSV, exact at the corners).
std::uint32_t HsvColor(int hue, int saturation, int value);

// Height of the brightness strip in a face of height `h` (the square is above it).
int PaletteStripHeight(int h);
// The colour shown at (x, y) of a face of w x h pixels (points outside are held to the face).
std::uint32_t PaletteColorAt(const ColorPalette& palette, int x, int y, int w, int h);
// A press at (x, y): the square sets hue and saturation, the strip the brightness; the palette
// takes PaletteColorAt of that point and raises "colorchanged".
void PalettePickAt(ColorPalette& palette, int x, int y, int w, int h);

// Where the mark of the selected colour is drawn: in the square (x, y) and on the strip (x).
struct PaletteMark {
  int x = 0, y = 0, strip_x = 0;
};
PaletteMark PaletteMarkOf(const ColorPalette& palette, int w, int h);

}  // namespace brimvex::ui
