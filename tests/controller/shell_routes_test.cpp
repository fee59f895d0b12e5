// The desktop's programs the controller starts: the keyboard and mouse settings named in
// desktop.json or found for the running desktop, the web site, and the box when there is none;
// and the window host's activation and pointer reports.
#include <fstream>

#include "app/desktop_commands.h"
#include "discovery/controller_fixture.h"
#include "platform/shell.h"
#include "test_support/temp_dir.h"

namespace brimvex::app::test {
namespace {

using Argv = std::vector<std::string>;

TEST(DesktopCommands, TheDesktopsOwnSettingsProgram) {
  const struct {
    const char* desktop;
    bool mouse;
    std::vector<std::string> installed;
    Argv expected;
  } cases[] = {
      {"ubuntu:GNOME", true, {"gnome-control-center"}, {"gnome-control-center", "mouse"}},
      {"KDE", false, {"kcmshell5"}, {"kcmshell5", "kcm_keyboard"}},
      {"kde", false, {"systemsettings", "kcmshell5"}, {"systemsettings", "kcm_keyboard"}},
      {"XFCE", true, {"xfce4-mouse-settings"}, {"xfce4-mouse-settings"}},
      {"X-Cinnamon", false, {"cinnamon-settings"}, {"cinnamon-settings", "keyboard"}},
      {"MATE", false, {"mate-keyboard-properties"}, {"mate-keyboard-properties"}},
      {"LXQt", true, {"lxqt-config-input"}, {"lxqt-config-input"}},
      {"GNOME", true, {}, {}},                 // not installed
      {"Unity:Other", true, {"gnome-control-center"}, {}},  // no desktop of the table
      {"", false, {"gnome-control-center"}, {}},
  };
  for (const auto& c : cases) {
    const auto installed = [&](std::string_view p) {
      return std::find(c.installed.begin(), c.installed.end(), p) != c.installed.end();
    };
    EXPECT_EQ(DesktopSettingsProgram(c.mouse, c.desktop, installed), c.expected) << c.desktop;
  }
}

TEST(DesktopCommands, ReadsTheFileAndIgnoresWhatItCannotUse) {
  brimvex::test::TempDir dir;
  const std::string path = dir.folder() + "desktop.json";
  const struct {
    const char* text;
    Argv keyboard, mouse;
    const char* site;
  } cases[] = {
      {R"({"KeyboardSettings": ["kbd-tool", "--page", "keys"], "MouseSettings": ["mouse-tool"], "WebSite": "https://x.test/"})",
       {"kbd-tool", "--page", "keys"}, {"mouse-tool"}, "https://x.test/"},
      {R"({"KeyboardSettings": "kbd-tool --page", "MouseSettings": ["ok", 3], "WebSite": 7})", {}, {}, ""},
      {R"({"KeyboardSettings": [""], "MouseSettings": []})", {}, {}, ""},
      {"[1, 2]", {}, {}, ""},
      {"{ broken", {}, {}, ""},
  };
  for (const auto& c : cases) {
    std::ofstream(path) << c.text;
    const DesktopCommands got = ReadDesktopCommands(path);
    EXPECT_EQ(got.keyboard_settings, c.keyboard) << c.text;
    EXPECT_EQ(got.mouse_settings, c.mouse) << c.text;
    EXPECT_EQ(got.website, c.site) << c.text;
  }
  EXPECT_TRUE(ReadDesktopCommands(dir.folder() + "missing.json").keyboard_settings.empty());
}

class ShellRoutesTest : public ControllerFixture {
 protected:
  void SetUp() override {
    ControllerFixture::SetUp();
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_CURRENT_DESKTOP", "PATH"}) saved_.emplace_back(name, platform::GetEnv(name));
    platform::SetEnv("XDG_CONFIG_HOME", config_.path().string());
    platform::SetEnv("XDG_CURRENT_DESKTOP", "NoSuchDesktop");
  }
  void TearDown() override {
    ControllerFixture::TearDown();
    for (const auto& [name, value] : saved_) platform::SetEnv(name, value);
  }
  void StartWithShell() {
    wnd_ = std::make_unique<CMainWnd>(frontend_, resources_, factory_, messages_, &peers_, &backend_);
    wnd_->AttachShell(shell_);
    std::string error;
    ASSERT_TRUE(wnd_->Create(&error)) << error;
    ASSERT_TRUE(WaitFor([&] { return host().IsVisible(); }));
    for (const char* name : {"windowdeviceset_0", "windowdeviceset_1", "windowdeviceset_2", "logo_btn"}) Place(name);
  }
  void WriteDesktopFile(const std::string& text) {
    std::filesystem::create_directories(config_.path() / "Brimvex");
    std::ofstream(config_.path() / "Brimvex" / "desktop.json") << text;
  }
  brimvex::test::TempDir config_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
  platform::RecordingShell shell_;
};

TEST_F(ShellRoutesTest, TheNamedProgramsStartAndOtherNumbersDoNothing) {
  WriteDesktopFile(R"({"KeyboardSettings": ["kbd-tool", "a b"], "MouseSettings": ["mouse-tool"], "WebSite": "https://x.test/"})");
  StartWithShell();
  int boxes = 0;
  frontend_.SetModalHandler([&](ui::Window&) { ++boxes; });
  Click("windowdeviceset_0");
  Click("windowdeviceset_1");
  Click("windowdeviceset_2");
  Click("logo_btn");
  EXPECT_EQ(shell_.started, (std::vector<Argv>{{"kbd-tool", "a b"}, {"mouse-tool"}, {"xdg-open", "https://x.test/"}}));
  EXPECT_EQ(boxes, 0);
}

TEST_F(ShellRoutesTest, TheDesktopsProgramIsFoundOnThePathElseABoxNamesTheFile) {
  // A desktop of the table whose settings program is on PATH.
  brimvex::test::TempDir bin;
  const auto tool = bin.path() / "xfce4-keyboard-settings";
  std::ofstream(tool) << "#!/bin/sh\n";
  std::filesystem::permissions(tool, std::filesystem::perms::owner_all);
  platform::SetEnv("PATH", bin.path().string());
  platform::SetEnv("XDG_CURRENT_DESKTOP", "XFCE");
  StartWithShell();
  std::vector<std::string> texts;
  frontend_.SetModalHandler([&](ui::Window& w) {
    texts.push_back(w.FindControl("MessageText")->Text());
    w.FindControl("confirm_btn")->Activate();
  });
  Click("windowdeviceset_0");
  EXPECT_EQ(shell_.started, (std::vector<Argv>{{"xfce4-keyboard-settings"}}));
  EXPECT_TRUE(texts.empty());
  // No mouse settings program: the box names the file to set it in.
  Click("windowdeviceset_1");
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_NE(texts[0].find(config_.folder() + "Brimvex/desktop.json"), std::string::npos) << texts[0];
  // The program is there but does not start: the box again; the web site falls back to the
  // built-in address.
  shell_.fail = true;
  Click("windowdeviceset_0");
  EXPECT_EQ(texts.size(), 2u);
  Click("logo_btn");
  ASSERT_EQ(shell_.started.size(), 3u);
  EXPECT_EQ(shell_.started[2][0], "xdg-open");
  EXPECT_EQ(texts.size(), 2u);
}

TEST_F(ShellRoutesTest, TheHostsActivationAndPointerReachKeyboardsMiceAndPads) {
  StartConnected({Product::kKeyboard, Product::kMouse, Product::kMousePad, Product::kHeadset});
  wnd_->Window().HostActivated(true);
  wnd_->Window().HostPointerInside(true);
  for (int row : {kKeyboardRow, kMouseRow, 2}) {
    EXPECT_TRUE(DeviceOfRow(row)->WindowActive()) << row;
    EXPECT_TRUE(DeviceOfRow(row)->PointerOverWindow()) << row;
  }
  EXPECT_FALSE(DeviceOfRow(3)->WindowActive());  // the headset is not told
  EXPECT_TRUE(traces_.Contains("鼠标移入"));
  wnd_->Window().HostActivated(false);
  wnd_->Window().HostPointerInside(false);
  EXPECT_FALSE(DeviceOfRow(kMouseRow)->WindowActive());
  EXPECT_FALSE(DeviceOfRow(kMouseRow)->PointerOverWindow());
  EXPECT_TRUE(traces_.Contains("鼠标移出"));
}

}  // namespace
}  // namespace brimvex::app::test
