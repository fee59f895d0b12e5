// The settings window in the Qt frontend offscreen, over the emulated set and the emulated
// update service: 630 x 500, the emulated keyboard offered newer firmware, its download done.
// Both states are kept as pictures in the test's folder.
#include <gtest/gtest.h>

#include <QApplication>
#include <QThread>
#include <QWidget>
#include <filesystem>

#include "app/control_classes.h"
#include "app/emulated_machine.h"
#include "app/emulated_update_service.h"
#include "app/main_wnd.h"
#include "platform/curl/curl_http_client.h"
#include "platform/paths.h"
#include "platform/qt/qt_frontend.h"
#include "platform/registered_messages.h"
#include "test_support/temp_dir.h"
#include "update/line_status.h"
#include "update/update_info_list_item_ui.h"

namespace brimvex::qt {
namespace {

std::string Resources() { return platform::GetEnv("BRIMVEX_RESOURCES").value_or("resources") + "/"; }

// Runs the Qt loop until `done` holds (the limit only keeps a broken build from hanging).
bool RunUntil(const std::function<bool()>& done) {
  for (int i = 0; i < 60000 && !done(); ++i) {
    QApplication::processEvents(QEventLoop::AllEvents, 5);
    if (!done()) QThread::msleep(1);
  }
  return done();
}

TEST(SettingsWindowQt, TheEmulatedKeyboardIsOfferedNewerFirmwareAndDownloadsIt) {
  if (!platform::GetEnv("QT_QPA_PLATFORM")) platform::SetEnv("QT_QPA_PLATFORM", "offscreen");
  auto frontend = CreateQtFrontend("Brimvex", Resources() + "skin/", nullptr);
  ASSERT_NE(frontend, nullptr);
  ui::ResourceManager resources;
  ASSERT_TRUE(resources.LoadResource(Resources() + "skin/"));
  resources.SetLanguageFolder(Resources() + "lang/");
  app::AppMessages messages;
  messages.app_instance = platform::RegisterWindowMessage(app::kAppInstanceName);
  app::RegisterGuidMessages(messages);
  app::EmulatedMachine machine;
  ui::ControlFactory factory;
  app::RegisterControlClasses(factory, app::ControlContext{&machine.Backend(), &frontend->Loop()});
  platform::UpdateService service(app::EmulatedUpdateServiceConfig());
  ASSERT_TRUE(service.Start(0, nullptr));
  test::TempDir dir;
  auto wnd = std::make_unique<app::CMainWnd>(*frontend, resources, factory, messages, nullptr, &machine.Backend());
  update::SetWndServices s;
  s.make_client = [] { return platform::curl::CreateCurlHttpClient(); };
  s.base_url = service.BaseUrl();
  s.upgrade_folder = dir.folder() + "Update/";
  s.download_folder = dir.folder() + "UpdateData/";
  wnd->SetUpdateServices(s);
  std::string error;
  ASSERT_TRUE(wnd->Create(&error)) << error;
  ASSERT_TRUE(RunUntil([&] {
    for (const auto& e : wnd->UpdateList())
      if (e.name == "KB") return true;
    return false;
  }));
  wnd->Window().FindControl("setbtn")->Activate();
  update::CSetWnd* set = wnd->Settings();
  ASSERT_NE(set, nullptr);
  ASSERT_TRUE(RunUntil([&] { return set->CheckDone().IsSet(); }));
  auto* widget = dynamic_cast<QWidget*>(set->Window().Host());
  ASSERT_NE(widget, nullptr);
  EXPECT_EQ(widget->width(), 630 * wnd->Dpi() / 96);
  EXPECT_EQ(widget->height(), 500 * wnd->Dpi() / 96);
  ASSERT_FALSE(set->Lines().empty());
  EXPECT_EQ(set->Lines()[0].name, "KB");
  EXPECT_EQ(set->Lines()[0].status, update::kLineNewer);
  EXPECT_EQ(set->LineControl(0)->FindControl("updateRev")->Text(), "V0106");
  EXPECT_TRUE(RenderWindowToPng(set->Window(), "settings_newer.png"));
  set->Window().FindControl("update_fw_and_ap")->Activate();
  set->Window().FindControl("update_OK_btn")->Activate();
  ASSERT_TRUE(RunUntil([&] { return set->DownloadsDone().IsSet(); }));
  EXPECT_EQ(set->Lines()[0].status, update::kLineDownloaded);
  EXPECT_TRUE(std::filesystem::is_regular_file(dir.path() / "UpdateData" / "KB.bin"));
  EXPECT_TRUE(RenderWindowToPng(set->Window(), "settings_downloaded.png"));

  // A line shown as while downloading, "100%" its widest percentage, lies inside the list.
  ui::Control* line = set->LineControl(0);
  line->FindControl("update_status_ok")->SetVisible(false);
  line->FindControl("update_status_text")->SetTextKey("DownloadIngText");
  line->FindControl("update_status_ing")->SetVisible(true);
  line->FindControl("update_progress_value")->SetVisible(true);
  line->FindControl("update_progress_value")->SetText("100%");
  EXPECT_TRUE(RenderWindowToPng(set->Window(), "settings_downloading.png"));
  const QWidget* list = widget->findChild<QWidget*>("device_update_list_info");
  ASSERT_NE(list, nullptr);
  for (const char* name : {"check_name_select", "OldRev", "updateRev", "update_status_text", "update_status_ing",
                           "update_progress_value"}) {
    const QWidget* part = list->findChild<QWidget*>(name);
    ASSERT_NE(part, nullptr) << name;
    const QRect at(part->mapTo(list, QPoint(0, 0)), part->size());
    EXPECT_LE(at.right(), list->width()) << name;
  }
  wnd.reset();
}

}  // namespace
}  // namespace brimvex::qt
