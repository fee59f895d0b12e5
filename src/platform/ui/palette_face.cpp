#include "platform/ui/palette_face.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/ui/controls.h"

namespace brimvex::ui {
namespace {

constexpr const char* kHsvAttribute = "palette_hsv";  // "hue,saturation,value" of the last pick

struct Hsv {
  int hue = 0, saturation = 255, value = 255;
};

std::string Text(const Hsv& v) {
  return std::to_string(v.hue) + "," + std::to_string(v.saturation) + "," + std::to_string(v.value);
}

// The selection as HSV: the kept pick when it still gives the selected colour; otherwise from
// the colour, keeping the kept hue (and saturation) where the colour has none.
Hsv HsvOf(const ColorPalette& palette) {
  const std::uint32_t color = palette.SelectedColor() | 0xFF000000u;
  Hsv kept;
  const bool have = std::sscanf(palette.Attribute(kHsvAttribute).c_str(), "%d,%d,%d", &kept.hue, &kept.saturation,
                                &kept.value) == 3;
  if (have && HsvColor(kept.hue, kept.saturation, kept.value) == color) return kept;
  const int r = static_cast<int>((color >> 16) & 0xFF);
  const int g = static_cast<int>((color >> 8) & 0xFF);
  const int b = static_cast<int>(color & 0xFF);
  const int max = std::max({r, g, b});
  const int min = std::min({r, g, b});
  Hsv v;
  v.value = max;
  v.saturation = max > 0 ? (max - min) * 255 / max : (have ? kept.saturation : 0);
  if (max != min) {
    const int d = max - min;
    const int h = max == r ? 60 * (g - b) / d : max == g ? 120 + 60 * (b - r) / d : 240 + 60 * (r - g) / d;
    v.hue = (h + 360) % 360;
  } else if (have) {
    v.hue = kept.hue;
  }
  return v;
}

struct Face {
  int square_h;  // rows 0 .. square_h - 1 are the square
  int w;
};
Face FaceOf(int w, int h) { return {std::max(1, h - PaletteStripHeight(h)), std::max(1, w)}; }
int Along(int at, int size, int full) {  // 0..full over 0..size-1
  return size <= 1 ? 0 : std::clamp(at, 0, size - 1) * full / (size - 1);
}

}  // namespace

std::uint32_t HsvColor(int hue, int saturation, int value) {
  hue = ((hue % 360) + 360) % 360;
  saturation = std::clamp(saturation, 0, 255);
  value = std::clamp(value, 0, 255);
  const int sector = hue / 60;
  const int f = (hue % 60) * 255 / 60;  // 0..250 within the sector
  const int p = value * (255 - saturation) / 255;
  const int q = value * (255 - saturation * f / 255) / 255;
  const int t = value * (255 - saturation * (255 - f) / 255) / 255;
  int r = value, g = t, b = p;
  switch (sector) {
    case 1:
      r = q, g = value, b = p;
      break;
    case 2:
      r = p, g = value, b = t;
      break;
    case 3:
      r = p, g = q, b = value;
      break;
    case 4:
      r = t, g = p, b = value;
      break;
    case 5:
      r = value, g = p, b = q;
      break;
    default:
      break;
  }
  return 0xFF000000u | static_cast<std::uint32_t>(r) << 16 | static_cast<std::uint32_t>(g) << 8 |
         static_cast<std::uint32_t>(b);
}

int PaletteStripHeight(int h) { return h < 16 ? 0 : std::max(8, h / 8); }

std::uint32_t PaletteColorAt(const ColorPalette& palette, int x, int y, int w, int h) {
  const Face f = FaceOf(w, h);
  const Hsv v = HsvOf(palette);
  if (y >= f.square_h) return HsvColor(v.hue, v.saturation, Along(x, f.w, 255));
  return HsvColor(Along(x, f.w, 359), 255 - Along(y, f.square_h, 255), v.value);
}

void PalettePickAt(ColorPalette& palette, int x, int y, int w, int h) {
  if (!palette.IsEnabled() || !palette.IsVisible()) return;
  const Face f = FaceOf(w, h);
  Hsv v = HsvOf(palette);
  const std::uint32_t picked = PaletteColorAt(palette, x, y, w, h);
  if (y >= f.square_h) {
    v.value = Along(x, f.w, 255);
  } else {
    v.hue = Along(x, f.w, 359);
    v.saturation = 255 - Along(y, f.square_h, 255);
  }
  palette.SetAttribute(kHsvAttribute, Text(v));
  palette.UserPickColor(picked);
}

PaletteMark PaletteMarkOf(const ColorPalette& palette, int w, int h) {
  const Face f = FaceOf(w, h);
  const Hsv v = HsvOf(palette);
  // The nearest pixel (rounded) of each value.
  PaletteMark m;
  m.x = f.w <= 1 ? 0 : (v.hue * (f.w - 1) + 179) / 359;
  m.y = f.square_h <= 1 ? 0 : ((255 - v.saturation) * (f.square_h - 1) + 127) / 255;
  m.strip_x = f.w <= 1 ? 0 : (v.value * (f.w - 1) + 127) / 255;
  return m;
}

}  // namespace brimvex::ui
