#pragma once
// CSetWnd: the settings window ("SetWnd", "setwnd.xml", 630 x 500). It shows the interface
// language list and, every time it opens, checks the update list against the update service
// on its first worker slot; marked lines download one at a time on its second slot. Worker
// results reach the controls on the UI thread only.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/http_client.h"
#include "platform/shell.h"
#include "platform/ui/control_factory.h"
#include "platform/ui/frontend.h"
#include "platform/ui/list_controls.h"
#include "platform/ui/notification.h"
#include "platform/ui/resource_manager.h"
#include "platform/ui/window.h"
#include "platform/worker_thread.h"
#include "update/update_check.h"
#include "update/update_entry.h"

namespace brimvex::update {

class CUpdateInfoListItemUI;

inline constexpr const char* kSetWndClass = "SetWnd";
inline constexpr const char* kSetWndLayout = "setwnd.xml";
inline constexpr int kSetWndWidth = 630;
inline constexpr int kSetWndHeight = 500;
// Messages to the owner.
inline constexpr std::uint32_t kMsgLanguageChoice = 0x0C11;
inline constexpr std::uint32_t kMsgUpdatesCurrent = 0x0C16;

// What the window is given by its owner.
struct SetWndServices {
  ui::Frontend* frontend = nullptr;
  ui::ResourceManager* resources = nullptr;
  const ui::ControlFactory* factory = nullptr;
  ui::Window* owner = nullptr;
  platform::HttpClientFactory make_client;
  std::string base_url;              // "…/api/"; empty: no service
  CheckDateStore* dates = nullptr;   // "updatetime.config"
  std::string download_folder;       // "…/UpdateData/"
  std::string upgrade_folder;        // the program's "Update/"
  platform::Shell* shell = nullptr;  // the firmware upgrade program and the folder view
  // Fills "Language_combox_info" with the language list, the current index selected.
  std::function<void(ui::Combo&, int)> fill_languages;
  int language_index = 0;
  // A message to the owner (the language choice, "updates current").
  std::function<void(std::uint32_t, std::uint64_t, std::int64_t)> send_to_owner;
  // The window is closed; the owner lets go of it once the current notification is over.
  std::function<void()> on_closed;
  // A message box over the window: 1 confirm, 0 otherwise.
  std::function<int(const std::string& text_key, bool two_buttons)> ask_user;
};

class CSetWnd final : public ui::Notifier {
 public:
  explicit CSetWnd(SetWndServices services);
  ~CSetWnd() override;  // stops both workers
  CSetWnd(const CSetWnd&) = delete;
  CSetWnd& operator=(const CSetWnd&) = delete;

  // Builds and shows the window, modal to the owner, centred or at the default place, and
  // starts the check. `dpi` outside 48..192 in steps of 24 is traced and taken as 96.
  bool Open(std::vector<UpdateEntry> entries, int dpi, bool centred, std::string* error);
  ui::Window& Window() { return window_; }

  void Notify(ui::Notification& n) override;
  // The owner's language change message: state 4 is shown again in the new language.
  void OnLanguageChanged();
  // The upgrade program's progress, forwarded by the owner: 4 percentage (lParam), 1 done,
  // 2 or 3 failed; it acts on the line being upgraded.
  void OnUpgradeStatus(std::uint64_t wparam, std::int64_t lparam);
  // The desktop's close request: refused while a line waits, downloads or updates.
  void OnCloseRequest();

  int State() const { return state_; }
  const std::vector<UpdateLine>& Lines() const { return lines_; }
  CUpdateInfoListItemUI* LineControl(std::size_t k) const;
  const std::string& LastCheckDate() const { return last_check_; }
  // Set once the last worker result reached the window (check finished, download queue empty).
  platform::Event& CheckDone() { return check_done_; }
  platform::Event& DownloadsDone() { return downloads_done_; }
  bool Closed() const { return closed_; }

 private:
  class View;
  void ShowState(int state);
  void AddLine(const UpdateLine& line);
  void ReplaceLine(std::size_t k, const UpdateLine& line);
  void OfferLine(std::size_t k, bool offered);
  void ShowLine(std::size_t k);
  void SetLineStatus(std::size_t k, int status);
  void UpdateUpdateButton();
  void MarkForDownload();
  void StartNextDownload();
  void DownloadEnded(std::size_t k, bool ok, bool aborted);
  void AfterDownloads();
  void OfferUpgrade(std::size_t k);
  void ShowFolder();
  void SettleAfterUpgrade();
  void Close();
  void StopWorkers();
  // Runs `task` on the UI thread while the window lives.
  void PostToWindow(std::function<void()> task);

  SetWndServices services_;
  ui::Window window_;
  std::vector<UpdateEntry> entries_;
  std::vector<UpdateLine> lines_;
  std::vector<CUpdateInfoListItemUI*> controls_;
  int state_ = -1;
  std::string last_check_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  platform::WorkerThread check_worker_;
  platform::WorkerThread download_worker_;
  int downloading_ = -1;  // the line on the download slot
  int upgrading_ = -1;    // the line the upgrade program works on
  platform::Event check_done_;
  platform::Event downloads_done_;
  bool closed_ = false;
};

// The firmware upgrade program in the upgrade folder: "<upgrade folder>fwupgrade FILE".
inline constexpr const char* kUpgradeProgram = "fwupgrade";

}  // namespace brimvex::update
