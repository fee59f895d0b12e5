#include "platform/process.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <thread>

extern char** environ;

namespace brimvex::platform {

int CurrentProcessId() { return static_cast<int>(::getpid()); }

// Sleeps in poll() on the child's pidfd and an eventfd; sets the event when the child ends.
class ChildProcess::Watcher {
 public:
  Watcher(int pidfd, Event& exited) : wake_fd_(::eventfd(0, EFD_CLOEXEC)) {
    thread_ = std::thread([this, pidfd, &exited] { Loop(pidfd, exited); });
  }
  ~Watcher() {
    if (wake_fd_ >= 0) {
      const std::uint64_t one = 1;
      [[maybe_unused]] const auto n = ::write(wake_fd_, &one, sizeof one);
    }
    thread_.join();
    if (wake_fd_ >= 0) ::close(wake_fd_);
  }

 private:
  void Loop(int pidfd, Event& exited) {
    pollfd fds[2] = {{pidfd, POLLIN, 0}, {wake_fd_, POLLIN, 0}};
    const nfds_t count = wake_fd_ >= 0 ? 2 : 1;
    for (;;) {
      const int rc = ::poll(fds, count, -1);
      if (rc < 0 && errno == EINTR) continue;
      if (rc < 0) return;
      if ((fds[0].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
        exited.Set();
        return;
      }
      if (count == 2 && (fds[1].revents & POLLIN) != 0) return;
    }
  }

  const int wake_fd_;
  std::thread thread_;
};

ChildProcess::ChildProcess(int pid, int pidfd) : pid_(pid), pidfd_(pidfd) {
  watcher_ = std::make_unique<Watcher>(pidfd_, exited_);
}

ChildProcess::~ChildProcess() {
  if (!ending_) {
    Kill();
    WaitAndReap(kInfinite);
  }
  watcher_.reset();
  ::close(pidfd_);
}

std::unique_ptr<ChildProcess> ChildProcess::Start(const std::vector<std::string>& argv, std::string* error) {
  if (argv.empty() || argv[0].empty()) {
    if (error != nullptr) *error = "no program named";
    return nullptr;
  }
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  // Default signal mask and handlers, and a session (so a process group) of its own.
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attr, &none);
  sigset_t all;
  sigfillset(&all);
  posix_spawnattr_setsigdefault(&attr, &all);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);
  pid_t pid = 0;
  const int rc = ::posix_spawnp(&pid, argv[0].c_str(), nullptr, &attr, args.data(), environ);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) {
    if (error != nullptr) *error = argv[0] + ": " + std::strerror(rc);
    return nullptr;
  }
  const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
  if (pidfd < 0) {
    const int err = errno;
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    if (error != nullptr) *error = std::string("pidfd_open: ") + std::strerror(err);
    return nullptr;
  }
  return std::unique_ptr<ChildProcess>(new ChildProcess(pid, pidfd));
}

bool ChildProcess::Terminate() { return !ending_ && ::kill(pid_, SIGTERM) == 0; }

bool ChildProcess::Kill() {
  if (ending_) return false;
  // The group goes too (whatever the child started); the child itself even if it left the group.
  ::kill(-pid_, SIGKILL);
  return ::kill(pid_, SIGKILL) == 0;
}

std::optional<ChildProcess::Ending> ChildProcess::Reap() {
  if (ending_) return ending_;
  siginfo_t info{};
  // The pidfd still holds the pid: a reaped one cannot be reused under us before this.
  int rc = -1;
  do {
    rc = ::waitid(P_PIDFD, static_cast<id_t>(pidfd_), &info, WEXITED | WNOHANG);
  } while (rc < 0 && errno == EINTR);
  if (rc < 0 || info.si_pid == 0) return std::nullopt;
  Ending e;
  e.exited = info.si_code == CLD_EXITED;
  if (e.exited) {
    e.code = info.si_status;
  } else {
    e.signal = info.si_status;
  }
  ending_ = e;
  exited_.Set();
  return ending_;
}

std::optional<ChildProcess::Ending> ChildProcess::WaitAndReap(Millis timeout) {
  if (ending_) return ending_;
  if (!exited_.Wait(timeout)) return std::nullopt;
  return Reap();
}

std::string EndingText(const ChildProcess::Ending& ending) {
  return ending.exited ? "exit code " + std::to_string(ending.code) : "signal " + std::to_string(ending.signal);
}

}  // namespace brimvex::platform
