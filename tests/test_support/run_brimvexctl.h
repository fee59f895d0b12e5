#pragma once
// Runs the built brimvexctl (BRIMVEXCTL_PATH) as its own process with $XDG_RUNTIME_DIR pointed at
// a test folder, and collects its exit code, standard output and standard error.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "test_support/temp_dir.h"

extern char** environ;

namespace brimvex::test {

struct CtlRun {
  int exit_code = -1;
  std::string out;
  std::string err;
};

inline CtlRun RunBrimvexctl(const TempDir& runtime, std::vector<std::string> args) {
  std::vector<std::string> env{"XDG_RUNTIME_DIR=" + runtime.folder()};
  for (char** e = environ; *e != nullptr; ++e)
    if (!std::string_view(*e).starts_with("XDG_RUNTIME_DIR=")) env.emplace_back(*e);
  args.insert(args.begin(), BRIMVEXCTL_PATH);
  auto pointers = [](std::vector<std::string>& v) {
    std::vector<char*> p;
    for (auto& s : v) p.push_back(s.data());
    p.push_back(nullptr);
    return p;
  };
  auto envp = pointers(env);
  auto argvp = pointers(args);
  const std::string out_path = runtime.folder() + "stdout.txt";
  const std::string err_path = runtime.folder() + "stderr.txt";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = 0;
  CtlRun run;
  const int spawned = posix_spawn(&pid, args[0].c_str(), &actions, nullptr, argvp.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return run;
  int status = 0;
  if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.exit_code = WEXITSTATUS(status);
  auto slurp = [](const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  };
  run.out = slurp(out_path);
  run.err = slurp(err_path);
  return run;
}

}  // namespace brimvex::test
