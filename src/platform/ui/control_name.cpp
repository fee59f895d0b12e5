#include "platform/ui/control_name.h"

#include <limits>

namespace brimvex::ui {

std::string FoldName(std::string_view name) {
  std::string out(name);
  for (std::size_t i = 0; i < out.size(); ++i) {
    char& c = out[i];
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    } else if (static_cast<unsigned char>(c) == 0xC3 && i + 1 < out.size()) {
      // U+00C0..U+00DE (but U+00D7, the multiplication sign) -> U+00E0..U+00FE.
      auto& next = reinterpret_cast<unsigned char&>(out[i + 1]);
      if (next >= 0x80 && next <= 0x9E && next != 0x97) next = static_cast<unsigned char>(next + 0x20);
      ++i;
    }
  }
  return out;
}

bool NameEqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && FoldName(a) == FoldName(b);
}

std::optional<NameSplit> SplitControlName(std::string_view name) {
  const auto cut = name.rfind('_');
  if (cut == std::string_view::npos) return std::nullopt;
  std::int64_t n = 0;
  for (char c : name.substr(cut + 1)) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
    if (n > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  }
  return NameSplit{name.substr(0, cut + 1), static_cast<std::int32_t>(n)};
}

}  // namespace brimvex::ui
