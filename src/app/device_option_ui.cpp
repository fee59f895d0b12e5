#include "app/device_option_ui.h"

#include <algorithm>
#include <array>

#include "app/app_messages.h"
#include "platform/trace.h"
#include "platform/ui/window.h"

namespace brimvex::app {
namespace {

constexpr std::array<std::pair<std::array<std::int32_t, 2>, DeviceIconSet>, 7> kIconSets{{
    {{1, -1},
     {"kb_device_normal.png", "kb_device_selected.png", "kb_device_synchro_normal.png",
      "kb_device_synchro_selected.png", "kb_device_name_text"}},
    {{2, -1},
     {"ms_device_normal.png", "ms_device_selected.png", "ms_device_synchro_normal.png",
      "ms_device_synchro_selected.png", "ms_device_name_text"}},
    {{3, 0},
     {"hard_mp_device_normal.png", "hard_mp_device_selected.png", "hard_mp_device_synchro_normal.png",
      "hard_mp_device_synchro_selected.png", "hard_mp_device_name_text"}},
    {{3, 1},
     {"soft_mp_device_normal.png", "soft_mp_device_selected.png", "soft_mp_device_synchro_normal.png",
      "soft_mp_device_synchro_selected.png", "soft_mp_device_name_text"}},
    {{7, -1},
     {"hd_device_normal.png", "hd_device_selected.png", "hd_device_synchro_normal.png",
      "hd_device_synchro_selected.png", "hd_device_name_text"}},
    {{5, -1},
     {"hub_device_normal.png", "hub_device_selected.png", "hub_device_synchro_normal.png",
      "hub_device_synchro_selected.png", "hub_device_name_text"}},
    {{0, -1},
     {"unknow_device_normal.png", "unknow_device_selected.png", "unknow_device_synchro_normal.png",
      "unknow_device_synchro_selected.png", "unknow_device_name_text"}},
}};

std::string IconPath(std::string_view file) { return std::string(kDeviceIconFolder) + std::string(file); }

}  // namespace

const DeviceIconSet* IconSetFor(std::int32_t type, std::int32_t sub_kind) {
  if (type == 4) type = 7;  // the headset set serves both audio types
  if (type == 3 && sub_kind != 0 && sub_kind != 1) return nullptr;
  for (const auto& [key, set] : kIconSets) {
    if (key[0] == type && (key[1] < 0 || key[1] == sub_kind)) return &set;
  }
  return &kIconSets.back().second;  // any other type
}

CDeviceOptionUI::CDeviceOptionUI()
    : ui::Container("DeviceOption", Direction::kHorizontal), self_(std::make_shared<CDeviceOptionUI*>(this)) {
  const DeviceIconSet& unknown = kIconSets.back().second;
  normal_image_ = IconPath(unknown.normal);
  selected_image_ = IconPath(unknown.selected);
  sync_normal_image_ = IconPath(unknown.sync_normal);
  sync_selected_image_ = IconPath(unknown.sync_selected);
}

CDeviceOptionUI::~CDeviceOptionUI() {
  self_.reset();
  if (loop_ != nullptr) loop_->KillTimers(this);
}

ui::Option* CDeviceOptionUI::SelectOption() {
  if (select_option_ == nullptr) select_option_ = dynamic_cast<ui::Option*>(FindControl("device_select"));
  return select_option_;
}

const ui::Option* CDeviceOptionUI::SelectOption() const { return const_cast<CDeviceOptionUI*>(this)->SelectOption(); }

ui::CheckBox* CDeviceOptionUI::SyncCheck() {
  if (sync_check_ == nullptr) sync_check_ = dynamic_cast<ui::CheckBox*>(FindControl("synchro_device_select"));
  return sync_check_;
}

void CDeviceOptionUI::SetType(std::int32_t type, std::int32_t sub_kind) {
  type_ = type;
  sub_kind_ = sub_kind;
  if (const DeviceIconSet* set = IconSetFor(type, sub_kind)) {
    normal_image_ = IconPath(set->normal);
    selected_image_ = IconPath(set->selected);
    sync_normal_image_ = IconPath(set->sync_normal);
    sync_selected_image_ = IconPath(set->sync_selected);
    if (name_label_ == nullptr) name_label_ = FindControl("device_select_name");
    if (name_label_ != nullptr) name_label_->SetTextKey(std::string(set->name_key));
  }
  ApplyImages();
}

void CDeviceOptionUI::ApplyImages() {
  ui::Option* option = SelectOption();
  if (option == nullptr) return;
  ui::CheckBox* sync = SyncCheck();
  const bool synced = sync != nullptr && sync->IsChecked();
  option->SetImage("normalimage", synced ? sync_normal_image_ : normal_image_);
  option->SetImage("selectedimage", synced ? sync_selected_image_ : selected_image_);
}

void CDeviceOptionUI::BindPage(const std::string& tab_name, int index) {
  if (ui::Option* option = SelectOption()) option->BindTabPage(tab_name, index);
}

int CDeviceOptionUI::PageIndex() const {
  const ui::Option* option = SelectOption();
  return option != nullptr ? option->BoundTabIndex() : -1;
}

void CDeviceOptionUI::BindPower(const std::string& container_name, int index) {
  power_container_ = container_name;
  if (index >= 0) power_tab_index_ = index;
}

void CDeviceOptionUI::SetGroup(const std::string& group) {
  if (ui::Option* option = SelectOption()) option->SetGroup(group);
}

void CDeviceOptionUI::SetName(const std::string& text) {
  if (name_label_ == nullptr) name_label_ = FindControl("device_select_name");
  if (name_label_ != nullptr) name_label_->SetText(text);
}

void CDeviceOptionUI::BindDevice(devices::COmbrixUSBDevice* device) {
  device_ = device;
  if (device_ != nullptr) device_->SetOwner(this);
}

void CDeviceOptionUI::ShowSyncCheck(bool show) {
  if (ui::CheckBox* sync = SyncCheck()) sync->SetVisible(show);
  ApplyImages();
}

void CDeviceOptionUI::SetSync(bool selected) {
  if (ui::CheckBox* sync = SyncCheck()) sync->SetCheck(selected, false);
  ApplyImages();
}

bool CDeviceOptionUI::IsSyncSelected() {
  ui::CheckBox* sync = SyncCheck();
  return sync != nullptr && sync->IsChecked();
}

void CDeviceOptionUI::Select(bool selected) {
  if (ui::Option* option = SelectOption()) option->Selected(selected);
}

bool CDeviceOptionUI::IsSelected() const {
  const ui::Option* option = SelectOption();
  return option != nullptr && option->IsSelected();
}

void CDeviceOptionUI::SetEntryVisible(bool visible) {
  visible_ = visible ? 1 : 0;
  SetVisible(visible);
}

// --- Timers ---

void CDeviceOptionUI::StartTimer(std::uint32_t id, platform::Millis delay) {
  if (loop_ == nullptr) return;
  if (id == kTimerLightFrame) frame_due_ = loop_->Now() + delay;
  loop_->SetTimer(
      this, id, delay, [this, id] { OnTimer(id); }, platform::EventLoop::TimerKind::kOneShot);
}

void CDeviceOptionUI::StopTimer(std::uint32_t id) {
  if (loop_ != nullptr) loop_->KillTimer(this, id);
}

bool CDeviceOptionUI::HasTimer(std::uint32_t id) const { return loop_ != nullptr && loop_->HasTimer(this, id); }

void CDeviceOptionUI::OnTimer(std::uint32_t id) {
  StopTimer(id);
  if (device_ == nullptr) return;
  switch (id) {
    case kTimerConnection:
      OnConnection();
      break;
    case kTimerLightFrame:
      OnLightFrame();
      break;
    case kTimerResync:
      device_->Resync();
      break;
    case kTimerSpare1:
      device_->SpareOperation1();
      break;
    case kTimerSpare2:
      device_->SpareOperation2();
      break;
    case kTimerPower:
      OnPower();
      break;
    case kTimerLinkWatch:
      OnLinkWatch();
      break;
    default:
      break;
  }
}

void CDeviceOptionUI::Send0D03(bool show) {
  if (send_) send_(kMsgShowEntry, static_cast<std::uint64_t>(device_->DeviceOptionRow()), show ? 1 : 0);
}

void CDeviceOptionUI::OnConnection() {
  hid::CommandChannel& channel = device_->CommandChannelRef();
  if (channel.IsWireless() && channel.IsOpen()) {
    if (device_->IsLinkReachable() != 1) {
      link_retry_ = (link_retry_ + 1) % kLinkRetryCycle;
      if (IsEntryVisible()) Send0D03(false);
      StartTimer(kTimerConnection, kLinkRetryPeriod);
      return;
    }
    Send0D03(true);
  }
  device_->InitialSync();
  link_retry_ = 0;
  device_->ForgetStreamedFrame();  // a new connection shows nothing streamed yet
  StartTimer(kTimerLightFrame, kFrameWired);
  if (device_->HasPowerDisplay() && channel.IsOpen()) StartTimer(kTimerPower, kPowerFirst);
  if (channel.IsWireless()) StartTimer(kTimerLinkWatch, kLinkWatchFirst);
}

void CDeviceOptionUI::OnLightFrame() {
  // Changes from here on ask for the next frame.
  frame_asked_.store(false);
  if (!device_->CommandChannelRef().IsOpen()) return;  // the next connection arms it again
  last_frame_ = loop_->Now();
  ++frames_taken_;
  // The device repaints the page's light buttons itself, at most once per display refresh.
  device_->SendLedFrame();
  // A repaint held back by the pace, or a stream by a rest after a failure, is owed.
  const platform::Millis owed = device_->NextFrameIn();
  if (owed != platform::kInfinite) ArmFrame(owed);
}

platform::Millis CDeviceOptionUI::FramePeriod() {
  const platform::Millis period = device_->CommandChannelRef().IsWireless() ? kFrameWireless : kFrameWired;
  // A frame only the page shows is not taken faster than the page repaints.
  return device_->StreamsFrame() ? period : std::max(period, device_->RepaintInterval());
}

void CDeviceOptionUI::ArmFrame(platform::Millis delay) {
  if (loop_ == nullptr || device_ == nullptr || !device_->CommandChannelRef().IsOpen()) return;
  const platform::Millis now = loop_->Now();
  const platform::Millis due = std::max(now + delay, last_frame_ + FramePeriod());
  if (HasTimer(kTimerLightFrame) && frame_due_ <= due) return;
  StartTimer(kTimerLightFrame, due - now);
}

void CDeviceOptionUI::OnPower() {
  if (!device_->HasPowerDisplay() || !device_->CommandChannelRef().IsOpen()) return;
  device_->ReadPowerStatus();
  StartTimer(kTimerPower, kPowerPeriod);
}

void CDeviceOptionUI::OnLinkWatch() {
  hid::CommandChannel& channel = device_->CommandChannelRef();
  if (!channel.IsOpen()) return;  // nothing to watch; the next connection starts it again
  if (!channel.IsWireless()) {
    platform::Trace("2.4gcesvdfherhue  12312423");
    return;
  }
  const bool reachable = device_->IsLinkReachable() == 1;
  if (reachable && !IsEntryVisible()) {
    Send0D03(true);
    if (device_->HasPowerDisplay()) device_->ReadPowerStatus();
    platform::Trace("2.4gcesvdfherhue  12312423 123342341");
  } else if (!reachable && IsEntryVisible()) {
    Send0D03(false);
    platform::Trace("2.4gcesvdfherhue");
  }
  StartTimer(kTimerLinkWatch, kLinkWatchPeriod);
}

// --- Owner contract ---

void CDeviceOptionUI::PostToUi(std::function<void(CDeviceOptionUI&)> task) {
  if (loop_ == nullptr) return;
  std::weak_ptr<CDeviceOptionUI*> weak = self_;
  loop_->Post([weak, task = std::move(task)] {
    if (auto self = weak.lock()) task(**self);
  });
}

void CDeviceOptionUI::RequestResync(platform::Millis delay) {
  PostToUi([delay](CDeviceOptionUI& entry) { entry.StartTimer(kTimerResync, delay); });
}

void CDeviceOptionUI::RequestFrame() {
  if (loop_ == nullptr || frame_asked_.exchange(true)) return;
  PostToUi([](CDeviceOptionUI& entry) { entry.OnFrameChanged(); });
}

void CDeviceOptionUI::OnFrameChanged() {
  if (device_ == nullptr || !device_->CommandChannelRef().IsOpen() || !device_->FrameWanted()) {
    frame_asked_.store(false);
    return;
  }
  // Past the frame period the frame goes now, without a timer in between.
  if (!HasTimer(kTimerLightFrame) && loop_->Now() >= last_frame_ + FramePeriod()) {
    OnLightFrame();
    return;
  }
  ArmFrame(platform::Millis(0));
}

void CDeviceOptionUI::RequestRefreshPage() {
  if (loop_ == nullptr || refresh_posted_.exchange(true)) return;
  PostToUi([](CDeviceOptionUI& entry) {
    entry.refresh_posted_.store(false);
    if (entry.device_ != nullptr) entry.device_->RefreshPage();
  });
}

}  // namespace brimvex::app
