#pragma once
// This process, and the children it starts and watches.
//
// ChildProcess starts a program by its argument list (never through a shell) in a session of its
// own, keeps its pidfd and sets Exited() when it ends; the owner then reaps it. A watcher thread
// per child sleeps in poll() on the pidfd and a wake-up eventfd (no time-out, no polling loop).
// The thread that calls Start is the child's parent thread: a child that asks for
// PR_SET_PDEATHSIG gets its signal when that thread ends, so start from a long-lived thread.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/event.h"

namespace brimvex::platform {

// The process id (what a window handle stands for in messages to other programs).
int CurrentProcessId();

class ChildProcess {
 public:
  // How a reaped child ended.
  struct Ending {
    bool exited = false;  // exited on its own: code; otherwise killed by signal
    int code = 0;
    int signal = 0;
  };

  // argv[0] is a path or looked up on PATH. nullptr (with the reason) when it could not start.
  static std::unique_ptr<ChildProcess> Start(const std::vector<std::string>& argv, std::string* error = nullptr);
  // A child not yet reaped is killed (its whole process group) and reaped.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  int Pid() const { return pid_; }
  // Set once the child has ended (reaped or not).
  Event& Exited() { return exited_; }
  // SIGTERM to the child; SIGKILL to its process group. False once it was reaped.
  bool Terminate();
  bool Kill();
  // Reaps an ended child; nullopt while it runs. Repeating returns the same ending.
  std::optional<Ending> Reap();
  // Waits for the end (up to the time-out) and reaps.
  std::optional<Ending> WaitAndReap(Millis timeout);

 private:
  class Watcher;
  ChildProcess(int pid, int pidfd);

  const int pid_;
  const int pidfd_;
  Event exited_;
  std::optional<Ending> ending_;
  std::unique_ptr<Watcher> watcher_;
};

// "exit code N" or "signal N".
std::string EndingText(const ChildProcess::Ending& ending);

}  // namespace brimvex::platform
