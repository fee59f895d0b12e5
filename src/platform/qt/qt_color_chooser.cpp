#include "platform/qt/qt_color_chooser.h"

#include <QColor>
#include <QColorDialog>

namespace brimvex::qt {

std::optional<std::uint32_t> QtColorChooser::Choose(std::uint32_t initial) {
  const QColor chosen = QColorDialog::getColor(QColor::fromRgb(initial | 0xFF000000u));
  if (!chosen.isValid()) return std::nullopt;
  return static_cast<std::uint32_t>(chosen.rgb()) | 0xFF000000u;
}

}  // namespace brimvex::qt
