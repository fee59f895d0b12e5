#pragma once
// Control names: case-insensitive comparison and the split of a family name ("key_12") into its
// prefix and decimal number.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brimvex::ui {

// ASCII letters and the Latin-1 letters (U+00C0..U+00DE) fold to lower case; everything else
// stays as it is. Good as a map key for case-insensitive names.
std::string FoldName(std::string_view name);
bool NameEqualsNoCase(std::string_view a, std::string_view b);

struct NameSplit {
  std::string_view prefix;  // up to and including the last '_'
  std::int32_t number = 0;
};

// Splits at the last '_': "key_12" gives ("key_", 12) and "key_" gives ("key_", 0). No split
// for a name without '_', with anything but decimal digits after it, or a number past int32.
std::optional<NameSplit> SplitControlName(std::string_view name);

}  // namespace brimvex::ui
