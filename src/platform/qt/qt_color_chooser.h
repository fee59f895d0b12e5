#pragma once
// The colour chooser as Qt's colour dialog.
#include "platform/color_chooser.h"

namespace brimvex::qt {

class QtColorChooser final : public platform::ColorChooser {
 public:
  std::optional<std::uint32_t> Choose(std::uint32_t initial) override;
};

}  // namespace brimvex::qt
