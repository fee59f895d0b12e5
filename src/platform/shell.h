#pragma once
// The desktop shell as the program uses it: open an address with the desktop's handler, start a
// program by its argument list (never through a shell, never waiting for it). Children are reaped
// when they end. SystemShell is the Linux adapter; RecordingShell records for tests.
//
// The adapter spawns with posix_spawnp and hands each child's pidfd to one reaper thread that
// sleeps in poll() until a child ends (or the shell goes). A later "start and wait for the exit"
// builds on the same spawn: it keeps the pidfd instead of giving it to the reaper.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/event.h"
#include "platform/process.h"

namespace brimvex::platform {

class Shell {
 public:
  virtual ~Shell() = default;
  // argv[0] is looked up on PATH. False (with the reason) when the program could not be started.
  virtual bool Start(const std::vector<std::string>& argv, std::string* error = nullptr) = 0;
  // A child the caller watches, ends and reaps itself (platform/process.h); nullptr (with the
  // reason) when it could not start.
  virtual std::unique_ptr<ChildProcess> StartChild(const std::vector<std::string>& argv, std::string* error = nullptr) {
    return ChildProcess::Start(argv, error);
  }
  // The same with `folder` as the child's working folder; a shell that cannot refuses.
  virtual bool StartIn(const std::vector<std::string>& argv, const std::string& folder, std::string* error = nullptr) {
    (void)argv;
    (void)folder;
    if (error != nullptr) *error = "no working folder for this shell";
    return false;
  }
  // The address with the desktop's default handler (xdg-open).
  bool OpenUrl(const std::string& url, std::string* error = nullptr) { return Start({"xdg-open", url}, error); }
};

class SystemShell final : public Shell {
 public:
  SystemShell();
  ~SystemShell() override;  // stops the reaper; children still running are left to the system
  SystemShell(const SystemShell&) = delete;
  SystemShell& operator=(const SystemShell&) = delete;
  bool Start(const std::vector<std::string>& argv, std::string* error = nullptr) override;
  bool StartIn(const std::vector<std::string>& argv, const std::string& folder, std::string* error = nullptr) override;
  // Children started and not yet reaped.
  int Running() const;
  // Waits until every child started so far has ended and been reaped; false after the time-out.
  bool WaitUntilNoneRunning(Millis timeout);

 private:
  class Reaper;
  std::unique_ptr<Reaper> reaper_;
};

class RecordingShell final : public Shell {
 public:
  bool Start(const std::vector<std::string>& argv, std::string* error = nullptr) override {
    started.push_back(argv);
    if (!fail) return true;
    if (error != nullptr) *error = "refused by the test";
    return false;
  }
  std::unique_ptr<ChildProcess> StartChild(const std::vector<std::string>& argv, std::string* error = nullptr) override {
    started.push_back(argv);
    if (error != nullptr) *error = "refused by the test";
    return nullptr;
  }
  bool StartIn(const std::vector<std::string>& argv, const std::string& folder, std::string* error = nullptr) override {
    folders.push_back(folder);
    return Start(argv, error);
  }
  std::vector<std::vector<std::string>> started;
  std::vector<std::string> folders;
  bool fail = false;
};

// The full path of a program found in $PATH (executable), or "".
std::string FindProgram(std::string_view name);

}  // namespace brimvex::platform
