#pragma once
// A row of options of which one is chosen, numbered from 1 (0: none), as the voice pages use them.
#include <cstddef>
#include <span>

#include "platform/ui/controls.h"

namespace brimvex::audio {

// Chooses option n without raising notifications; out of range chooses none. Returns n, or 0.
inline int SelectOneOf(std::span<ui::Option* const> options, int n) {
  for (ui::Option* option : options)
    if (option != nullptr) option->Selected(false, false);
  if (n < 1 || n > static_cast<int>(options.size())) return 0;
  if (ui::Option* option = options[static_cast<std::size_t>(n - 1)]) option->Selected(true, false);
  return n;
}

// The number of the chosen option, 0 when none is.
inline int SelectedOneOf(std::span<ui::Option* const> options) {
  for (std::size_t i = 0; i < options.size(); ++i)
    if (options[i] != nullptr && options[i]->IsSelected()) return static_cast<int>(i + 1);
  return 0;
}

}  // namespace brimvex::audio
