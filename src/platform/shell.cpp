#include "platform/shell.h"

#include <poll.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/paths.h"

extern char** environ;

namespace brimvex::platform {
namespace {

int PidfdOpen(pid_t pid) { return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)); }

}  // namespace

// One thread, started with the first child, waits in poll() on the pidfds of the running children
// and an eventfd that says "the list changed" or "stop" (no time-out, no CPU while nothing ends);
// an ended child is reaped with waitpid and its pidfd closed.
class SystemShell::Reaper {
 public:
  Reaper() : wake_fd_(::eventfd(0, EFD_CLOEXEC)) {}
  ~Reaper() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    Poke();
    if (thread_.joinable()) thread_.join();
    for (const Child& c : children_) ::close(c.pidfd);
    if (wake_fd_ >= 0) ::close(wake_fd_);
  }

  // Takes the child; without a pidfd (an old kernel) it is reaped at once if it already ended,
  // else left to the system when this process ends.
  void Adopt(pid_t pid) {
    const int pidfd = PidfdOpen(pid);
    std::lock_guard lock(mutex_);
    if (pidfd < 0 || wake_fd_ < 0) {
      ::waitpid(pid, nullptr, WNOHANG);
      return;
    }
    children_.push_back({pid, pidfd});
    if (!thread_.joinable()) thread_ = std::thread([this] { Loop(); });
    Poke();
  }

  int Running() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(children_.size());
  }
  bool WaitUntilNoneRunning(Millis timeout) {
    std::unique_lock lock(mutex_);
    return reaped_.wait_for(lock, timeout, [this] { return children_.empty(); });
  }

 private:
  struct Child {
    pid_t pid;
    int pidfd;
  };

  void Poke() {
    if (wake_fd_ < 0) return;
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto n = ::write(wake_fd_, &one, sizeof one);
  }

  void Loop() {
    std::vector<pollfd> fds;
    for (;;) {
      {
        std::lock_guard lock(mutex_);
        if (stopping_) return;
        fds.assign(1, pollfd{wake_fd_, POLLIN, 0});
        for (const Child& c : children_) fds.push_back(pollfd{c.pidfd, POLLIN, 0});
      }
      if (::poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) return;
      if ((fds[0].revents & POLLIN) != 0) {
        std::uint64_t count = 0;
        [[maybe_unused]] const auto n = ::read(wake_fd_, &count, sizeof count);
      }
      std::lock_guard lock(mutex_);
      for (std::size_t i = 1; i < fds.size(); ++i) {
        if ((fds[i].revents & (POLLIN | POLLHUP | POLLERR)) == 0) continue;
        for (auto it = children_.begin(); it != children_.end(); ++it) {
          if (it->pidfd != fds[i].fd) continue;
          ::waitpid(it->pid, nullptr, 0);
          ::close(it->pidfd);
          children_.erase(it);
          reaped_.notify_all();
          break;
        }
      }
    }
  }

  const int wake_fd_;
  mutable std::mutex mutex_;
  std::condition_variable reaped_;
  std::vector<Child> children_;
  bool stopping_ = false;
  std::thread thread_;
};

SystemShell::SystemShell() : reaper_(std::make_unique<Reaper>()) {}
SystemShell::~SystemShell() = default;

bool SystemShell::Start(const std::vector<std::string>& argv, std::string* error) { return StartIn(argv, {}, error); }

bool SystemShell::StartIn(const std::vector<std::string>& argv, const std::string& folder, std::string* error) {
  if (argv.empty() || argv[0].empty()) {
    if (error != nullptr) *error = "no program named";
    return false;
  }
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  // The child gets the default signal mask and handlers, not the program's.
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSID);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  pid_t pid = 0;
  const int rc = ::posix_spawnp(&pid, argv[0].c_str(), &actions, &attr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  if (rc != 0) {
    if (error != nullptr) *error = argv[0] + ": " + std::strerror(rc);
    return false;
  }
  reaper_->Adopt(pid);
  return true;
}

int SystemShell::Running() const { return reaper_->Running(); }
bool SystemShell::WaitUntilNoneRunning(Millis timeout) { return reaper_->WaitUntilNoneRunning(timeout); }

std::string FindProgram(std::string_view name) {
  if (name.empty()) return {};
  if (name.find('/') != std::string_view::npos)
    return ::access(std::string(name).c_str(), X_OK) == 0 ? std::string(name) : std::string();
  const std::string path = GetEnv("PATH").value_or("/usr/local/bin:/usr/bin:/bin");
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t end = std::min(path.find(':', start), path.size());
    std::string dir = path.substr(start, end - start);
    if (dir.empty()) dir = ".";
    const std::string candidate = dir + "/" + std::string(name);
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return {};
}

}  // namespace brimvex::platform
