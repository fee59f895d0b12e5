#pragma once
// The open and save file choosers used by every import and export command. The window frontend
// provides the real dialog; tests use ScriptedFileChooser.
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace brimvex::platform {

// Pairs of display text and patterns, e.g. {"Profile Files(*.json)", "*.json;"}.
using FileFilter = std::vector<std::pair<std::string, std::string>>;

class FileChooser {
 public:
  enum class Mode { kOpen, kSave };
  virtual ~FileChooser() = default;
  // The chosen path, or nullopt when the user cancelled. An open chooser returns only files
  // that exist; both return only paths whose folder exists.
  virtual std::optional<std::string> Choose(Mode mode, const FileFilter& filter) = 0;
};

// Answers from a list prepared by a test; each answer is checked as the real dialog checks it
// (an answer failing the checks counts as a cancel). Records the filters it was shown.
class ScriptedFileChooser final : public FileChooser {
 public:
  void Answer(std::optional<std::string> path) { answers_.push_back(std::move(path)); }
  std::optional<std::string> Choose(Mode mode, const FileFilter& filter) override;
  const std::vector<FileFilter>& ShownFilters() const { return shown_; }

 private:
  std::deque<std::optional<std::string>> answers_;
  std::vector<FileFilter> shown_;
};

// The chooser of the running program (a scripted one that cancels until a frontend sets one).
FileChooser& CurrentFileChooser();
void SetCurrentFileChooser(FileChooser* chooser);

// True when `path` passes the chooser's existence checks for the mode.
bool PassesChooserChecks(FileChooser::Mode mode, const std::string& path);

}  // namespace brimvex::platform
