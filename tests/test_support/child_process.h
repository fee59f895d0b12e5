#pragma once
// Starting a program as a child process with a few environment variables changed, its standard
// output and error sent where the test wants them (a pipe, a file, or /dev/null).
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <string_view>
#include <vector>

extern char** environ;

namespace brimvex::test {

// The process's environment with `overrides` ("NAME=value") put in place of the same names.
inline std::vector<std::string> EnvironmentWith(const std::vector<std::string>& overrides) {
  std::vector<std::string> env = overrides;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string_view entry(*e);
    bool replaced = false;
    for (const auto& o : overrides) replaced |= entry.starts_with(o.substr(0, o.find('=') + 1));
    if (!replaced) env.emplace_back(entry);
  }
  return env;
}

// The child's pid, or -1. Output descriptors below 0 go to /dev/null.
inline pid_t SpawnChild(const std::vector<std::string>& args, const std::vector<std::string>& env_overrides,
                        int stdout_fd = -1, int stderr_fd = -1) {
  std::vector<std::string> env = EnvironmentWith(env_overrides);
  std::vector<std::string> argv_strings = args;
  auto pointers = [](std::vector<std::string>& v) {
    std::vector<char*> p;
    for (auto& s : v) p.push_back(s.data());
    p.push_back(nullptr);
    return p;
  };
  auto argv = pointers(argv_strings);
  auto envp = pointers(env);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  for (const auto& [fd, target] : {std::pair{stdout_fd, 1}, std::pair{stderr_fd, 2}}) {
    if (fd >= 0) {
      posix_spawn_file_actions_adddup2(&actions, fd, target);
    } else {
      posix_spawn_file_actions_addopen(&actions, target, "/dev/null", O_WRONLY, 0);
    }
  }
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

// Waits for the child; its exit code, or -signal when a signal ended it.
inline int WaitChild(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1000;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

}  // namespace brimvex::test
