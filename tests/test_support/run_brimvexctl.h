#pragma once
// Runs the built brimvexctl (BRIMVEXCTL_PATH) as its own process with $XDG_RUNTIME_DIR pointed at
// a test folder, and collects its exit code, standard output and standard error.
#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "test_support/child_process.h"
#include "test_support/temp_dir.h"

namespace brimvex::test {

struct CtlRun {
  int exit_code = -1;
  std::string out;
  std::string err;
};

inline CtlRun RunBrimvexctl(const TempDir& runtime, std::vector<std::string> args) {
  args.insert(args.begin(), BRIMVEXCTL_PATH);
  const std::string out_path = runtime.folder() + "stdout.txt";
  const std::string err_path = runtime.folder() + "stderr.txt";
  const int out = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  const int err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  CtlRun run;
  const pid_t pid = out >= 0 && err >= 0 ? SpawnChild(args, {"XDG_RUNTIME_DIR=" + runtime.folder()}, out, err) : -1;
  if (out >= 0) ::close(out);
  if (err >= 0) ::close(err);
  if (pid < 0) return run;
  const int code = WaitChild(pid);
  if (code >= 0) run.exit_code = code;
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
