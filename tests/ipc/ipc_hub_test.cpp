#include "platform/ipc_hub.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>

#include "ipc/inbox.h"
#include "platform/single_instance.h"
#include "platform/trace.h"
#include "test_support/temp_dir.h"

namespace brimvex::platform {
namespace {

namespace fs = std::filesystem;

// A datagram socket bound at `path`, or -1.
int BindAt(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  const int fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

bool SendRaw(const std::string& path, const std::string& bytes) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  const int fd = ::socket(AF_UNIX, SOCK_DGRAM, 0);
  const auto n =
      ::sendto(fd, bytes.data(), bytes.size(), 0, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  ::close(fd);
  return n == static_cast<ssize_t>(bytes.size());
}

// A frame with its fields set freely, for frames the encoder would refuse to make.
std::string RawFrame(std::uint32_t length, std::uint16_t name_length, std::uint32_t payload_length,
                     const std::string& body) {
  std::string f = "BVX1";
  auto put = [&](std::uint64_t v, int n) {
    for (int i = 0; i < n; ++i) f.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  put(length, 4);
  put(name_length, 2);
  put(0, 2);
  put(1, 8);
  put(2, 8);
  put(payload_length, 4);
  return f + body;
}

class IpcHubTest : public ::testing::Test {
 protected:
  // The hub folder inside a private temporary folder, as $XDG_RUNTIME_DIR/brimvex/ would be.
  std::string HubDir() const { return root_.folder() + "brimvex/"; }
  test::TempDir root_;
};

TEST_F(IpcHubTest, PostReachesTheNamedPeerWithEveryField) {
  test::Inbox brimvex_inbox, other_inbox;
  IpcHub brimvex(HubDir()), other(HubDir()), sender(HubDir());
  ASSERT_TRUE(brimvex.Listen("Brimvex", brimvex_inbox.Handler()));
  ASSERT_TRUE(other.Listen("VudiRuvu", other_inbox.Handler()));

  const IpcMessage activate{"Brimvex", 0, 1, ""};
  const IpcMessage reply{"{4695579F-999A-41d4-9FAF-EFFCE93EBF18}", 0xC000, -1, std::string(1024, '\x05')};
  EXPECT_TRUE(sender.Post("Brimvex", activate));
  EXPECT_TRUE(brimvex.Post("VudiRuvu", reply));
  ASSERT_TRUE(brimvex_inbox.WaitFor(1));
  ASSERT_TRUE(other_inbox.WaitFor(1));
  EXPECT_EQ(brimvex_inbox.Messages(), std::vector<IpcMessage>{activate});
  EXPECT_EQ(other_inbox.Messages(), std::vector<IpcMessage>{reply});

  EXPECT_EQ(sender.PostTo("Nobody", activate), IpcHub::Delivery::kNoPeer);
  EXPECT_EQ(sender.PostTo("Brimvex", {"", 0, 0, ""}), IpcHub::Delivery::kInvalid);
}

TEST_F(IpcHubTest, BroadcastReachesEveryPeerButItsSender) {
  test::Inbox a_inbox, b_inbox, c_inbox;
  IpcHub a(HubDir()), b(HubDir()), c(HubDir());
  ASSERT_TRUE(a.Listen("Brimvex", a_inbox.Handler()));
  ASSERT_TRUE(b.Listen("VudiRuvu", b_inbox.Handler()));
  ASSERT_TRUE(c.Listen("AudioRecord", c_inbox.Handler()));
  const IpcMessage state{"{4695579F-999A-41d4-9FAF-EFFCE93EBF16}", 1, 1, ""};
  EXPECT_EQ(a.Broadcast(state), 2);
  ASSERT_TRUE(b_inbox.WaitFor(1));
  ASSERT_TRUE(c_inbox.WaitFor(1));
  // A post to ourselves goes behind the broadcast in our own queue: once it is here, nothing else came.
  ASSERT_TRUE(a.Post("Brimvex", {"marker", 0, 0, ""}));
  ASSERT_TRUE(a_inbox.WaitFor(1));
  EXPECT_EQ(a_inbox.Messages().front().name, "marker");
  EXPECT_EQ(b_inbox.Messages(), std::vector<IpcMessage>{state});
  EXPECT_EQ(c_inbox.Messages(), std::vector<IpcMessage>{state});
  // A hub that does not listen reaches them all.
  IpcHub outsider(HubDir());
  EXPECT_EQ(outsider.Broadcast(state), 3);
}

TEST_F(IpcHubTest, PostAndBroadcastFromAnotherProcess) {
  test::Inbox a_inbox, b_inbox;
  IpcHub a(HubDir()), b(HubDir());
  ASSERT_TRUE(a.Listen("Brimvex", a_inbox.Handler()));
  ASSERT_TRUE(b.Listen("VudiRuvu", b_inbox.Handler()));
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // No threads here: the child only sends. Exit code: peers reached, 100 on a failed post.
    IpcHub hub(HubDir());
    if (!hub.Post("VudiRuvu", {"Game_Start", 3, -3, "payload"})) ::_exit(100);
    ::_exit(hub.Broadcast({"Game_End", 0, 0, ""}));
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 2);
  ASSERT_TRUE(a_inbox.WaitFor(1));
  ASSERT_TRUE(b_inbox.WaitFor(2));
  EXPECT_EQ(a_inbox.Messages(), (std::vector<IpcMessage>{{"Game_End", 0, 0, ""}}));
  EXPECT_EQ(b_inbox.Messages(), (std::vector<IpcMessage>{{"Game_Start", 3, -3, "payload"}, {"Game_End", 0, 0, ""}}));
}

TEST_F(IpcHubTest, BadFramesAreDroppedAndTracedWhileTheHubKeepsWorking) {
  const std::string good_body = "Brimvex";
  const struct {
    const char* what;
    std::string datagram;
    const char* trace;
  } cases[] = {
      {"over the limit", std::string(kMaxIpcFrameBytes + 1, 'x'), "dropped a frame of 65537 bytes"},
      {"far over the limit", std::string(3 * kMaxIpcFrameBytes, 'x'), "dropped a frame of 196608 bytes"},
      {"shorter than a header", "hello", "malformed frame: short frame"},
      {"bad magic", "XXXX" + RawFrame(39, 7, 0, good_body).substr(4), "bad magic"},
      {"length field too big", RawFrame(4000, 7, 0, good_body), "length fields do not match"},
      {"payload longer than the frame", RawFrame(39, 7, 100, good_body), "length fields do not match"},
      {"empty name", RawFrame(39, 0, 7, good_body), "empty message name"},
      {"name over 256 bytes", RawFrame(32 + 300, 300, 0, std::string(300, 'n')), "message name of 300 bytes"},
      {"NUL in the name", RawFrame(39, 7, 0, std::string("Brim\0ex", 7)), "NUL in message name"},
  };
  test::Inbox inbox;
  IpcHub hub(HubDir());
  ASSERT_TRUE(hub.Listen("Brimvex", inbox.Handler()));
  const std::string socket = IpcHub::SocketPath(HubDir(), "Brimvex");
  ASSERT_TRUE(DecodeIpcFrame(RawFrame(39, 7, 0, good_body)));  // the base frame itself is fine
  std::size_t expected = 0;
  for (const auto& c : cases) {
    TraceCapture traces;
    ASSERT_TRUE(SendRaw(socket, c.datagram)) << c.what;
    ASSERT_TRUE(hub.Post("Brimvex", {"after", expected, 0, ""}));
    ASSERT_TRUE(inbox.WaitFor(++expected)) << c.what;
    EXPECT_EQ(traces.Count("ipc: dropped"), 1u) << c.what;
    EXPECT_TRUE(traces.Contains(c.trace)) << c.what;
  }
  for (const auto& m : inbox.Messages()) EXPECT_EQ(m.name, "after");
}

TEST_F(IpcHubTest, CreatesItsFolderClosedToOthers) {
  IpcHub hub(HubDir());
  ASSERT_TRUE(hub.ready()) << hub.error();
  struct stat st {};
  ASSERT_EQ(::lstat(HubDir().c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(IpcHubTest, RefusesAFolderThatOthersCouldUse) {
  const struct {
    const char* what;
    std::function<void(const fs::path&)> make;
    const char* error;
  } cases[] = {
      {"group writable",
       [](const fs::path& p) {
         fs::create_directory(p);
         ::chmod(p.c_str(), 0770);
       },
       "mode 0770"},
      {"world readable",
       [](const fs::path& p) {
         fs::create_directory(p);
         ::chmod(p.c_str(), 0755);
       },
       "mode 0755"},
      {"symbolic link",
       [](const fs::path& p) {
         fs::create_directory(p.string() + "-real");
         ::chmod((p.string() + "-real").c_str(), 0700);
         fs::create_directory_symlink(p.string() + "-real", p);
       },
       "symbolic link"},
      {"a plain file", [](const fs::path& p) { std::ofstream(p.string()) << "x"; }, "not a folder"},
      {"another owner",
       [](const fs::path& p) {
         fs::create_directory(p);
         ::chmod(p.c_str(), 0700);
         EXPECT_EQ(::chown(p.c_str(), 65534, 65534), 0);
       },
       "owned by user"},
  };
  for (const auto& c : cases) {
    if (std::string(c.what) == "another owner" && ::geteuid() != 0) continue;  // only root can give a folder away
    test::TempDir root;
    const fs::path dir = root.path() / "brimvex";
    c.make(dir);
    TraceCapture traces;
    IpcHub hub(dir.string());
    EXPECT_FALSE(hub.ready()) << c.what;
    EXPECT_NE(hub.error().find(c.error), std::string::npos) << c.what << ": " << hub.error();
    EXPECT_NE(hub.error().find(dir.string()), std::string::npos) << c.what;
    EXPECT_TRUE(traces.Contains("refus") || traces.Contains("not a folder")) << c.what;
    test::Inbox inbox;
    EXPECT_FALSE(hub.Listen("Brimvex", inbox.Handler())) << c.what;
    EXPECT_FALSE(hub.Post("Brimvex", {"Brimvex", 0, 1, ""})) << c.what;
    SingleInstanceLock::Status status = SingleInstanceLock::Status::kAcquired;
    EXPECT_FALSE(SingleInstanceLock::Acquire("Brimvex", dir.string(), &status)) << c.what;
    EXPECT_EQ(status, SingleInstanceLock::Status::kFailed) << c.what;
  }
}

TEST_F(IpcHubTest, StaleSocketOfADeadPeerIsRemoved) {
  IpcHub hub(HubDir());
  ASSERT_TRUE(hub.ready());
  // A peer that died without cleaning up leaves its socket file behind, bound to nobody.
  const auto leave_stale = [&](const std::string& name) {
    const int fd = BindAt(IpcHub::SocketPath(HubDir(), name));
    ASSERT_GE(fd, 0);
    ::close(fd);
    ASSERT_TRUE(fs::exists(IpcHub::SocketPath(HubDir(), name)));
  };
  leave_stale("Dead");
  TraceCapture traces;
  EXPECT_EQ(hub.PostTo("Dead", {"Brimvex", 0, 1, ""}), IpcHub::Delivery::kNoPeer);
  EXPECT_FALSE(fs::exists(IpcHub::SocketPath(HubDir(), "Dead")));
  EXPECT_TRUE(traces.Contains("removed the stale socket"));

  leave_stale("Dead");
  EXPECT_EQ(hub.Broadcast({"Brimvex", 0, 1, ""}), 0);
  EXPECT_FALSE(fs::exists(IpcHub::SocketPath(HubDir(), "Dead")));

  leave_stale("Brimvex");
  test::Inbox inbox;
  ASSERT_TRUE(hub.Listen("Brimvex", inbox.Handler()));  // takes the name over
  ASSERT_TRUE(hub.Post("Brimvex", {"Brimvex", 0, 1, ""}));
  ASSERT_TRUE(inbox.WaitFor(1));
}

TEST_F(IpcHubTest, AStuckPeerCannotHangTheSender) {
  // Bound but never read: its queue fills and a sender gives up after its time-out.
  IpcHub sender(HubDir());
  ASSERT_TRUE(sender.ready());
  const int stuck = BindAt(IpcHub::SocketPath(HubDir(), "Stuck"));
  ASSERT_GE(stuck, 0);
  sender.set_send_timeout_ms(20);
  TraceCapture traces;
  IpcHub::Delivery last = IpcHub::Delivery::kDelivered;
  for (int i = 0; i < 10000 && last == IpcHub::Delivery::kDelivered; ++i) {
    last = sender.PostTo("Stuck", {"Game_Start", 0, 0, std::string(1024, 'p')});
  }
  EXPECT_EQ(last, IpcHub::Delivery::kTimedOut);
  EXPECT_TRUE(traces.Contains("did not take the frame within 20 ms"));
  ::close(stuck);
}

TEST_F(IpcHubTest, ANameBelongsToOneLivePeerAtATime) {
  test::Inbox first_inbox, second_inbox;
  IpcHub first(HubDir()), second(HubDir());
  ASSERT_TRUE(first.Listen("Brimvex", first_inbox.Handler()));
  EXPECT_FALSE(first.Listen("Other", first_inbox.Handler()));  // one name per hub
  EXPECT_FALSE(second.Listen("Brimvex", second_inbox.Handler()));
  first.Stop();
  first.Stop();
  EXPECT_FALSE(fs::exists(IpcHub::SocketPath(HubDir(), "Brimvex")));
  ASSERT_TRUE(second.Listen("Brimvex", second_inbox.Handler()));
  ASSERT_TRUE(first.Post("Brimvex", {"Brimvex", 0, 0, ""}));
  ASSERT_TRUE(second_inbox.WaitFor(1));
  EXPECT_TRUE(first_inbox.Messages().empty());
}

TEST_F(IpcHubTest, AnyUtf8NameIsAPeerName) {
  const std::string names[] = {
      "VudiRuvu", "灯光控制", "../../etc/passwd", "a b%20c.sock", "%41", "A", std::string(200, 'x') + "设备"};
  test::Inbox inbox;
  std::vector<std::unique_ptr<IpcHub>> hubs;
  for (const auto& name : names) {
    hubs.push_back(std::make_unique<IpcHub>(HubDir()));
    ASSERT_TRUE(hubs.back()->Listen(name, inbox.Handler())) << name;
  }
  // One socket each, all directly in the folder: no name escapes it or shares another's file.
  std::size_t sockets = 0;
  for (const auto& entry : fs::recursive_directory_iterator(HubDir())) {
    if (entry.path().extension() == ".sock") ++sockets;
    EXPECT_FALSE(entry.is_directory()) << entry.path();
  }
  EXPECT_EQ(sockets, std::size(names));
  IpcHub sender(HubDir());
  for (std::size_t i = 0; i < std::size(names); ++i) {
    ASSERT_TRUE(sender.Post(names[i], {names[i], i, 0, ""})) << names[i];
    ASSERT_TRUE(inbox.WaitFor(i + 1));
    EXPECT_EQ(inbox.Messages().back().name, names[i]);
  }
}

}  // namespace
}  // namespace brimvex::platform
