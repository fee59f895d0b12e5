#include "update/set_wnd.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include "platform/trace.h"
#include "platform/ui/container.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialog_builder.h"
#include "update/download.h"
#include "update/line_status.h"
#include "update/update_info_list_item_ui.h"
#include "update/update_time_file.h"

namespace brimvex::update {
namespace {

constexpr std::array<int, 7> kDpis = {48, 72, 96, 120, 144, 168, 192};
constexpr platform::Millis kWorkerWait{500};

}  // namespace

// Hands the check's reports to the window's thread.
class CSetWnd::View final : public UpdateCheckView {
 public:
  View(CSetWnd* wnd, std::weak_ptr<bool> alive, platform::EventLoop* loop) : wnd_(wnd), alive_(std::move(alive)), loop_(loop) {}
  void ShowState(int state) override {
    Post([state](CSetWnd& w) { w.ShowState(state); });
  }
  void AddLine(const UpdateLine& line) override {
    Post([line](CSetWnd& w) { w.AddLine(line); });
  }
  void ReplaceLine(std::size_t k, const UpdateLine& line) override {
    Post([k, line](CSetWnd& w) { w.ReplaceLine(k, line); });
  }
  void OfferLine(std::size_t k, bool offered) override {
    Post([k, offered](CSetWnd& w) { w.OfferLine(k, offered); });
  }
  void Post(std::function<void(CSetWnd&)> task) {
    CSetWnd* wnd = wnd_;
    loop_->Post([wnd, alive = alive_, task = std::move(task)] {
      if (alive.lock()) task(*wnd);
    });
  }

 private:
  CSetWnd* wnd_;
  std::weak_ptr<bool> alive_;
  platform::EventLoop* loop_;
};

CSetWnd::CSetWnd(SetWndServices services)
    : services_(std::move(services)), window_(kSetWndClass, services_.resources, &services_.frontend->Loop()) {
  window_.AddNotifier(this);
}

CSetWnd::~CSetWnd() {
  StopWorkers();
  alive_.reset();
  window_.SetCloseRequestHandler(nullptr);
  window_.RemoveNotifier(this);
}

void CSetWnd::PostToWindow(std::function<void()> task) {
  services_.frontend->Loop().Post([alive = std::weak_ptr<bool>(alive_), task = std::move(task)] {
    if (alive.lock()) task();
  });
}

bool CSetWnd::Open(std::vector<UpdateEntry> entries, int dpi, bool centred, std::string* error) {
  ui::DialogBuilder builder(*services_.resources, *services_.factory);
  if (!builder.BuildWindow(window_, kSetWndLayout, error)) return false;
  window_.SetTitle("setwnd");
  if (std::find(kDpis.begin(), kDpis.end(), dpi) == kDpis.end()) {
    platform::Trace("SET_WND DPI SET ERROR");
    dpi = 96;
  }
  window_.SetDpi(dpi);
  // 1. The language list.
  if (auto* combo = window_.Find<ui::Combo>("Language_combox_info"); combo != nullptr && services_.fill_languages)
    services_.fill_languages(*combo, services_.language_index);
  // 3. The date of the last check, as it stood at opening.
  last_check_ = services_.dates != nullptr ? LastCheckDateAtOpening(*services_.dates) : TodayText();
  ui::WindowStyle style;
  style.owner = services_.owner;
  style.modal = true;
  window_.SetHost(services_.frontend->CreateHost(window_, style));
  window_.Resize(kSetWndWidth, kSetWndHeight);
  ui::Window* owner = services_.owner;
  if (centred || owner == nullptr || owner->Host() == nullptr || owner->Root() == nullptr) {
    window_.CenterWindow();
  } else {
    const ui::Rect r = owner->Host()->ScreenRectOf(*owner->Root());
    if (window_.Host() != nullptr)
      window_.Host()->Move(r.x + r.width - owner->Scale(30) - window_.Scale(kSetWndWidth), r.y + owner->Scale(60));
  }
  window_.SetCloseRequestHandler([this] { OnCloseRequest(); });
  window_.Show(true);
  // 4. The check on the first slot.
  entries_ = std::move(entries);
  UpdateCheckSetup setup;
  setup.base_url = services_.base_url;
  setup.dates = services_.dates;
  setup.download_folder = services_.download_folder;
  check_worker_.Start([this, setup, entries = entries_, make = services_.make_client, alive = std::weak_ptr<bool>(alive_),
                       loop = &services_.frontend->Loop()](const platform::ThreadParam& p) mutable {
    View view(this, alive, loop);
    std::unique_ptr<platform::HttpClient> client = make ? make() : nullptr;
    setup.client = client.get();
    setup.abort = p.stop;
    const UpdateCheckResult r = RunUpdateCheck(entries, setup, &view);
    if (!r.aborted) view.Post([](CSetWnd& w) { w.check_done_.Set(); });
  });
  return true;
}

CUpdateInfoListItemUI* CSetWnd::LineControl(std::size_t k) const { return k < controls_.size() ? controls_[k] : nullptr; }

void CSetWnd::ShowState(int state) {
  const bool became_current = state == kStateCurrent && state_ != kStateCurrent;
  state_ = state;
  const StateLook& look = LookOfState(state);
  if (ui::Control* ring = window_.FindControl("update_status_ring")) ring->SetVisible(look.ring);
  if (ui::Control* picture = window_.FindControl("update_status_image")) picture->SetVisible(look.picture);
  if (ui::Control* text = window_.FindControl("Update_Status_text")) {
    if (state == kStateCurrent) {
      text->SetText(window_.Text(look.text_key) + last_check_);
    } else {
      text->SetTextKey(look.text_key);
    }
  }
  if (became_current && services_.send_to_owner) services_.send_to_owner(kMsgUpdatesCurrent, 0, 0);
}

void CSetWnd::AddLine(const UpdateLine& line) {
  auto* list = window_.Find<ui::Container>("device_update_list_info");
  ui::DialogBuilder builder(*services_.resources, *services_.factory);
  ui::BuildResult built = builder.Create(kUpdateListItemLayout);
  auto* item = dynamic_cast<CUpdateInfoListItemUI*>(built.root.get());
  lines_.push_back(line);
  if (list == nullptr || item == nullptr) {
    // The record stays, so the check's line numbers still hold.
    platform::Trace(built.error.empty() ? std::string("update list line cannot be built") : built.error);
    controls_.push_back(nullptr);
    return;
  }
  list->Add(std::move(built.root));
  controls_.push_back(item);
  ShowLine(lines_.size() - 1);
}

void CSetWnd::ShowLine(std::size_t k) {
  CUpdateInfoListItemUI* item = LineControl(k);
  if (item == nullptr) return;
  const UpdateLine& line = lines_[k];
  item->SetName(line.name);
  item->SetVersions(line.current_text, line.status == kLineCurrent ? std::string() : line.new_text);
  item->SetStatus(line.status);
  item->SetUserData(line.path);
}

void CSetWnd::ReplaceLine(std::size_t k, const UpdateLine& line) {
  if (k >= lines_.size()) return;
  lines_[k] = line;
  ShowLine(k);
  if (CUpdateInfoListItemUI* item = LineControl(k)) item->SetCheckEnabled(false);
}

void CSetWnd::OfferLine(std::size_t k, bool offered) {
  CUpdateInfoListItemUI* item = LineControl(k);
  if (item == nullptr) return;
  item->SetCheckEnabled(offered);
  if (offered) item->SetChecked(true);
  UpdateUpdateButton();
}

void CSetWnd::SetLineStatus(std::size_t k, int status) {
  if (k >= lines_.size()) return;
  lines_[k].status = status;
  if (CUpdateInfoListItemUI* item = LineControl(k)) item->SetStatus(status);
}

void CSetWnd::UpdateUpdateButton() {
  bool any = false;
  for (const CUpdateInfoListItemUI* item : controls_) any |= item != nullptr && item->IsChecked();
  if (ui::Control* button = window_.FindControl("update_fw_and_ap")) {
    button->SetEnabled(any);
    button->SetVisible(any);
  }
}

void CSetWnd::Notify(ui::Notification& n) {
  if (n.sender == nullptr || closed_) return;
  const std::string& name = n.sender->Name();
  const std::string_view type(n.type);
  if (type == ui::notify::kSelectChanged && name == "check_name_select") {
    for (ui::Control* c = n.sender->Parent(); c != nullptr; c = c->Parent())
      if (auto* line = dynamic_cast<CUpdateInfoListItemUI*>(c)) {
        line->Refresh();
        break;
      }
    UpdateUpdateButton();
    return;
  }
  if (type == ui::notify::kItemSelect && name == "Language_combox_info") {
    if (services_.send_to_owner) services_.send_to_owner(kMsgLanguageChoice, n.wparam, 0);
    return;
  }
  if (type != ui::notify::kClick) return;
  if (name == "closebtn" || name == "laterbtn") {
    Close();
  } else if (name == "minbtn") {
    window_.Minimize();
  } else if (name == "maxbtn" || name == "restorebtn") {
    const bool maximise = name == "maxbtn";
    if (maximise) {
      window_.Maximize();
    } else {
      window_.Restore();
    }
    if (ui::Control* c = window_.FindControl("maxbtn")) c->SetVisible(!maximise);
    if (ui::Control* c = window_.FindControl("restorebtn")) c->SetVisible(maximise);
  } else if (name == "set_in_update_wnd_btn") {
    if (ui::Control* hint = window_.FindControl("update_tishi_layout")) hint->SetVisible(false);
    window_.Resize(kSetWndWidth, kSetWndHeight);
  } else if (name == "update_fw_and_ap") {
    if (auto* tab = window_.Find<ui::TabLayout>("get_update_tab_layout")) tab->SelectItem(1);
  } else if (name == "update_OK_btn") {
    MarkForDownload();
  }
}

void CSetWnd::MarkForDownload() {
  bool marked = false;
  for (std::size_t k = 0; k < lines_.size(); ++k) {
    const int s = lines_[k].status;
    if (s != kLineNewer && s != kLineNewer2) continue;
    CUpdateInfoListItemUI* item = LineControl(k);
    if (item != nullptr && item->IsChecked()) {
      SetLineStatus(k, kLineWaiting);
      marked = true;
    } else if (item != nullptr) {
      item->SetCheckEnabled(false);
    }
  }
  if (ui::Control* button = window_.FindControl("update_fw_and_ap")) button->SetEnabled(false);
  if (auto* tab = window_.Find<ui::TabLayout>("get_update_tab_layout")) tab->SelectItem(0);
  if (!marked) return;
  ShowState(kStateUpdating);
  downloads_done_.Reset();
  StartNextDownload();
}

void CSetWnd::StartNextDownload() {
  // The previous download posted its end as its last step: its thread is ending.
  download_worker_.Stop(kWorkerWait);
  const auto next = std::find_if(lines_.begin(), lines_.end(), [](const UpdateLine& l) { return l.status == kLineWaiting; });
  if (next == lines_.end()) {
    downloading_ = -1;
    AfterDownloads();
    downloads_done_.Set();
    return;
  }
  const std::size_t k = static_cast<std::size_t>(next - lines_.begin());
  downloading_ = static_cast<int>(k);
  SetLineStatus(k, kLineDownloading);
  const DownloadJob job{lines_[k].path, services_.base_url, lines_[k].local_file, lines_[k].sha256};
  download_worker_.Start([this, k, job, make = services_.make_client, alive = std::weak_ptr<bool>(alive_),
                          loop = &services_.frontend->Loop()](const platform::ThreadParam& p) {
    View view(this, alive, loop);
    std::unique_ptr<platform::HttpClient> client = make ? make() : nullptr;
    DownloadOutcome out;
    if (client != nullptr) {
      out = Download(*client, job, p.stop, [&view, k](int percent) {
        view.Post([k, percent](CSetWnd& w) {
          if (CUpdateInfoListItemUI* item = w.LineControl(k); item != nullptr && item->Status() == kLineDownloading)
            item->SetPercent(percent);
        });
      });
    }
    view.Post([k, ok = out.ok, aborted = out.aborted](CSetWnd& w) { w.DownloadEnded(k, ok, aborted); });
  });
}

void CSetWnd::DownloadEnded(std::size_t k, bool ok, bool aborted) {
  if (aborted || closed_) return;
  SetLineStatus(k, ok ? kLineDownloaded : kLineFailed);
  StartNextDownload();
}

void CSetWnd::AfterDownloads() {
  // Firmware goes to the upgrade program one line at a time, after the user agrees; the
  // program's own download is shown in its folder.
  bool folder = false;
  for (std::size_t k = 0; k < lines_.size(); ++k) {
    if (lines_[k].status != kLineDownloaded) continue;
    if (lines_[k].program) {
      folder = true;
      continue;
    }
    OfferUpgrade(k);
    if (upgrading_ >= 0) return;
    folder = true;
  }
  if (folder) ShowFolder();
  SettleAfterUpgrade();
}

void CSetWnd::OfferUpgrade(std::size_t k) {
  const std::string program = services_.upgrade_folder + kUpgradeProgram;
  std::error_code ec;
  if (services_.shell == nullptr || !std::filesystem::is_regular_file(program, ec)) {
    platform::Trace("no firmware upgrade program: " + program);
    return;
  }
  if (services_.ask_user && services_.ask_user("update_fw_confirm_text", true) != 1) return;
  std::string error;
  if (!services_.shell->StartIn({program, lines_[k].local_file}, services_.upgrade_folder, &error)) {
    platform::Trace("firmware upgrade program not started: " + error);
    return;
  }
  upgrading_ = static_cast<int>(k);
  SetLineStatus(k, kLineUpdating);
}

void CSetWnd::ShowFolder() {
  std::string error;
  if (services_.shell == nullptr || !services_.shell->OpenUrl(services_.download_folder, &error))
    platform::Trace("update folder not shown: " + error);
}

void CSetWnd::OnUpgradeStatus(std::uint64_t wparam, std::int64_t lparam) {
  if (closed_ || upgrading_ < 0) return;
  const std::size_t k = static_cast<std::size_t>(upgrading_);
  CUpdateInfoListItemUI* item = LineControl(k);
  if (wparam == 4) {
    if (item != nullptr) item->SetPercent(static_cast<int>(std::clamp<std::int64_t>(lparam, 0, 100)));
    return;
  }
  if (wparam == 1) {
    lines_[k].current_text = lines_[k].new_text;
    lines_[k].new_text.clear();
    SetLineStatus(k, kLineCurrent);
    if (item != nullptr) {
      item->SetVersions(lines_[k].current_text, "");
      item->SetChecked(false);
    }
  } else if (wparam == 2 || wparam == 3) {
    SetLineStatus(k, kLineFailed);
  } else {
    return;
  }
  upgrading_ = -1;
  // The next downloaded firmware, if any, then the overall state.
  AfterDownloads();
}

void CSetWnd::SettleAfterUpgrade() {
  // A selected line still on its way (waiting, downloading, updating) keeps the state.
  for (std::size_t k = 0; k < lines_.size(); ++k) {
    const CUpdateInfoListItemUI* item = LineControl(k);
    if (item != nullptr && item->IsChecked() && LineBlocksClose(lines_[k].status)) return;
  }
  bool pending = false;
  for (std::size_t k = 0; k < lines_.size(); ++k) {
    if (lines_[k].status == kLineCurrent) continue;
    pending = true;
    if (CUpdateInfoListItemUI* item = LineControl(k)) item->SetCheckEnabled(true);
  }
  ShowState(pending ? kStateNewer : kStateCurrent);
}

void CSetWnd::OnLanguageChanged() {
  if (state_ == kStateCurrent) {
    if (ui::Control* text = window_.FindControl("Update_Status_text"))
      text->SetText(window_.Text(LookOfState(kStateCurrent).text_key) + last_check_);
  }
  window_.Relayout();
}

void CSetWnd::OnCloseRequest() {
  for (const UpdateLine& line : lines_)
    if (LineBlocksClose(line.status)) return;
  Close();
}

void CSetWnd::StopWorkers() {
  for (platform::WorkerThread* w : {&check_worker_, &download_worker_}) {
    if (w->Stop(kWorkerWait) == platform::WorkerThread::StopResult::kTimedOut)
      platform::Trace("settings window worker did not end in time");
  }
}

void CSetWnd::Close() {
  if (closed_) return;
  closed_ = true;
  // A download in progress ends here and removes its part file.
  StopWorkers();
  window_.Show(false);
  if (services_.on_closed) services_.on_closed();
}

}  // namespace brimvex::update
