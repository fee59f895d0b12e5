// brimvexctl profile as its own process against a stand-in for the program that answers with
// the words it was sent: the words on the wire, file names made absolute, and the exit codes.
#include <gtest/gtest.h>
#include <unistd.h>

#include "app/control_request.h"
#include "platform/ipc_hub.h"
#include "test_support/run_brimvexctl.h"
#include "test_support/temp_dir.h"

namespace brimvex::app {
namespace {

using platform::IpcMessage;

TEST(BrimvexctlProfile, SendsTheWordsAndPrintsTheAnswer) {
  test::TempDir runtime;
  {
    const test::CtlRun run = test::RunBrimvexctl(runtime, {"profile", "list"});
    EXPECT_EQ(run.exit_code, 1);
    EXPECT_NE(run.err.find("Brimvex is not running"), std::string::npos) << run.err;
  }
  platform::IpcHub hub(runtime.folder() + "brimvex/");
  // Answers with the words after the verb; "refuse" as the action gives exit 3.
  ASSERT_TRUE(hub.Listen("Brimvex", [&hub](const IpcMessage& m) {
    const auto request = DecodeRequest(m);
    if (!request) return;
    ControlAnswer answer;
    for (std::size_t i = 1; i < request->words.size(); ++i) answer.text += request->words[i] + "\n";
    if (request->words.size() > 2 && request->words[2] == "delete") answer.exit_code = kExitRefused;
    hub.Post(request->reply_to, EncodeAnswer(request->id, answer));
  }));
  char cwd[4096];
  ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
  const struct {
    std::vector<std::string> args;
    int exit_code;
    std::string out;
  } cases[] = {
      {{"profile", "list"}, 0, "keyboard\nlist\n"},
      {{"profile", "--device", "mouse", "select", "Game 2"}, 0, "mouse\nselect\nGame 2\n"},
      {{"profile", "export", "p", "rel/x.json"}, 0, "keyboard\nexport\np\n" + std::string(cwd) + "/rel/x.json\n"},
      {{"profile", "--device", "headset", "import", "/abs/y.json"}, 0, "headset\nimport\n/abs/y.json\n"},
      {{"profile", "delete", "p"}, 3, ""},
      {{"profile"}, 2, ""},
      {{"profile", "rename", "a"}, 2, ""},
      {{"profile", "--device", "toaster", "list"}, 2, ""},
      {{"profile", "select"}, 2, ""},
      {{"profile", "list", "extra"}, 2, ""},
      {{"profile", "export", "p"}, 2, ""},
  };
  for (const auto& c : cases) {
    const test::CtlRun run = test::RunBrimvexctl(runtime, c.args);
    EXPECT_EQ(run.exit_code, c.exit_code) << c.args.back() << ": " << run.err;
    EXPECT_EQ(run.out, c.out) << c.args.back();
  }
}

}  // namespace
}  // namespace brimvex::app
