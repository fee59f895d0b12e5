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
  // Qt's own dialog matches the patterns without regard to case ("*.shoot;" shows the working
  // files' ".Shoot"); a desktop's native one may not.
  QFileDialog dialog(nullptr, QString(), QString(), QtFilter(filter));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
  dialog.setAcceptMode(mode == Mode::kOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dialog.setFileMode(mode == Mode::kOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QString path = dialog.selectedFiles().first();
  if (path.isEmpty()) return std::nullopt;
  const std::string chosen = path.toStdString();
  if (!platform::PassesChooserChecks(mode, chosen)) return std::nullopt;
  return chosen;
}

}  // namespace brimvex::qt
