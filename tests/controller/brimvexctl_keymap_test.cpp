// brimvexctl keymap as its own process against stand-ins for the program and the emulator that
// answer with the words they were sent: the peer each form goes to, and malformed words, which
// send nothing.
#include <gtest/gtest.h>

#include <atomic>

#include "app/control_request.h"
#include "emulator/emulator_control.h"
#include "platform/ipc_hub.h"
#include "test_support/run_brimvexctl.h"
#include "test_support/temp_dir.h"

namespace brimvex::app {
namespace {

using platform::IpcMessage;

TEST(BrimvexctlKeymap, WordsGoToTheProgramOrTheEmulator) {
  test::TempDir runtime;
  platform::IpcHub program(runtime.folder() + "brimvex/");
  platform::IpcHub emulated(runtime.folder() + "brimvex/");
  std::atomic<int> requests{0};
  // Each peer answers with its name and the words after the verb; "0xbad" fails as a refused
  // write would.
  auto answer_as = [&](platform::IpcHub& hub, const std::string& peer) {
    return [&hub, &requests, peer](const IpcMessage& m) {
      const auto request = DecodeRequest(m);
      if (!request) return;
      ++requests;
      ControlAnswer answer{kExitDone, peer};
      for (std::size_t i = 1; i < request->words.size(); ++i) answer.text += " " + request->words[i];
      answer.text += "\n";
      if (request->words.back() == "0xbad") answer.exit_code = kExitFailed;
      hub.Post(request->reply_to, EncodeAnswer(request->id, answer));
    };
  };
  ASSERT_TRUE(program.Listen("Brimvex", answer_as(program, "Brimvex")));
  ASSERT_TRUE(emulated.Listen(std::string(emulator::kEmulatorPeer), answer_as(emulated, "emulator")));
  const struct {
    std::vector<std::string> args;
    int exit_code;
    std::string out;
  } cases[] = {
      {{"keymap", "keyboard"}, 0, "Brimvex keyboard\n"},
      {{"keymap", "keyboard", "--emulate"}, 0, "emulator keyboard\n"},
      {{"keymap", "--emulate", "keyboard"}, 0, "emulator keyboard\n"},
      {{"keymap", "keyboard", "set", "64", "0x200005"}, 0, "Brimvex keyboard set 64 0x200005\n"},
      {{"keymap", "keyboard", "set", "125", "LCtrl"}, 0, "Brimvex keyboard set 125 LCtrl\n"},
      {{"keymap", "keyboard", "set", "0", "0xbad"}, 1, ""},
  };
  for (const auto& c : cases) {
    const test::CtlRun run = test::RunBrimvexctl(runtime, c.args);
    EXPECT_EQ(run.exit_code, c.exit_code) << c.args.back() << ": " << run.err;
    EXPECT_EQ(run.out, c.out) << c.args.back();
  }
  const int sent = requests.load();
  const std::vector<std::vector<std::string>> malformed = {
      {"keymap"},
      {"keymap", "mouse"},
      {"keymap", "keyboard", "set", "126", "B"},
      {"keymap", "keyboard", "set", "-1", "B"},
      {"keymap", "keyboard", "set", "x", "B"},
      {"keymap", "keyboard", "set", "1"},
      {"keymap", "keyboard", "get", "1", "B"},
      {"keymap", "keyboard", "set", "1", "B", "--emulate"},
  };
  for (const auto& args : malformed) EXPECT_EQ(test::RunBrimvexctl(runtime, args).exit_code, 2) << args.size();
  EXPECT_EQ(requests.load(), sent) << "nothing sent for malformed words";
  program.Stop();
  emulated.Stop();
}

}  // namespace
}  // namespace brimvex::app
