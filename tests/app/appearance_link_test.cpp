// Language and background in the running main window: the language change message turns the
// windows' texts and keeps the choice, "skinbtn" opens the panel whose choices reach "root",
// every kind of choice comes back after a restart of the controller, and the brimvexctl
// requests answer with their exit codes.
#include "app/appearance_link.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/main_wnd.h"
#include "fake_peer_link.h"
#include "platform/file_dialog.h"
#include "platform/registered_messages.h"
#include "platform/ui/headless_frontend.h"
#include "test_support/env_scope.h"
#include "test_support/memory_registry_store.h"
#include "test_support/temp_dir.h"

namespace brimvex::app {
namespace {

namespace fs = std::filesystem;

std::string Resources() { return platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources") + "/"; }

class AppearanceLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(resources_.LoadResource(Resources() + "skin/"));
    resources_.SetLanguageFolder(Resources() + "lang/");
    messages_.app_instance = platform::RegisterWindowMessage(kAppInstanceName);
    RegisterGuidMessages(messages_);
  }
  void TearDown() override {
    wnd_.reset();
    platform::SetCurrentFileChooser(nullptr);
  }
  void Start() {
    wnd_.reset();
    wnd_ = std::make_unique<CMainWnd>(frontend_, resources_, factory_, messages_, &peers_);
    wnd_->SetRegistryStore(&store_);
    std::string error;
    ASSERT_TRUE(wnd_->Create(&error)) << error;
    frontend_.HeadlessLoop().RunPending();
  }
  ui::Control& Root() { return *wnd_->Window().FindControl("root"); }
  ControlAnswer Ask(std::vector<std::string> words) {
    ControlRequest r;
    r.words = std::move(words);
    return wnd_->Requests().Run(r);
  }
  void Click(ui::Window& w, const char* name, int nth = 0) {
    std::vector<ui::Control*> found;
    w.Root()->ForEach([&](ui::Control& c) {
      if (c.Name() == name) found.push_back(&c);
    });
    ASSERT_LT(static_cast<std::size_t>(nth), found.size()) << name;
    ASSERT_TRUE(found[static_cast<std::size_t>(nth)]->Activate()) << name;
    frontend_.HeadlessLoop().RunPending();
  }
  std::string Picture(const std::string& name) {
    const std::string path = pictures_.folder() + name;
    std::ofstream(path) << "pixels";
    return path;
  }

  test::TempDir data_;
  test::TempDir pictures_;
  test::EnvScope env_{{{"XDG_DATA_HOME", data_.folder()}, {"LC_ALL", std::nullopt}, {"LC_MESSAGES", std::nullopt},
                       {"LANG", "en_GB.UTF-8"}}};
  ui::HeadlessFrontend frontend_;
  ui::ResourceManager resources_;
  ui::ControlFactory factory_;
  AppMessages messages_;
  FakePeerLink peers_;
  test::MemoryRegistryStore store_;
  std::unique_ptr<CMainWnd> wnd_;
};

TEST_F(AppearanceLinkTest, LanguageMessageTurnsTheWindowsAndKeepsTheChoice) {
  Start();
  ui::Window& w = wnd_->Window();
  EXPECT_EQ(w.FindControl("minbtn")->ToolTip(), "Minimise");
  EXPECT_EQ(w.FindControl("No_device_Link_text")->Text(), "No device found. Please connect a device.");
  EXPECT_EQ(Ask({"language"}).text, "  0 Chinese 520\n* 1 English 1033\n");
  ASSERT_TRUE(wnd_->HandleMessage(kMsgLanguageChange, 0, 0));
  EXPECT_EQ(w.FindControl("minbtn")->ToolTip(), "最小化");
  EXPECT_EQ(w.FindControl("No_device_Link_text")->Text(), "未检测到设备，请连接设备");
  EXPECT_EQ(resources_.DefaultFont().face, "汉仪菱心体简");
  EXPECT_EQ(std::get<std::uint32_t>(*store_.ReadValue("SOFTWARE\\Brimvex", "LANGUAGE")), 520u);
  // The next start takes the stored language whatever the locale says.
  Start();
  EXPECT_EQ(wnd_->Window().FindControl("minbtn")->ToolTip(), "最小化");
}

TEST_F(AppearanceLinkTest, LanguageRequestChoosesByNameOrIndex) {
  Start();
  struct Case {
    std::vector<std::string> words;
    int exit_code;
    const char* first_line;
  };
  const Case cases[] = {
      {{"language", "chinese"}, kExitDone, "* 0 Chinese 520"},
      {{"language", "1"}, kExitDone, "  0 Chinese 520"},
      {{"language", "Klingon"}, kExitMalformed, "unknown language \"Klingon\"; the languages are:"},
      {{"language", "2"}, kExitMalformed, "unknown language \"2\"; the languages are:"},
      {{"language", "a", "b"}, kExitMalformed, "usage: language [NAME|INDEX]"},
  };
  for (const Case& c : cases) {
    const ControlAnswer a = Ask(c.words);
    EXPECT_EQ(a.exit_code, c.exit_code) << c.words.back();
    EXPECT_EQ(a.text.substr(0, a.text.find('\n')), c.first_line) << c.words.back();
  }
  EXPECT_EQ(wnd_->Appearance()->Language().Current(), 1);
}

TEST_F(AppearanceLinkTest, SkinPanelChoicesReachRoot) {
  Start();
  ASSERT_TRUE(wnd_->TitleBarControl("skinbtn")->Activate());
  appearance::CSkinFrame* frame = wnd_->Appearance()->SkinFrame();
  ASSERT_NE(frame, nullptr);
  Click(frame->Window(), "skin_image_btn", 0);
  EXPECT_EQ(Root().Image("bkimage"), "skinimage/dusk.png");
  EXPECT_EQ(Root().BkColor(), 0u);
  Click(frame->Window(), "skin_color", 0);
  Click(frame->Window(), "skin_color_btn", 3);
  EXPECT_EQ(Root().Image("bkimage"), "");
  EXPECT_EQ(Root().BkColor(), 0xFF3B1F2Bu);
  EXPECT_EQ(Ask({"skin"}).text, "color=3B1F2B\n");
  // A click outside: the panel goes once the loop runs, the background stays.
  static_cast<ui::HeadlessWindowHost*>(frame->Window().Host())->LoseFocus();
  frontend_.HeadlessLoop().RunPending();
  EXPECT_EQ(wnd_->Appearance()->SkinFrame(), nullptr);
  EXPECT_EQ(Root().BkColor(), 0xFF3B1F2Bu);
}

TEST_F(AppearanceLinkTest, EveryKindOfChoiceSurvivesARestart) {
  const std::string mine = Picture("mine.png");
  struct Case {
    std::string choice;
    std::string shown;  // the skin request's line after the choice and after the restart
  };
  const Case cases[] = {
      {"color=3366CC", "color=3366CC\n"},
      {"reset", "image=common/background.png\n"},
      {"image=" + mine, ""},  // the copy's name is new each time
  };
  for (const Case& c : cases) {
    Start();
    const ControlAnswer a = Ask({"skin", c.choice});
    ASSERT_EQ(a.exit_code, kExitDone) << a.text;
    if (!c.shown.empty()) {
      EXPECT_EQ(a.text, c.shown);
    }
    Start();
    EXPECT_EQ(Ask({"skin"}).text, a.text) << c.choice;
  }
  // The copy lives in the application folder; when it is gone the default comes back.
  const std::string line = Ask({"skin"}).text;
  const std::string copy = line.substr(6, line.size() - 7);
  EXPECT_EQ(fs::path(copy).parent_path(), fs::path(data_.folder() + "Brimvex"));
  fs::remove(copy);
  Start();
  EXPECT_EQ(Ask({"skin"}).text, "image=common/background.png\n");
}

TEST_F(AppearanceLinkTest, SkinRequestRefusesAndLeavesTheBackground) {
  Start();
  ASSERT_EQ(Ask({"skin", "color=102030"}).exit_code, kExitDone);
  platform::ImageProbeResult huge;
  huge.status = platform::ImageProbeResult::Status::kTooLarge;
  huge.reason = "the picture is 20000 x 20000 pixels";
  frontend_.HeadlessProbe().SetDefaultResult(huge);
  struct Case {
    std::string word;
    int exit_code;
  };
  const Case cases[] = {
      {"color=10203", kExitMalformed}, {"color=GG0000", kExitMalformed}, {"image=relative.png", kExitMalformed},
      {"purple", kExitMalformed},      {"image=" + Picture("big.png"), kExitRefused},
  };
  for (const Case& c : cases) {
    const ControlAnswer a = Ask({"skin", c.word});
    EXPECT_EQ(a.exit_code, c.exit_code) << c.word << ": " << a.text;
  }
  EXPECT_NE(Ask({"skin", "image=" + Picture("big2.png")}).text.find("20000 x 20000"), std::string::npos);
  EXPECT_EQ(Ask({"skin"}).text, "color=102030\n");
}

TEST_F(AppearanceLinkTest, CustomPictureThroughTheChooserAndItsRefusal) {
  platform::ScriptedFileChooser chooser;
  platform::SetCurrentFileChooser(&chooser);
  Start();
  const std::string mine = Picture("mine.png");
  chooser.Answer(mine);
  ASSERT_TRUE(wnd_->TitleBarControl("skinbtn")->Activate());
  Click(wnd_->Appearance()->SkinFrame()->Window(), "skin_Custom");
  EXPECT_EQ(wnd_->Appearance()->SkinFrame(), nullptr);
  ASSERT_EQ(chooser.ShownFilters().size(), 1u);
  EXPECT_EQ(chooser.ShownFilters()[0].front().second, "*.png");
  const std::string shown = Root().Image("bkimage");
  EXPECT_TRUE(shown.starts_with(data_.folder() + "Brimvex/skin_custom_")) << shown;
  // A picture the decoder refuses: a message box, and the background stays.
  platform::ImageProbeResult bad;
  bad.status = platform::ImageProbeResult::Status::kNotImage;
  frontend_.HeadlessProbe().SetDefaultResult(bad);
  std::string message;
  frontend_.SetModalHandler([&](ui::Window& w) {
    message = w.FindControl("MessageText")->Text();
    w.FindControl("confirm_btn")->Activate();
  });
  chooser.Answer(Picture("text.png"));
  ASSERT_TRUE(wnd_->TitleBarControl("skinbtn")->Activate());
  Click(wnd_->Appearance()->SkinFrame()->Window(), "skin_Custom");
  EXPECT_EQ(message, resources_.Text("skin_custom_bad_text"));
  EXPECT_EQ(Root().Image("bkimage"), shown);
}

}  // namespace
}  // namespace brimvex::app
