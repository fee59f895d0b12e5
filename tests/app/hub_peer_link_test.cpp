// The single-instance hand-over over the real IPC hub: a second instance finds the lock taken,
// posts "Brimvex" (0, 1) to the running one and ends with 0 without a window; the running one
// traces it and comes to the front.
#include "app/hub_peer_link.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "app/application.h"
#include "platform/paths.h"
#include "platform/registered_messages.h"
#include "platform/trace.h"
#include "platform/ui/headless_frontend.h"
#include "test_support/temp_dir.h"

namespace brimvex::app {
namespace {

std::string Resources() { return platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources") + "/"; }

TEST(HubPeerLinkTest, LockAndPostBetweenTwoLinks) {
  test::TempDir dir;
  const std::string folder = dir.folder() + "ipc/";
  HubPeerLink first(folder);
  ASSERT_TRUE(first.AcquireInstanceLock("Brimvex"));
  platform::Event got;
  PeerMessage seen;
  ASSERT_TRUE(first.Listen("Brimvex", [&](const PeerMessage& m) {
    seen = m;
    got.Set();
  }));
  HubPeerLink second(folder);
  EXPECT_FALSE(second.AcquireInstanceLock("Brimvex"));
  EXPECT_TRUE(second.Post("Brimvex", PeerMessage{"Brimvex", 0, 1, {}}));
  ASSERT_TRUE(got.Wait(platform::Millis(5000)));
  EXPECT_EQ(seen.name, "Brimvex");
  EXPECT_EQ(seen.wparam, 0u);
  EXPECT_EQ(seen.lparam, 1);
  EXPECT_FALSE(second.Post("NoSuchPeer", PeerMessage{"Brimvex", 0, 1, {}}));
  first.StopListening();
  first.ReleaseInstanceLock();
  HubPeerLink third(folder);
  EXPECT_TRUE(third.AcquireInstanceLock("Brimvex"));
}

TEST(HubPeerLinkTest, SecondInstanceHandsOverToTheRunningOne) {
  test::TempDir dir;
  const std::string folder = dir.folder() + "ipc/";
  platform::TraceCapture traces;
  std::atomic<ui::HeadlessFrontend*> running{nullptr};
  std::atomic<bool> listening{false};
  int first_code = -1;
  std::thread first([&] {
    HubPeerLink link(folder);
    ApplicationSetup setup{Resources(),
                           [&] {
                             auto f = std::make_unique<ui::HeadlessFrontend>();
                             // The first task of the loop: by then the listener is up.
                             f->HeadlessLoop().Post([&] { listening = true; });
                             running = f.get();
                             return f;
                           },
                           &link};
    first_code = RunApplication(setup);
  });
  while (!listening) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  HubPeerLink second_link(folder);
  bool second_made_frontend = false;
  ApplicationSetup second{Resources(),
                          [&] {
                            second_made_frontend = true;
                            return std::unique_ptr<ui::Frontend>();
                          },
                          &second_link};
  EXPECT_EQ(RunApplication(second), 0);
  EXPECT_FALSE(second_made_frontend);
  const std::string handed_over = "软件标示 " + std::to_string(platform::RegisterWindowMessage("Brimvex")) + "，0d1d";
  for (int i = 0; i < 500 && !traces.Contains(handed_over); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(traces.Contains(handed_over));
  running.load()->HeadlessLoop().Post([&] { running.load()->RequestTerminate(); });
  first.join();
  EXPECT_EQ(first_code, 0);
  EXPECT_TRUE(traces.Contains("退出测试"));
}

}  // namespace
}  // namespace brimvex::app
