#include "platform/file_dialog.h"

#include <atomic>
#include <filesystem>

namespace brimvex::platform {
namespace {
std::atomic<FileChooser*> g_chooser{nullptr};
}

bool PassesChooserChecks(FileChooser::Mode mode, const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path p(path);
  if (path.empty()) return false;
  if (mode == FileChooser::Mode::kOpen) return fs::is_regular_file(p, ec);
  const fs::path folder = p.parent_path().empty() ? fs::path(".") : p.parent_path();
  return fs::is_directory(folder, ec);
}

std::optional<std::string> ScriptedFileChooser::Choose(Mode mode, const FileFilter& filter) {
  shown_.push_back(filter);
  if (answers_.empty()) return std::nullopt;
  auto answer = std::move(answers_.front());
  answers_.pop_front();
  if (!answer || !PassesChooserChecks(mode, *answer)) return std::nullopt;
  return answer;
}

FileChooser& CurrentFileChooser() {
  static ScriptedFileChooser cancelling;
  FileChooser* c = g_chooser.load();
  return c != nullptr ? *c : cancelling;
}

void SetCurrentFileChooser(FileChooser* chooser) { g_chooser.store(chooser); }

}  // namespace brimvex::platform
