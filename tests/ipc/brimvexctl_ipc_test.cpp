// brimvexctl activate and send, run as a separate process against a hub in the test.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "ipc/inbox.h"
#include "platform/ipc_hub.h"
#include "test_support/temp_dir.h"

extern char** environ;

namespace brimvex::platform {
namespace {

struct CtlRun {
  int exit_code = -1;
  std::string err;
};

// Runs brimvexctl with $XDG_RUNTIME_DIR set to `runtime_dir`.
CtlRun RunCtl(const test::TempDir& runtime_dir, const std::vector<std::string>& args) {
  std::vector<std::string> env{"XDG_RUNTIME_DIR=" + runtime_dir.folder()};
  for (char** e = environ; *e != nullptr; ++e) {
    if (std::string_view(*e).starts_with("XDG_RUNTIME_DIR=")) continue;
    env.emplace_back(*e);
  }
  std::vector<std::string> argv{BRIMVEXCTL_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  auto pointers = [](std::vector<std::string>& v) {
    std::vector<char*> p;
    for (auto& s : v) p.push_back(s.data());
    p.push_back(nullptr);
    return p;
  };
  auto envp = pointers(env);
  auto argvp = pointers(argv);
  const std::string err_path = runtime_dir.folder() + "stderr.txt";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = 0;
  CtlRun run;
  const int spawned = posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, argvp.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return run;
  int status = 0;
  if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) run.exit_code = WEXITSTATUS(status);
  std::ifstream in(err_path);
  std::ostringstream text;
  text << in.rdbuf();
  run.err = text.str();
  return run;
}

TEST(Brimvexctl, ActivateAndSendFailClearlyWithoutARunningInstance) {
  test::TempDir runtime;
  for (const auto& args :
       {std::vector<std::string>{"activate"}, std::vector<std::string>{"send", "Brimvex", "0", "1"}}) {
    const CtlRun run = RunCtl(runtime, args);
    EXPECT_EQ(run.exit_code, 1) << args[0];
    EXPECT_NE(run.err.find("Brimvex is not running"), std::string::npos) << run.err;
  }
}

TEST(Brimvexctl, ActivateAndSendDeliverToTheRunningInstance) {
  test::TempDir runtime;
  test::Inbox inbox;
  IpcHub hub(runtime.folder() + "brimvex/");
  ASSERT_TRUE(hub.Listen("Brimvex", inbox.Handler()));
  const struct {
    std::vector<std::string> args;
    IpcMessage expected;
  } cases[] = {
      {{"activate"}, {"Brimvex", 0, 1, ""}},
      {{"send", "{4695579F-999A-41d4-9FAF-EFFCE93EBF17}", "1", "0"},
       {"{4695579F-999A-41d4-9FAF-EFFCE93EBF17}", 1, 0, ""}},
      {{"send", "Game_Start"}, {"Game_Start", 0, 0, ""}},
      {{"send", "Game_End", "0x1F", "-2"}, {"Game_End", 31, -2, ""}},
      {{"send", "X", "0xFFFFFFFFFFFFFFFF", "0xFFFFFFFFFFFFFFFF"}, {"X", 0xFFFFFFFFFFFFFFFFULL, -1, ""}},
  };
  std::vector<IpcMessage> expected;
  for (const auto& c : cases) {
    const CtlRun run = RunCtl(runtime, c.args);
    EXPECT_EQ(run.exit_code, 0) << c.args.back() << ": " << run.err;
    expected.push_back(c.expected);
  }
  // Rejected before anything is sent.
  for (const auto& bad : {"12z", "0x", "-0x1", "99999999999999999999"}) {
    const CtlRun run = RunCtl(runtime, {"send", "Game_Kill", bad});
    EXPECT_EQ(run.exit_code, 1) << bad;
    EXPECT_NE(run.err.find("not a number"), std::string::npos) << run.err;
  }
  ASSERT_TRUE(hub.Post("Brimvex", {"end", 0, 0, ""}));
  expected.push_back({"end", 0, 0, ""});
  ASSERT_TRUE(inbox.WaitFor(expected.size()));
  EXPECT_EQ(inbox.Messages(), expected);
}

}  // namespace
}  // namespace brimvex::platform
