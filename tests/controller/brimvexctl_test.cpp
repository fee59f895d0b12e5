// brimvexctl's words for other programs' messages, each run as its own process against a test
// peer on a hub in a test folder.
#include <gtest/gtest.h>

#include <fstream>

#include "app/app_messages.h"
#include "app/device_list_block.h"
#include "ipc/inbox.h"
#include "platform/ipc_hub.h"
#include "test_support/run_brimvexctl.h"
#include "test_support/temp_dir.h"

namespace brimvex::app {
namespace {

using platform::IpcMessage;
using test::CtlRun;

class BrimvexctlWords : public ::testing::Test {
 protected:
  std::string Hub() const { return runtime_.folder() + "brimvex/"; }
  CtlRun Run(std::vector<std::string> args) { return test::RunBrimvexctl(runtime_, std::move(args)); }
  test::TempDir runtime_;
};

TEST_F(BrimvexctlWords, WithoutARunningInstanceEachExits1WithTheReason) {
  for (const auto& args : {std::vector<std::string>{"light-control", "on"}, {"game", "start"}, {"devices"}}) {
    const CtlRun run = Run(args);
    EXPECT_EQ(run.exit_code, 1) << args[0];
    EXPECT_NE(run.err.find("Brimvex is not running"), std::string::npos) << run.err;
  }
}

TEST_F(BrimvexctlWords, LightControlAndGameEventsPostTheirMessages) {
  test::Inbox inbox;
  platform::IpcHub hub(Hub());
  ASSERT_TRUE(hub.Listen("Brimvex", inbox.Handler()));
  const struct {
    std::vector<std::string> args;
    IpcMessage expected;
  } cases[] = {
      {{"light-control", "off"}, {std::string(kLightControlSetName), 1, 0, ""}},
      {{"light-control", "on"}, {std::string(kLightControlSetName), 1, 1, ""}},
      {{"game", "start"}, {"Game_Start", 0, 0, ""}},
      {{"game", "death", "--mode", "255", "--variant", "2"}, {"Game_Death", 2, 255, ""}},
      {{"game", "kill", "--variant", "1", "--mode", "25"}, {"Game_Kill", 1, 25, ""}},
  };
  std::vector<IpcMessage> expected;
  for (const auto& c : cases) {
    const CtlRun run = Run(c.args);
    EXPECT_EQ(run.exit_code, 0) << c.args[1] << ": " << run.err;
    expected.push_back(c.expected);
  }
  // Malformed words exit 2 and send nothing.
  for (const auto& bad : {std::vector<std::string>{"light-control", "maybe"},
                          {"light-control"},
                          {"game", "jump"},
                          {"game", "end", "--mode", "256"},
                          {"game", "end", "--mode", "-1"},
                          {"game", "end", "--variant", "3"},
                          {"devices", "--timeout", "soon"}}) {
    EXPECT_EQ(Run(bad).exit_code, 2) << bad.back();
  }
  ASSERT_TRUE(hub.Post("Brimvex", {"end", 0, 0, ""}));
  expected.push_back({"end", 0, 0, ""});
  ASSERT_TRUE(inbox.WaitFor(expected.size()));
  EXPECT_EQ(inbox.Messages(), expected);
}

TEST_F(BrimvexctlWords, SendCarriesAPayloadFileUpToTheHubLimit) {
  test::Inbox inbox;
  platform::IpcHub hub(Hub());
  ASSERT_TRUE(hub.Listen("Brimvex", inbox.Handler()));
  const auto write = [&](const std::string& name, std::size_t bytes) {
    const std::string path = runtime_.folder() + name;
    std::ofstream(path, std::ios::binary) << std::string(bytes, '\x7f');
    return path;
  };
  const std::string name(kCopyDataName);
  const std::size_t limit = platform::kMaxIpcPayloadBytes + platform::kMaxIpcNameBytes - name.size();
  CtlRun run = Run({"send", name, "12", "1", "--payload-file", write("fits", 2001)});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  run = Run({"send", name, "12", "1", "--payload-file", write("largest", limit)});
  EXPECT_EQ(run.exit_code, 0) << run.err;
  run = Run({"send", name, "12", "1", "--payload-file", write("too-big", limit + 1)});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("frame limits"), std::string::npos) << run.err;
  run = Run({"send", name, "12", "1", "--payload-file", runtime_.folder() + "missing"});
  EXPECT_EQ(run.exit_code, 1);
  ASSERT_TRUE(inbox.WaitFor(2));
  const auto got = inbox.Messages();
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0], (IpcMessage{name, 12, 1, std::string(2001, '\x7f')}));
  EXPECT_EQ(got[1].payload.size(), limit);
}

// A stand-in for the running program that answers the device-list query with `block`, after a
// broadcast the list reader has to skip.
class ListPeer {
 public:
  ListPeer(const std::string& hub_folder, std::string block) : block_(std::move(block)), hub_(hub_folder) {
    listening_ = hub_.Listen("Brimvex", [this](const IpcMessage& m) {
      if (m.name != kDeviceListQueryName || block_.empty()) return;
      hub_.Post("VudiRuvu", {std::string(kLightControlStateName), 1, 1, ""});
      hub_.Post("VudiRuvu", {std::string(kCopyDataName), 99, 4, "not the list"});
      hub_.Post("VudiRuvu", {std::string(kCopyDataName), 99, kDeviceListKind, block_});
    });
  }
  ~ListPeer() { hub_.Stop(); }  // before the block the hub's thread reads goes
  bool listening() const { return listening_; }

 private:
  std::string block_;
  platform::IpcHub hub_;
  bool listening_ = false;
};

TEST_F(BrimvexctlWords, DevicesPrintsOneLinePerRowOfTheList) {
  std::string four = DeviceListBlock();
  {
    ListPeer peer(Hub(), four);
    ASSERT_TRUE(peer.listening());
    const CtlRun run = Run({"devices"});
    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.out, "5e1d:4a10 2 mouse\n05ac:024e 1 keyboard\n5e1d:4b04 3 pad\n0c76:1630 7 headset\n");
  }
  std::string odd_types = four;
  odd_types[4 * 7] = 6;   // the first row's type
  odd_types[4 * 10] = 9;  // the second's
  odd_types[4 * 13] = 42;
  std::string too_many = four;
  too_many[16] = 84;
  const struct {
    std::string block;
    int exit_code;
    const char* says;
  } cases[] = {
      {odd_types, 0, "5e1d:4a10 6 mouse-receiver\n05ac:024e 9 keyboard-receiver\n5e1d:4b04 42 unknown\n"},
      {four.substr(0, 1023), 1, "1023 bytes, not 1024"},
      {too_many, 1, "84 rows"},
      {"", 1, "no answer from Brimvex"},  // the peer stays silent
  };
  for (const auto& c : cases) {
    ListPeer peer(Hub(), c.block);
    // A short wait only where no answer comes; a loaded machine may take longer to answer.
    const CtlRun run = Run({"devices", "--timeout", c.block.empty() ? "300" : "10000"});
    EXPECT_EQ(run.exit_code, c.exit_code) << c.says;
    const std::string& where = c.exit_code == 0 ? run.out : run.err;
    EXPECT_NE(where.find(c.says), std::string::npos) << where;
  }
  // Another program holds the name the list is sent to.
  ListPeer peer(Hub(), four);
  platform::IpcHub other(Hub());
  test::Inbox inbox;
  ASSERT_TRUE(other.Listen("VudiRuvu", inbox.Handler()));
  const CtlRun run = Run({"devices"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("VudiRuvu is taken"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace brimvex::app
