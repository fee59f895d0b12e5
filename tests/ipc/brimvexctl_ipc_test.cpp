// brimvexctl activate and send, run as a separate process against a hub in the test.
#include <gtest/gtest.h>

#include <vector>

#include "ipc/inbox.h"
#include "platform/ipc_hub.h"
#include "test_support/run_brimvexctl.h"
#include "test_support/temp_dir.h"

namespace brimvex::platform {
namespace {

using test::CtlRun;

CtlRun RunCtl(const test::TempDir& runtime, const std::vector<std::string>& args) {
  return test::RunBrimvexctl(runtime, args);
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
    EXPECT_EQ(run.exit_code, 2) << bad;
    EXPECT_NE(run.err.find("not a number"), std::string::npos) << run.err;
  }
  ASSERT_TRUE(hub.Post("Brimvex", {"end", 0, 0, ""}));
  expected.push_back({"end", 0, 0, ""});
  ASSERT_TRUE(inbox.WaitFor(expected.size()));
  EXPECT_EQ(inbox.Messages(), expected);
}

}  // namespace
}  // namespace brimvex::platform
