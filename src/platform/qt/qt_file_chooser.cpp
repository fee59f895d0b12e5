#include "platform/qt/qt_file_chooser.h"

#include <QFileDialog>
#include <QStringList>

namespace brimvex::qt {
namespace {

// {"Profile Files(*.json)", "*.json;"} -> "Profile Files(*.json)"; a text without the patterns
// in brackets gets them, since Qt reads the patterns from there. "*.*" means every file.
QString QtFilter(const platform::FileFilter& filter) {
  QStringList rows;
  for (const auto& [text, patterns] : filter) {
    QStringList list = QString::fromStdString(patterns).split(';', Qt::SkipEmptyParts);
    for (QString& p : list) {
      p = p.trimmed();
      if (p == "*.*") p = "*";
    }
    QString row = QString::fromStdString(text).trimmed();
    const QString bracket = "(" + list.join(' ') + ")";
    if (!row.contains('(')) row = (row.isEmpty() ? QString() : row + " ") + bracket;
    if (row.contains("(*.*)")) row.replace("(*.*)", "(*)");
    rows << row;
  }
  return rows.join(";;");
}

}  // namespace

std::optional<std::string> QtFileChooser::Choose(Mode mode, const platform::FileFilter& filter) {
  const QString qt_filter = QtFilter(filter);
  const QString path = mode == Mode::kOpen ? QFileDialog::getOpenFileName(nullptr, QString(), QString(), qt_filter)
                                           : QFileDialog::getSaveFileName(nullptr, QString(), QString(), qt_filter);
  if (path.isEmpty()) return std::nullopt;
  const std::string chosen = path.toStdString();
  if (!platform::PassesChooserChecks(mode, chosen)) return std::nullopt;
  return chosen;
}

}  // namespace brimvex::qt
