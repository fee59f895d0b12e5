// The settings window on the headless frontend against the loopback update service: the check,
// the line statuses, downloads into the update folder, the upgrade program's reports and the
// close rules.
#include "update/set_wnd.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/curl/curl_http_client.h"
#include "platform/httplib/update_service.h"
#include "platform/paths.h"
#include "platform/part_file.h"
#include "platform/ui/controls.h"
#include "platform/ui/headless_frontend.h"
#include "test_support/loopback_http_server.h"
#include "test_support/temp_dir.h"
#include "update/line_status.h"
#include "update/update_info_list_item_ui.h"
#include "update/update_time_file.h"

namespace brimvex::update {
namespace {

namespace fs = std::filesystem;

const std::string kFirmware(200000, '\x42');

std::string Sha256Of(const std::string& bytes) {
  platform::Sha256 h;
  h.Update({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
  return h.HexDigest();
}

UpdateEntry Keyboard() { return {1, 1, 0x19, "QUELT", "Orrin", "KB", "KB", ""}; }
UpdateEntry Program() { return {0, 1, 1000, "QUELT", "ALL", "Halvo", "Halvo", "V1.0.0.0"}; }

class SetWndTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string res = platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources") + "/";
    ASSERT_TRUE(resources_.LoadResource(res + "skin/"));
    resources_.SetLanguageFolder(res + "lang/");
    ASSERT_TRUE(resources_.LoadLanguage("lan_en.xml"));
    factory_.Register("CUpdateInfoListItemUI", UpdateInfoListItemCreator());
    fs::create_directories(dir_.path() / "Update");
  }

  // Serves `answer` for the keyboard and the program; the firmware file is /files/kb.bin.
  void Serve(const std::string& keyboard_answer, const std::string& program_answer = R"({"name":""})") {
    platform::UpdateServiceConfig config;
    config.answers["QUELT_1_Orrin_KB_1"] = keyboard_answer;
    config.answers["QUELT_0_ALL_Halvo_1"] = program_answer;
    config.files["kb.bin"] = kFirmware;
    config.files["setup.run"] = "program";
    service_ = std::make_unique<platform::UpdateService>(config);
    ASSERT_TRUE(service_->Start(0, nullptr));
  }

  std::string Newer(const std::string& path, const std::string& sha256) {
    return R"({"name":"KB","version":"1a","path":")" + path + R"(","sha256":")" + sha256 + R"("})";
  }

  void Open(std::vector<UpdateEntry> entries, int dpi = 96) {
    SetWndServices s;
    s.frontend = &frontend_;
    s.resources = &resources_;
    s.factory = &factory_;
    s.make_client = [] { return platform::curl::CreateCurlHttpClient(); };
    s.base_url = service_ != nullptr ? service_->BaseUrl() : "";
    s.dates = &dates_;
    s.download_folder = (dir_.path() / "UpdateData").string() + "/";
    s.upgrade_folder = (dir_.path() / "Update").string() + "/";
    s.shell = &shell_;
    s.fill_languages = [](ui::Combo& combo, int current) {
      combo.AddItem("Chinese", "Chinese", "Language_text_cn");
      combo.AddItem("English", "English", "Language_text_en");
      combo.SelectItem(current, false);
    };
    s.language_index = 1;
    s.send_to_owner = [this](std::uint32_t m, std::uint64_t w, std::int64_t) { sent_.emplace_back(m, w); };
    s.on_closed = [this] { ++closed_; };
    s.ask_user = [this](const std::string& key, bool) {
      asked_.push_back(key);
      if (wnd_ != nullptr && wnd_->LineControl(0) != nullptr) status_when_asked_ = wnd_->LineControl(0)->Status();
      return confirm_;
    };
    wnd_ = std::make_unique<CSetWnd>(s);
    std::string error;
    ASSERT_TRUE(wnd_->Open(std::move(entries), dpi, true, &error)) << error;
  }

  void WaitFor(platform::Event& e) { ASSERT_TRUE(frontend_.HeadlessLoop().RunUntil([&] { return e.IsSet(); }, platform::Millis(60000))); }
  void Click(const char* name) {
    ui::Control* c = wnd_->Window().FindControl(name);
    ASSERT_NE(c, nullptr) << name;
    wnd_->Window().SendNotify(c, ui::notify::kClick);
  }
  int Status(std::size_t k) { return wnd_->LineControl(k)->Status(); }
  std::vector<std::string> Downloaded() {
    std::vector<std::string> names;
    if (fs::exists(dir_.path() / "UpdateData"))
      for (const auto& e : fs::directory_iterator(dir_.path() / "UpdateData")) names.push_back(e.path().filename().string());
    return names;
  }
  bool Sent(std::uint32_t message) {
    return std::any_of(sent_.begin(), sent_.end(), [&](const auto& m) { return m.first == message; });
  }

  test::TempDir dir_;
  ui::HeadlessFrontend frontend_;
  ui::ResourceManager resources_;
  ui::ControlFactory factory_;
  UpdateTimeFile dates_{dir_.folder()};
  platform::RecordingShell shell_;
  std::unique_ptr<platform::UpdateService> service_;
  std::unique_ptr<CSetWnd> wnd_;
  std::vector<std::pair<std::uint32_t, std::uint64_t>> sent_;
  std::vector<std::string> asked_;
  int status_when_asked_ = -1;
  int confirm_ = 1;
  int closed_ = 0;
};

TEST_F(SetWndTest, LineLooksByStatus) {
  Serve(R"({"name":""})");
  Open({Keyboard()});
  WaitFor(wnd_->CheckDone());
  CUpdateInfoListItemUI* item = wnd_->LineControl(0);
  ASSERT_NE(item, nullptr);
  struct Case {
    int status;
    const char* key;
    bool progress, done, enabled;
    std::uint32_t colour;  // with the check box not selected (disabled colour when disabled)
  };
  const Case cases[] = {
      {0, "LessUpdateText", false, false, false, 0xFF666666},  {1, "NeedUpdateText", false, false, true, 0xFF0099FF},
      {2, "NeedUpdateText", false, false, true, 0xFF0099FF},   {3, "DownloadWaitText", false, false, false, 0xFF0078C8},
      {4, "DownloadIngText", true, false, false, 0xFF0078C8},  {5, "DownloadOkText", false, true, false, 0xFF0078C8},
      {6, "UpdateIngText", true, false, false, 0xFF0078C8},    {7, "UpdateOkText", false, false, false, 0xFF666666},
      {8, "UpdateFailText", false, false, true, 0xFF0099FF},
  };
  for (const Case& k : cases) {
    item->SetStatus(k.status);
    item->SetPercent(40);
    item->SetStatus(k.status);  // the same status again changes nothing
    EXPECT_EQ(item->FindControl("update_status_text")->TextKey(), k.key) << k.status;
    EXPECT_EQ(item->FindControl("update_status_ing")->IsVisible(), k.progress) << k.status;
    EXPECT_EQ(item->FindControl("update_progress_value")->IsVisible(), k.progress) << k.status;
    EXPECT_EQ(item->FindControl("update_progress_value")->Text(), "40%") << k.status;
    EXPECT_EQ(item->FindControl("update_status_ok")->IsVisible(), k.done) << k.status;
    EXPECT_EQ(item->IsCheckEnabled(), k.enabled) << k.status;
    EXPECT_EQ(item->CheckColour(), k.colour) << k.status;
  }
  item->SetStatus(8);
  item->SetChecked(true);
  EXPECT_EQ(item->CheckColour(), 0xFF0099FFu);
}

TEST_F(SetWndTest, CheckOffersTheNewerKeyboard) {
  Serve(Newer("/files/kb.bin", ""));
  Open({Keyboard(), Program()}, 100);
  EXPECT_EQ(wnd_->Window().Dpi(), 96);
  auto* host = dynamic_cast<ui::HeadlessWindowHost*>(wnd_->Window().Host());
  ASSERT_NE(host, nullptr);
  EXPECT_EQ(host->Width(), 630);
  EXPECT_EQ(host->Height(), 500);
  EXPECT_TRUE(host->Style().modal);
  WaitFor(wnd_->CheckDone());
  EXPECT_EQ(wnd_->State(), kStateNewer);
  EXPECT_EQ(Status(0), kLineNewer);
  EXPECT_TRUE(wnd_->LineControl(0)->IsChecked());
  EXPECT_EQ(wnd_->LineControl(0)->FindControl("OldRev")->Text(), "V0019");
  EXPECT_EQ(wnd_->LineControl(0)->FindControl("updateRev")->Text(), "V1a");
  EXPECT_EQ(Status(1), kLineCurrent);
  EXPECT_FALSE(wnd_->LineControl(1)->IsCheckEnabled());
  EXPECT_TRUE(wnd_->Window().FindControl("update_fw_and_ap")->IsVisible());
  EXPECT_EQ(wnd_->Window().FindControl("Update_Status_text")->TextKey(), "HaveUpdateInfoText");
  // The pointer over a ticked line draws no frame.
  CUpdateInfoListItemUI* line = wnd_->LineControl(0);
  line->OnMouseHover(true);
  EXPECT_FALSE(line->HasFrame());
  // Unselecting the only line hides the update button, and the line under the pointer is framed.
  dynamic_cast<ui::CheckBox*>(line->FindControl("check_name_select"))->SetCheck(false, true);
  EXPECT_FALSE(wnd_->Window().FindControl("update_fw_and_ap")->IsVisible());
  EXPECT_FALSE(Sent(kMsgUpdatesCurrent));
  EXPECT_TRUE(line->HasFrame());
  line->OnMouseHover(false);
  EXPECT_FALSE(line->HasFrame());

  // A right click says "menu" only for a line with a context menu.
  int menus = 0;
  ui::FunctionNotifier counter([&](ui::Notification& n) { menus += std::string_view(n.type) == ui::notify::kMenu; });
  wnd_->Window().AddNotifier(&counter);
  EXPECT_FALSE(line->RightClick());
  line->SetAttribute("menu", "true");
  EXPECT_TRUE(line->RightClick());
  EXPECT_EQ(menus, 1);
  wnd_->Window().RemoveNotifier(&counter);
}

TEST_F(SetWndTest, NoServiceIsStateTwoAndCurrentIsStateFourInEitherLanguage) {
  Open({Keyboard()});
  WaitFor(wnd_->CheckDone());
  EXPECT_EQ(wnd_->State(), kStateUnreachable);
  wnd_.reset();
  Serve(R"({"name":""})");
  Open({Keyboard()});
  WaitFor(wnd_->CheckDone());
  EXPECT_EQ(wnd_->State(), kStateCurrent);
  EXPECT_TRUE(Sent(kMsgUpdatesCurrent));
  ui::Control* text = wnd_->Window().FindControl("Update_Status_text");
  EXPECT_EQ(text->Text(), resources_.Text("UpdateIsLastText") + wnd_->LastCheckDate());
  ASSERT_TRUE(resources_.LoadLanguage("lan_cn.xml"));
  wnd_->OnLanguageChanged();
  EXPECT_EQ(text->Text(), resources_.Text("UpdateIsLastText") + wnd_->LastCheckDate());
  EXPECT_NE(resources_.Text("UpdateIsLastText").find("上次检查"), std::string::npos);
  // A language choice goes to the owner.
  auto* combo = wnd_->Window().Find<ui::Combo>("Language_combox_info");
  ASSERT_EQ(combo->CurSel(), 1);
  combo->SelectItem(0, true);
  EXPECT_TRUE(std::find(sent_.begin(), sent_.end(), std::pair<std::uint32_t, std::uint64_t>{kMsgLanguageChoice, 0}) !=
              sent_.end());
}

TEST_F(SetWndTest, DownloadThenUpgradeToCurrent) {
  Serve(Newer("/files/kb.bin", Sha256Of(kFirmware)));
  std::ofstream(dir_.path() / "Update" / "fwupgrade") << "#!/bin/sh\n";
  Open({Keyboard()});
  WaitFor(wnd_->CheckDone());
  Click("update_fw_and_ap");
  Click("update_OK_btn");
  EXPECT_EQ(Status(0), kLineDownloading);
  EXPECT_EQ(wnd_->State(), kStateUpdating);
  WaitFor(wnd_->DownloadsDone());
  EXPECT_EQ(status_when_asked_, kLineDownloaded);
  EXPECT_EQ(asked_, std::vector<std::string>{"update_fw_confirm_text"});
  EXPECT_EQ(Status(0), kLineUpdating);
  const std::string file = (dir_.path() / "UpdateData" / "KB.bin").string();
  ASSERT_EQ(shell_.started.size(), 1u);
  EXPECT_EQ(shell_.started[0], (std::vector<std::string>{(dir_.path() / "Update" / "fwupgrade").string(), file}));
  EXPECT_EQ(shell_.folders[0], (dir_.path() / "Update").string() + "/");
  EXPECT_EQ(Downloaded(), std::vector<std::string>{"KB.bin"});
  wnd_->OnUpgradeStatus(4, 40);
  EXPECT_EQ(wnd_->LineControl(0)->FindControl("update_progress_value")->Text(), "40%");
  wnd_->OnUpgradeStatus(1, 0);
  EXPECT_EQ(Status(0), kLineCurrent);
  EXPECT_EQ(wnd_->LineControl(0)->FindControl("OldRev")->Text(), "V1a");
  EXPECT_EQ(wnd_->State(), kStateCurrent);
  EXPECT_TRUE(Sent(kMsgUpdatesCurrent));
}

TEST_F(SetWndTest, FailedDownloadsLeaveNothingAndMayBeRetried) {
  for (const std::string& path : {std::string("/files/none.bin"), std::string("/files/kb.bin#bad"),
                                 std::string("file:///etc/hostname")}) {
    Serve(Newer(path.substr(0, path.find('#')), path.ends_with("#bad") ? Sha256Of("other") : ""));
    Open({Keyboard()});
    WaitFor(wnd_->CheckDone());
    Click("update_fw_and_ap");
    Click("update_OK_btn");
    WaitFor(wnd_->DownloadsDone());
    EXPECT_EQ(Status(0), kLineFailed) << path;
    EXPECT_TRUE(wnd_->LineControl(0)->IsCheckEnabled()) << path;
    EXPECT_TRUE(Downloaded().empty()) << path;
    EXPECT_EQ(wnd_->State(), kStateNewer) << path;
    // Failed lines do not hold the window open.
    wnd_->Window().HostCloseRequested();
    EXPECT_TRUE(wnd_->Closed()) << path;
    wnd_.reset();
    service_.reset();
  }
  EXPECT_TRUE(shell_.started.empty());
}

TEST_F(SetWndTest, TheProgramsDownloadIsShownInItsFolder) {
  Serve(R"({"name":""})", R"({"name":"AP","version":"1001","version_name":"V1.0.0.1","path":"/files/setup.run"})");
  Open({Program()});
  WaitFor(wnd_->CheckDone());
  Click("update_OK_btn");
  WaitFor(wnd_->DownloadsDone());
  EXPECT_EQ(Status(0), kLineDownloaded);
  EXPECT_EQ(Downloaded(), std::vector<std::string>{"Halvo.run"});
  ASSERT_EQ(shell_.started.size(), 1u);
  EXPECT_EQ(shell_.started[0], (std::vector<std::string>{"xdg-open", (dir_.path() / "UpdateData").string() + "/"}));
  wnd_->Window().HostCloseRequested();
  EXPECT_TRUE(wnd_->Closed());
}

TEST_F(SetWndTest, CloseMidDownloadEndsItAndRemovesThePart) {
  test::LoopbackHttpServer files([](const std::string&) {
    return test::RawReply{"HTTP/1.1 200 X\r\nContent-Length: 100000\r\n\r\n" + std::string(1000, 'a'), {},
                          platform::Millis(600000)};
  });
  Serve(Newer(files.url("/files/kb.bin"), ""));
  Open({Keyboard()});
  WaitFor(wnd_->CheckDone());
  Click("update_OK_btn");
  ASSERT_TRUE(files.request_seen().Wait(platform::Millis(60000)));
  // The desktop's close is refused while the line downloads; "closebtn" cancels the download.
  wnd_->Window().HostCloseRequested();
  EXPECT_FALSE(wnd_->Closed());
  Click("closebtn");
  EXPECT_TRUE(wnd_->Closed());
  EXPECT_EQ(closed_, 1);
  EXPECT_TRUE(Downloaded().empty());
}

}  // namespace
}  // namespace brimvex::update
