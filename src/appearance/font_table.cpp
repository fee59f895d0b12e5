#include "appearance/font_table.h"

#include <array>

namespace brimvex::appearance {
namespace {

ui::FontSpec Row(int id, int size, bool bold = false, bool underline = false) {
  ui::FontSpec f;
  f.id = id;
  f.size = size;
  f.bold = bold;
  f.underline = underline;
  return f;
}

// The last row is the keyboard picture's key caps.
const std::array<ui::FontSpec, 15> kRows = {
    Row(-1, 14), Row(0, 15), Row(1, 14, false, true), Row(2, 18),  Row(3, 30),        Row(4, 16), Row(5, 20),
    Row(6, 22),  Row(7, 14), Row(8, 12),               Row(9, 11), Row(10, 10), Row(11, 28), Row(50, 18, true),
    Row(12, 8),
};

}  // namespace

std::span<const ui::FontSpec> FontTableRows() { return kRows; }

std::optional<std::string> FaceForLanguage(int next, int current) {
  switch (next) {
    case 15:
      return std::string(kThaiFace);
    case 0:
      return std::string(kChineseFace);
    case 2:
      return std::string(kTraditionalChineseFace);
    default:
      break;
  }
  // Another language is drawn in the Latin face, which only needs setting after one of the
  // three faces above (or before any).
  if (current == 15 || current == 0 || current == 2 || current == -1) return std::string(kLatinFace);
  return std::nullopt;
}

void RebuildFontTable(ui::ResourceManager& resources, const std::string& face) {
  resources.RemoveAllFonts();
  for (const ui::FontSpec& row : kRows) {
    ui::FontSpec f = row;
    f.face = face;
    if (f.id != -1) resources.AddFont(f);
  }
  ui::FontSpec default_font = kRows.front();
  default_font.face = face;
  resources.SetDefaultFont(default_font);
}

}  // namespace brimvex::appearance
