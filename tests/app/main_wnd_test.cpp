// The main window and controller on the headless frontend: start-up, the title-bar clicks, the
// hand-over from a second instance, the tray and its menu, the layout for the screen, and the
// ordered shutdown with its trace lines.
#include "app/main_wnd.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fake_peer_link.h"
#include "platform/paths.h"
#include "platform/registered_messages.h"
#include "platform/trace.h"
#include "platform/ui/controls.h"
#include "platform/ui/headless_frontend.h"

namespace brimvex::app {
namespace {

std::string Resources() { return platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources") + "/"; }

// Index of the first trace line containing `text` at or after `from`, or -1.
int IndexOf(const std::vector<std::string>& lines, std::string_view text, int from = 0) {
  for (int i = from; i < static_cast<int>(lines.size()); ++i) {
    if (lines[static_cast<std::size_t>(i)].find(text) != std::string::npos) return i;
  }
  return -1;
}

class MainWndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(resources_.LoadResource(Resources() + "skin/"));
    resources_.SetLanguageFolder(Resources() + "lang/");
    messages_.app_instance = platform::RegisterWindowMessage(kAppInstanceName);
    RegisterGuidMessages(messages_);
  }
  void Start() {
    wnd_ = std::make_unique<CMainWnd>(frontend_, resources_, factory_, messages_, &peers_);
    std::string error;
    ASSERT_TRUE(wnd_->Create(&error)) << error;
    loop().RunPending();
  }
  platform::HeadlessEventLoop& loop() { return frontend_.HeadlessLoop(); }
  ui::HeadlessWindowHost& host() { return *static_cast<ui::HeadlessWindowHost*>(wnd_->Window().Host()); }
  void Click(const char* name) {
    ui::Control* c = wnd_->Window().FindControl(name);
    ASSERT_NE(c, nullptr) << name;
    ASSERT_TRUE(c->Activate()) << name;
    loop().RunPending();
  }

  platform::TraceCapture traces_;
  ui::HeadlessFrontend frontend_;
  ui::ResourceManager resources_;
  ui::ControlFactory factory_;
  AppMessages messages_;
  FakePeerLink peers_;
  std::unique_ptr<CMainWnd> wnd_;
};

TEST_F(MainWndTest, StartsInOrderAndShowsTheWindowWithTheNoDeviceHint) {
  Start();
  const auto lines = traces_.Lines();
  const int init = IndexOf(lines, "InitWindow");
  const int windowinit = IndexOf(lines, "windowinit", init);
  ASSERT_GE(init, 0);
  EXPECT_GT(windowinit, init);
  EXPECT_EQ(wnd_->Window().ClassName(), "MainWnd");
  EXPECT_EQ(wnd_->Window().Title(), "Brimvex");
  EXPECT_EQ(host().Width(), 800);
  EXPECT_EQ(host().Height(), 572);
  EXPECT_TRUE(frontend_.TrayShown());
  EXPECT_EQ(frontend_.TrayToolTip(), "Brimvex");
  // Light control is announced as on.
  ASSERT_EQ(peers_.broadcasts.size(), 1u);
  EXPECT_EQ(peers_.broadcasts[0].name, kLightControlStateName);
  EXPECT_EQ(peers_.broadcasts[0].wparam, 1u);
  EXPECT_EQ(peers_.broadcasts[0].lparam, 1);
  // The first-pass message brought the window up with the hint.
  EXPECT_TRUE(traces_.Contains("软件标示 " + std::to_string(messages_.app_instance) + "，0d0d"));
  EXPECT_TRUE(host().IsVisible());
  EXPECT_TRUE(wnd_->Window().FindControl("No_device_Link")->IsVisible());
  // In the start-up language (the locale's on a first start).
  EXPECT_EQ(wnd_->Window().FindControl("No_device_Link_text")->Text(), resources_.Text("No_device_Link"));
  EXPECT_TRUE(wnd_->Slots().HoldsThread(kSlotSyncLighting));
  EXPECT_FALSE(wnd_->Slots().HoldsThread(kSlotDiscovery));
  // Timer 1011 lays the window out once, centred.
  const int centred = host().CenterCount();
  loop().AdvanceClock(platform::Millis(100));
  EXPECT_EQ(host().CenterCount(), centred + 1);
  EXPECT_FALSE(loop().HasTimer(wnd_.get(), kTimerLayout));
  EXPECT_TRUE(host().IsVisible());
}

TEST_F(MainWndTest, LayoutTakesTheDpiFromTheMonitor) {
  struct Case {
    int width, height, dpi;
  };
  // Both limits must be exceeded.
  for (const Case c : {Case{1920, 1080, 144}, Case{1366, 768, 96}, Case{1500, 1000, 96}, Case{1600, 960, 96}}) {
    ui::HeadlessFrontend frontend;
    frontend.SetScreen({c.width, c.height});
    CMainWnd wnd(frontend, resources_, factory_, messages_, &peers_);
    ASSERT_TRUE(wnd.Create(nullptr));
    frontend.HeadlessLoop().AdvanceClock(platform::Millis(100));
    EXPECT_EQ(wnd.Dpi(), c.dpi) << c.width << "x" << c.height;
    EXPECT_EQ(wnd.Window().Scale(800), 800 * c.dpi / 96);
  }
}

TEST_F(MainWndTest, DisplayChangeLaysTheWindowOutForTheNewSize) {
  Start();
  loop().AdvanceClock(platform::Millis(100));
  EXPECT_EQ(wnd_->Dpi(), 96);
  frontend_.ChangeDisplay({2560, 1440});
  EXPECT_TRUE(traces_.Contains("显示器分辨率发生变化"));
  EXPECT_EQ(wnd_->Dpi(), 144);
  EXPECT_TRUE(host().IsVisible());
}

TEST_F(MainWndTest, TitleBarClicks) {
  Start();
  Click("minbtn");
  EXPECT_TRUE(host().IsMinimized());
  // closebtn hides to the tray; the program keeps running.
  Click("closebtn");
  EXPECT_FALSE(host().IsVisible());
  EXPECT_FALSE(loop().HasQuit());
  EXPECT_TRUE(frontend_.TrayShown());
  EXPECT_FALSE(wnd_->Destroyed());
  EXPECT_TRUE(traces_.Contains("closebtn"));
}

TEST_F(MainWndTest, WithoutATrayCloseMinimisesInsteadOfHiding) {
  frontend_.SetHasTray(false);
  Start();
  Click("closebtn");
  EXPECT_TRUE(host().IsVisible());
  EXPECT_TRUE(host().IsMinimized());
}

TEST_F(MainWndTest, SecondInstanceBringsTheWindowToTheFront) {
  Start();
  Click("closebtn");
  const int front = host().FrontCount();
  wnd_->HandlePeerMessage(PeerMessage{"Brimvex", 0, 1, {}});
  EXPECT_TRUE(host().IsVisible());
  EXPECT_FALSE(host().IsMinimized());
  EXPECT_EQ(host().FrontCount(), front + 1);
  EXPECT_TRUE(traces_.Contains("软件标示 " + std::to_string(messages_.app_instance) + "，0d1d"));
}

TEST_F(MainWndTest, LightControlSwitchAndSetMessage) {
  Start();
  ASSERT_TRUE(resources_.LoadLanguage("lan_cn.xml"));
  auto* status = wnd_->Window().FindControl("control_light_status");
  Click("control_light_status");
  EXPECT_EQ(wnd_->LightControl(), 0);
  EXPECT_EQ(status->Text(), "不控制灯光");
  EXPECT_EQ(peers_.broadcasts.back().lparam, 0);
  struct Case {
    std::uint64_t wparam;
    std::int64_t lparam;
    int expected;
  };
  // Only wParam 1 counts.
  for (const Case c : {Case{1, 1, 1}, Case{0, 0, 1}, Case{1, 0, 0}, Case{2, 1, 0}, Case{1, 7, 0}}) {
    wnd_->HandleMessage(messages_.light_control_set, c.wparam, c.lparam);
    EXPECT_EQ(wnd_->LightControl(), c.expected) << c.wparam << "," << c.lparam;
  }
  EXPECT_EQ(status->Text(), "不控制灯光");
  // The text follows a language switch.
  ASSERT_TRUE(resources_.LoadLanguage("lan_en.xml"));
  wnd_->Window().ReloadText();
  EXPECT_EQ(status->Text(), "Lights left alone");
}

TEST_F(MainWndTest, TrayLeftClickTogglesTheWindow) {
  Start();
  wnd_->OnTrayLeftUp();
  EXPECT_FALSE(host().IsVisible());
  wnd_->OnTrayLeftUp();
  EXPECT_TRUE(host().IsVisible());
}

TEST_F(MainWndTest, TrayMenuOpensAboutAndExits) {
  Start();
  std::string pick = "about_menu";
  frontend_.SetMenuHandler([&](ui::Window& menu) {
    ASSERT_NE(menu.FindControl(pick), nullptr);
    menu.FindControl(pick)->Activate();
  });
  wnd_->OnTrayRightUp();
  EXPECT_EQ(frontend_.PopupCount(), 0);  // the menu opens from timer 1032
  loop().AdvanceClock(platform::Millis(10));
  EXPECT_EQ(frontend_.PopupCount(), 1);
  ASSERT_NE(wnd_->AboutWindow(), nullptr);
  EXPECT_EQ(wnd_->AboutWindow()->FindControl("about_version")->Text(), "V1.0.0.0");
  EXPECT_EQ(wnd_->AboutWindow()->Attributes().width, 800);
  pick = "exit";
  wnd_->OnTrayRightUp();
  loop().AdvanceClock(platform::Millis(10));
  EXPECT_TRUE(wnd_->Destroyed());
  EXPECT_EQ(wnd_->AboutWindow(), nullptr);
  EXPECT_TRUE(loop().HasQuit());
  EXPECT_FALSE(frontend_.TrayShown());
}

TEST_F(MainWndTest, ShutdownStopsTheSlotsInOrderWithTheirTraces) {
  Start();
  platform::Event started;
  ASSERT_TRUE(wnd_->Slots().Start(3, [&started](const platform::ThreadParam& p) {
    started.Set();
    p.stop->Wait();
    platform::Trace("slot 3 ends");
  }));
  started.Wait();
  traces_.Clear();
  wnd_->Exit();
  const auto lines = traces_.Lines();
  const int quit = IndexOf(lines, "退出测试");
  ASSERT_GE(quit, 0);
  // Slot 3 is waited for before slot 8.
  const int slot3 = IndexOf(lines, "所有对象处于激发状态\n", quit);
  const int sync_end = IndexOf(lines, "同步灯光线程设定退出", quit);
  EXPECT_GT(slot3, quit);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "所有对象处于激发状态\n"), 2);
  EXPECT_GT(IndexOf(lines, "所有对象处于激发状态\n", slot3 + 1), sync_end);
  EXPECT_TRUE(loop().HasQuit());
  EXPECT_FALSE(host().IsVisible());
}

}  // namespace
}  // namespace brimvex::app
