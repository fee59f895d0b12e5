// The controller and its settings window: one at a time, opened by "setbtn", the menu item and
// 0x0C15; the update mark; the firmware prompt that other programs start as "#0D04".
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/main_wnd.h"
#include "fake_peer_link.h"
#include "platform/curl/curl_http_client.h"
#include "platform/httplib/update_service.h"
#include "platform/paths.h"
#include "platform/registered_messages.h"
#include "platform/ui/headless_frontend.h"
#include "test_support/temp_dir.h"
#include "update/line_status.h"
#include "update/update_info_list_item_ui.h"

namespace brimvex::app {
namespace {

std::string Resources() { return platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources") + "/"; }

class SettingsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(resources_.LoadResource(Resources() + "skin/"));
    resources_.SetLanguageFolder(Resources() + "lang/");
    messages_.app_instance = platform::RegisterWindowMessage(kAppInstanceName);
    RegisterGuidMessages(messages_);
    factory_.Register("CUpdateInfoListItemUI", update::UpdateInfoListItemCreator());
    platform::UpdateServiceConfig config;
    config.answers["*"] = R"({"name":"x","version":"0"})";
    service_ = std::make_unique<platform::UpdateService>(config);
    ASSERT_TRUE(service_->Start(0, nullptr));
    std::filesystem::create_directories(dir_.path() / "Update");
    wnd_ = std::make_unique<CMainWnd>(frontend_, resources_, factory_, messages_, &peers_);
    update::SetWndServices s;
    s.make_client = [] { return platform::curl::CreateCurlHttpClient(); };
    s.base_url = service_->BaseUrl();
    s.upgrade_folder = dir_.folder() + "Update/";
    s.download_folder = dir_.folder() + "UpdateData/";
    wnd_->SetUpdateServices(s);
    wnd_->AttachShell(shell_);
    std::string error;
    ASSERT_TRUE(wnd_->Create(&error)) << error;
    loop().RunPending();
    frontend_.SetModalHandler([this](ui::Window& w) {
      boxes_.push_back(w.FindControl("MessageText")->TextKey());
      w.FindControl(answer_)->Activate();
    });
  }
  platform::HeadlessEventLoop& loop() { return frontend_.HeadlessLoop(); }
  void Click(ui::Window& w, const char* name) {
    ASSERT_TRUE(w.FindControl(name)->Activate()) << name;
    loop().RunPending();
  }
  void FirmwareVersion(std::int64_t v) {
    wnd_->HandlePeerMessage(PeerMessage{std::string(kFirmwareVersionName), 0, v, {}});
    loop().RunPending();
  }

  test::TempDir dir_;
  ui::HeadlessFrontend frontend_;
  ui::ResourceManager resources_;
  ui::ControlFactory factory_;
  AppMessages messages_;
  FakePeerLink peers_;
  platform::RecordingShell shell_;
  std::unique_ptr<platform::UpdateService> service_;
  std::unique_ptr<CMainWnd> wnd_;
  std::vector<std::string> boxes_;
  const char* answer_ = "confirm_btn";
};

TEST_F(SettingsWindowTest, OneAtATimeFromEachPlace) {
  Click(wnd_->Window(), "setbtn");
  update::CSetWnd* first = wnd_->Settings();
  ASSERT_NE(first, nullptr);
  auto* host = dynamic_cast<ui::HeadlessWindowHost*>(first->Window().Host());
  ASSERT_NE(host, nullptr);
  EXPECT_EQ(first->Window().ClassName(), "SetWnd");
  EXPECT_EQ(host->Style().owner, &wnd_->Window());
  EXPECT_TRUE(host->Style().modal);
  EXPECT_EQ(host->CenterCount(), 0);  // "setbtn": the default place
  Click(wnd_->Window(), "setbtn");
  EXPECT_EQ(wnd_->Settings(), first);
  Click(first->Window(), "closebtn");
  EXPECT_EQ(wnd_->Settings(), nullptr);
  wnd_->HandleMessage(kMsgOpenSettings, 0, 0);
  ASSERT_NE(wnd_->Settings(), nullptr);
  EXPECT_GT(dynamic_cast<ui::HeadlessWindowHost*>(wnd_->Settings()->Window().Host())->CenterCount(), 0);
  // The program entry is the only line without devices.
  ASSERT_TRUE(loop().RunUntil([&] { return wnd_->Settings()->CheckDone().IsSet(); }, platform::Millis(60000)));
  ASSERT_EQ(wnd_->Settings()->Lines().size(), 1u);
  EXPECT_EQ(wnd_->Settings()->Lines()[0].current_text, "V1000");
}

TEST_F(SettingsWindowTest, EverythingCurrentClearsTheUpdateMark) {
  ui::Control* set = wnd_->TitleBarControl("setbtn");
  set->SetImage("foreimage", "common/update_done.svg");
  wnd_->OpenSettings(true);
  ASSERT_TRUE(loop().RunUntil([&] { return wnd_->Settings()->CheckDone().IsSet(); }, platform::Millis(60000)));
  EXPECT_EQ(wnd_->Settings()->State(), update::kStateCurrent);
  EXPECT_EQ(set->Image("foreimage"), "");
}

TEST_F(SettingsWindowTest, FirmwarePrompt) {
  FirmwareVersion(261);
  EXPECT_EQ(wnd_->FirmwareCurrent(), 1);
  EXPECT_TRUE(boxes_.empty());
  // No upgrade program: the prompt, then the message that it could not start.
  FirmwareVersion(260);
  EXPECT_EQ(wnd_->FirmwareCurrent(), 0);
  EXPECT_TRUE(wnd_->Window().FindControl("No_device_Link")->IsVisible());
  EXPECT_EQ(boxes_, (std::vector<std::string>{"message_text_26", "update_fw_missing_text"}));
  std::ofstream(dir_.path() / "Update" / "fwupgrade") << "#!/bin/sh\n";
  FirmwareVersion(0x100);
  ASSERT_EQ(shell_.started.size(), 1u);
  EXPECT_EQ(shell_.started[0], (std::vector<std::string>{dir_.folder() + "Update/fwupgrade", "On the upgrade"}));
  EXPECT_EQ(shell_.folders[0], dir_.folder() + "Update/");
  // Cancel ends the program in order.
  answer_ = "cancel_btn";
  FirmwareVersion(1);
  EXPECT_TRUE(wnd_->Destroyed());
}

}  // namespace
}  // namespace brimvex::app
