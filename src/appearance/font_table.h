#pragma once
// The shared font table of every window and the face each language is drawn with.
#include <optional>
#include <span>
#include <string>

#include "platform/ui/resource_manager.h"

namespace brimvex::appearance {

inline constexpr const char* kThaiFace = "Noto Sans Thai";
inline constexpr const char* kChineseFace = "汉仪菱心体简";
inline constexpr const char* kTraditionalChineseFace = "Noto Sans CJK TC Regular";
inline constexpr const char* kLatinFace = "Verdana Unicode MS";

// Font ids with their size (pixels at 96 DPI) and style; the default font has id -1.
std::span<const ui::FontSpec> FontTableRows();

// The face to rebuild the table with when language `next` replaces language `current` (-1 before
// the first), or nullopt when the table stays as it is.
std::optional<std::string> FaceForLanguage(int next, int current);

// Removes every font, adds the rows of the table with `face` and sets the default font.
void RebuildFontTable(ui::ResourceManager& resources, const std::string& face);

}  // namespace brimvex::appearance
