#include "app/main_wnd.h"
#include "app/macro_routes.h"

#include "app/device_creator.h"
#include "app/device_list_block.h"
#include "app/device_tables.h"
#include "app/message_box.h"
#include "audio/ri6533_device.h"
#include "devices/device_classes.h"
#include "platform/process.h"
#include "platform/registered_messages.h"
#include "platform/trace.h"
#include "platform/ui/container.h"
#include "platform/ui/control_name.h"
#include "platform/ui/controls.h"
#include "profiles/device_profile_ui.h"

namespace brimvex::app {
namespace {

constexpr int kMainWidth = 800;
constexpr int kMainHeight = 572;
// Language keys: the button follows the interface language.
constexpr const char* kLightControlOnKey = "control_light_on";
constexpr const char* kLightControlOffKey = "control_light_off";

}  // namespace

CMainWnd::CMainWnd(ui::Frontend& frontend, ui::ResourceManager& resources, const ui::ControlFactory& factory,
                   const AppMessages& messages, PeerLink* peers, platform::HidBackend* hid_backend)
    : frontend_(frontend),
      resources_(resources),
      factory_(factory),
      messages_(messages),
      peers_(peers),
      hid_backend_(hid_backend),
      window_("MainWnd", &resources, &frontend.Loop()),
      selector_(window_),
      slots_(this),
      router_([this] { return SelectedDevice(); }) {
  window_.AddNotifier(this);
  window_.SetEventHandler(this);
  for (std::string_view name :
       {kAppInstanceName, kUpgradeStatusName, kLightControlSetName, kDeviceListQueryName, kAudioRecorderName})
    admitted_.emplace_back(name);
  for (std::string_view name : kGameMessageNames) admitted_.emplace_back(name);
}

CMainWnd::~CMainWnd() {
  if (!destroyed_) OnDestroy();
  audio::COmbrixRI6533Device::ClearMessageSink(this);
  frontend_.Loop().KillTimers(this);
  window_.SetEventHandler(nullptr);
  window_.RemoveNotifier(this);
  resources_.SetTextQueryInterface(nullptr);
}

bool CMainWnd::Create(std::string* error) {
  ui::DialogBuilder builder(resources_, factory_, this);
  if (!builder.BuildWindow(window_, "XML_MAIN", error)) return false;
  appearance_ = std::make_unique<AppearanceLink>(*this, registry_);
  window_.SetTitle(std::string(kAppIdentifier));
  window_.SetHost(frontend_.CreateHost(window_, ui::WindowStyle{}));
  window_.Resize(kMainWidth, kMainHeight);
  InitWindow();
  window_.SendNotify(window_.Root(), ui::notify::kWindowInit);
  return true;
}

void CMainWnd::InitWindow() {
  platform::Trace("InitWindow");
  resources_.SetTextQueryInterface(this);
  if (!resources_.LoadLanguage("lan_cn.xml")) platform::Trace(resources_.LastError());
  resources_.ReloadText();
  appearance_->Subscribe();
  for (const char* name :
       {"closebtn", "maxbtn", "restorebtn", "minbtn", "skinbtn", "gamemodebtn", "cloudbtn", "smarteyesbtn", "setbtn"})
    title_bar_.emplace_back(name, window_.FindControl(name));
  frontend_.SetDisplayChangeHandler([this] { OnDisplayChange(); });
  tray_ = frontend_.CreateTrayIcon(resources_.ResolveFile("common/icon.svg"), std::string(kAppIdentifier), *this);
  RegisterRoutes();
}

ui::Control* CMainWnd::TitleBarControl(std::string_view name) const {
  for (const auto& [n, c] : title_bar_)
    if (n == name) return c;
  return nullptr;
}

devices::COmbrixUSBDevice* CMainWnd::SelectedDevice() const {
  const CDeviceOptionUI* entry = selector_.SelectedEntry();
  return entry != nullptr ? entry->Device() : nullptr;
}

int CMainWnd::AskUser(const std::string& text_key, bool two_buttons) {
  MessageBoxArgs args;
  args.owner = &window_;
  args.text = text_key;
  args.dpi = window_.Dpi();
  args.button_mode = two_buttons ? 1 : 0;
  return ShowMessageBox(frontend_, resources_, factory_, args);
}

void CMainWnd::OnWindowInit() {
  if (started_) return;
  started_ = true;
  // 1. Letting messages past the filter of a raised process has no counterpart here.
  // 2. Light control is on at start.
  if (peers_ != nullptr) peers_->Broadcast(PeerMessage{std::string(kLightControlStateName), 1, 1, {}});
  // 3. The saved language.
  appearance_->ApplySavedLanguage();
  // 4.-5. The slot list is built with the controller; the default mouse and keyboard pages.
  if (hid_backend_ != nullptr) {
    DeviceManager::Setup setup;
    setup.window = &window_;
    setup.resources = &resources_;
    setup.factory = &factory_;
    setup.callback = this;
    setup.loop = &frontend_.Loop();
    setup.backend = hid_backend_;
    setup.slot_table = &slot_table_;
    setup.selector = &selector_;
    setup.send_message = [this](std::uint32_t m, std::uint64_t w, std::int64_t l) { HandleMessage(m, w, l); };
    setup.close_children = [this] {
      EndMacroRecording(*this);
      CloseChildWindows();
    };
    devices_ = std::make_unique<DeviceManager>(std::move(setup));
    devices_->CreateDefaultPages();
  }
  // 6. Screen size. The window stays hidden until discovery's first pass (without discovery the
  //    first-pass message is posted here).
  const ui::ScreenSize screen = frontend_.MonitorSize(window_);
  screen_width_ = screen.width;
  screen_height_ = screen.height;
  window_.Show(false);
  // 7. Worker slots: discovery in slot 0, the audio capture watchdog in slot 1, synchronised
  //    lighting in slot 8.
  if (hid_backend_ != nullptr) {
    discovery_ = DiscoveryContext{&slot_table_, hid_backend_, this, discovery_period_};
    slots_.Start(kSlotDiscovery, [this](const platform::ThreadParam& p) { DiscoveryThread(p, discovery_); });
  } else {
    PostFirstPass();
  }
  audio_ = std::make_unique<AudioLighting>(*this, shell_, peers_, audio_capture_argv_, audio_time_);
  audio_->Start();
  sync_.PrepareStart();
  slots_.Start(kSlotSyncLighting, [this](const platform::ThreadParam& p) { sync_.Run(p); });
  // 9. Layout timer, once after 100 ms.
  frontend_.Loop().SetTimer(
      this, kTimerLayout, platform::Millis(100), [this] { OnLayoutTimer(); }, platform::EventLoop::TimerKind::kOneShot);
}

std::optional<std::string> CMainWnd::QueryText(std::string_view) { return std::nullopt; }

std::unique_ptr<ui::Control> CMainWnd::CreateControl(std::string_view element_name) {
  struct DeviceElement {
    std::string_view name;
    int kind;
  };
  static constexpr DeviceElement kDevices[] = {{"OmbrixMousePadDevice", devices::kDeviceMousePad},
                                               {"OmbrixRI6533Device", devices::kDeviceHeadset},
                                               {"OmbrixMouseDevice", devices::kDeviceMouse},
                                               {"OmbrixKeyboardDevice", devices::kDeviceKeyboard}};
  for (const auto& d : kDevices) {
    if (!ui::NameEqualsNoCase(element_name, d.name)) continue;
    const auto creator = AnyDeviceCreator(d.kind, hid_backend_, &frontend_.Loop());
    return creator ? creator() : nullptr;
  }
  // Skin elements that stand for a whole layout file.
  if (ui::NameEqualsNoCase(element_name, "DeviceProfileUI")) {
    ui::DialogBuilder builder(resources_, factory_, this);
    auto built = builder.Create(profiles::kDeviceProfileLayout);
    if (!built) platform::Trace(built.error);
    return std::move(built.root);
  }
  // The other skin elements of the program join here as their classes land.
  return nullptr;
}

bool CMainWnd::SendSlotMessage(std::uint32_t message, std::size_t slot, platform::Event* abort) {
  return frontend_.Loop().Send([this, message, slot] { HandleMessage(message, slot, 0); }, abort);
}

void CMainWnd::PostFirstPass() {
  const std::uint32_t app_instance = messages_.app_instance;
  frontend_.Loop().Post([this, app_instance] { HandleMessage(app_instance, 0, 0); });
}

void CMainWnd::Notify(ui::Notification& n) {
  if (n.type != ui::notify::kTimer) {
    platform::Trace(n.type);
    platform::Trace(n.sender != nullptr ? n.sender->Name() : std::string());
  }
  router_.Dispatch(n);
}

void CMainWnd::SetLightControl(int on, bool broadcast) {
  light_control_ = on;
  if (broadcast && peers_ != nullptr)
    peers_->Broadcast(PeerMessage{std::string(kLightControlStateName), 1, on, {}});
  if (auto* status = window_.FindControl("control_light_status"))
    status->SetTextKey(on != 0 ? kLightControlOnKey : kLightControlOffKey);
  ApplyLightControl(on);
}

void CMainWnd::ApplyLightControl(int on) {
  // Every device takes the flag (headsets too: they stop sending LED reports); keyboards send
  // CMD_LIGHT_CONTROL when it is turned on.
  const auto hand = [on](devices::COmbrixUSBDevice& d) {
    if (d.SetHostLightControl(on != 0) != hid::RESULT_OK) platform::Trace("CMD_LIGHT_CONTROL failed");
  };
  ForEachInputDevice(hand);
  if (devices_ != nullptr)
    for (devices::COmbrixUSBDevice* d : devices_->Headsets()) hand(*d);
}

void CMainWnd::HideToTray() {
  if (tray_ != nullptr) {
    window_.Show(false);
  } else {
    window_.Minimize();
  }
}

bool CMainWnd::HandleMessage(std::uint32_t message, std::uint64_t wparam, std::int64_t lparam) {
  if (destroyed_) return false;
  if (message == messages_.app_instance && message != 0) {
    platform::TraceF("软件标示 %d，%xd%xd", static_cast<int>(message), static_cast<unsigned>(wparam),
                     static_cast<unsigned>(lparam));
    BringToFront();
    return true;
  }
  if (message == messages_.light_control_set && message != 0) {
    // Set from outside: the same hand-over as the click, without a broadcast.
    if (wparam == 1 && (lparam == 0 || lparam == 1)) SetLightControl(static_cast<int>(lparam), false);
    return true;
  }
  if (message == messages_.upgrade_status && message != 0) {
    // Forwarded to the settings window while it is open (after the current message).
    if (update_ != nullptr)
      frontend_.Loop().Post([this, wparam, lparam] {
        if (update_ != nullptr) update_->OnUpgradeStatus(wparam, lparam);
      });
    return true;
  }
  if (message == messages_.device_list_query && message != 0) {
    ReplyDeviceList();
    return true;
  }
  if (message == messages_.audio_recorder && message != 0) {
    if (audio_ != nullptr) audio_->OnRecorderMessage(wparam, lparam);
    return true;
  }
  if (!awake_) {
    // Asleep only the shutdown and a lost slot (its device is gone) are handled; a found slot is
    // opened at resume with the others; everything else is ignored.
    if (message == kMsgSlotLost && devices_ != nullptr) devices_->OnSlotLost(static_cast<std::size_t>(wparam));
    if (message == kMsgDestroy) OnDestroy();
    return message == kMsgSlotLost || message == kMsgSlotFound || message == kMsgDestroy;
  }
  for (const std::uint32_t game : messages_.game) {
    if (message == game && message != 0) {
      OnGameEvent(wparam, lparam);
      return true;
    }
  }
  switch (message) {
    case kMsgDestroy:
      OnDestroy();
      return true;
    case kMsgLanguageChange:
      if (appearance_ != nullptr && wparam <= 0x7FFFFFFF) appearance_->ApplyLanguage(static_cast<int>(wparam));
      return true;
    case kMsgOpenSettings:
      OpenSettings(true);
      return true;
    case kMsgUpdatesCurrent:
      ClearUpdateMark();
      return true;
    case kMsgFirmwareVersion:
      OnFirmwarePrompt(lparam);
      return true;
    case kMsgSettingProgress:
      if (auto* p = window_.FindControl("setting_progress")) p->SetVisible(true);
      return true;
    case kMsgSlotFound:
      if (devices_ != nullptr) devices_->OnSlotFound(static_cast<std::size_t>(wparam));
      if (wparam < SlotTable::size()) BringToFront();
      return true;
    case kMsgSlotLost:
      if (devices_ != nullptr) devices_->OnSlotLost(static_cast<std::size_t>(wparam));
      return true;
    case kMsgShowEntry:
      OnShowEntryMessage(wparam, lparam);
      return true;
    case kMsgKeyCaptureHook:
      OnKeyCaptureHookMessage(*this, wparam);
      return true;
    default:
      return false;
  }
}

void CMainWnd::HandlePeerMessage(const PeerMessage& message) {
  if (destroyed_) return;
  if (message.name == kRequestName) {
    AnswerRequest(message);
  } else if (message.name == kFirmwareVersionName) {
    HandleMessage(kMsgFirmwareVersion, message.wparam, message.lparam);
  } else if (message.name == kCopyDataName) {
    if (awake_) copy_data_.Take(message.lparam, message.payload);
  } else if (std::find(admitted_.begin(), admitted_.end(), message.name) != admitted_.end()) {
    // Admitted names were registered at start-up: this only looks their numbers up.
    HandleMessage(platform::RegisterWindowMessage(message.name), message.wparam, message.lparam);
  } else {
    platform::Trace("ipc: dropped unknown message " + message.name);
  }
}

void CMainWnd::AdmitPeerMessage(std::string_view name) {
  platform::RegisterWindowMessage(name);
  if (std::find(admitted_.begin(), admitted_.end(), name) == admitted_.end()) admitted_.emplace_back(name);
}

void CMainWnd::AnswerRequest(const PeerMessage& message) {
  std::string why;
  const auto request = DecodeRequest(message, &why);
  if (!request) {
    platform::Trace("ipc: dropped request: " + why);
    return;
  }
  const ControlAnswer answer = requests_.Run(*request);
  if (peers_ == nullptr || !peers_->Post(request->reply_to, EncodeAnswer(request->id, answer)))
    platform::Trace("ipc: the answer did not reach " + request->reply_to);
}

void CMainWnd::ReplyDeviceList() {
  if (peers_ == nullptr) return;
  // No "VudiRuvu" listening: nothing happens.
  peers_->Post(std::string(kDeviceListPeer),
               PeerMessage{std::string(kCopyDataName), static_cast<std::uint64_t>(platform::CurrentProcessId()),
                           kDeviceListKind, DeviceListBlock()});
}

int CMainWnd::VisibleSelectorEntries() const { return selector_.CountVisible(); }

void CMainWnd::OnShowEntryMessage(std::uint64_t row, std::int64_t show) {
  // The two wireless products have rows 0 and 1, which are also their positions in the strip.
  const int index = selector_.IndexOfRow(static_cast<int>(row));
  CDeviceOptionUI* entry = selector_.Entry(index);
  if (entry == nullptr) return;
  if (show == 1) {
    if (!entry->IsEntryVisible()) selector_.ShowEntry(index, true, selector_.CountVisible() == 0);
  } else if (show == 0) {
    selector_.HideEntry(index, [this] {
      EndMacroRecording(*this);
      CloseChildWindows();
    });
    platform::Trace("2.4gcesvdfherhue 1");
  }
}

void CMainWnd::UpdateNoDeviceHint() {
  if (auto* hint = window_.FindControl("No_device_Link")) hint->SetVisible(VisibleSelectorEntries() == 0);
}

void CMainWnd::BringToFront() {
  UpdateNoDeviceHint();
  // The pages are told the window is shown once they exist.
  window_.Show(true);
  window_.Restore();
  window_.BringToFront();
}

void CMainWnd::OnLayoutTimer() {
  frontend_.Loop().KillTimer(this, kTimerLayout);
  if (!awake_) return;
  Layout();
  if (audio_ != nullptr) audio_->Connect();
}

void CMainWnd::Layout() {
  const bool was_hidden = !window_.IsVisible();
  if (was_hidden || window_.IsMinimized()) window_.Restore();
  const ui::ScreenSize monitor = frontend_.MonitorSize(window_);
  const int dpi = monitor.width > 1500 && monitor.height > 960 ? 144 : 96;
  window_.SetDpi(96);
  window_.Resize(kMainWidth, kMainHeight);
  window_.SetDpi(dpi);
  if (menu_ != nullptr) menu_->SetDpi(dpi);
  window_.CenterWindow();
  window_.Show(!was_hidden);
}

void CMainWnd::OnDisplayChange() {
  if (destroyed_ || !awake_) return;
  platform::Trace("显示器分辨率发生变化");
  display_changed_ = true;
  Layout();
}

void CMainWnd::OnTrayLeftUp() {
  if (destroyed_ || !awake_) return;
  // The hint goes only while an entry is visible and the firmware is known to be current.
  if (auto* hint = window_.FindControl("No_device_Link")) {
    if (VisibleSelectorEntries() == 0) {
      hint->SetVisible(true);
    } else if (firmware_current_ == 1) {
      hint->SetVisible(false);
    }
  }
  CloseChildWindows();
  if (window_.IsVisible() && !window_.IsMinimized()) {
    window_.Show(false);
  } else {
    window_.Show(true);
    Layout();
    window_.Restore();
    window_.BringToFront();
  }
}

void CMainWnd::OnTrayRightUp() {
  if (destroyed_ || !awake_) return;
  frontend_.Loop().SetTimer(
      this, kTimerTrayMenu, platform::Millis(10),
      [this] {
        frontend_.Loop().KillTimer(this, kTimerTrayMenu);
        if (awake_) ShowTrayMenu();
      },
      platform::EventLoop::TimerKind::kOneShot);
}

void CMainWnd::ShowTrayMenu() {
  frontend_.CloseMenu();
  menu_.reset();
  menu_ = std::make_unique<ui::Window>("MenuWnd", &resources_, &frontend_.Loop());
  ui::DialogBuilder builder(resources_, factory_, this);
  std::string error;
  if (!builder.BuildWindow(*menu_, "menu.xml", &error)) {
    platform::Trace(error);
    menu_.reset();
    return;
  }
  menu_->SetDpi(window_.Dpi());
  auto notifier = std::make_shared<ui::FunctionNotifier>([this](ui::Notification& n) {
    if (n.type == ui::notify::kClick && n.sender != nullptr) {
      const std::string item = n.sender->Name();
      // The menu closes first; the command runs after on the loop, as the menu message does.
      frontend_.Loop().Post([this, item] { OnMenuCommand(item); });
    }
  });
  menu_->AddNotifier(notifier.get());
  menu_notifier_ = notifier;
  frontend_.PopupMenu(*menu_);
}

void CMainWnd::OnMenuCommand(const std::string& item) {
  if (destroyed_) return;
  if (item == "exit") {
    Exit();
  } else if (item == "about_menu") {
    OpenAbout();
  } else if (item == "setwnd_menu") {
    OpenSettings(true);
  }
  // The macro editor's items belong to its context menus.
}

void CMainWnd::OpenAbout() {
  if (about_ != nullptr) {
    about_->Show(true);
    about_->BringToFront();
    return;
  }
  auto about = std::make_unique<ui::Window>("AboutWnd", &resources_, &frontend_.Loop());
  ui::DialogBuilder builder(resources_, factory_, this);
  std::string error;
  if (!builder.BuildWindow(*about, "XML_ABOUT", &error)) {
    platform::Trace(error);
    return;
  }
  if (auto* version = about->FindControl("about_version")) version->SetText(std::string(kProgramVersion));
  about_notifier_ = std::make_shared<ui::FunctionNotifier>([this](ui::Notification& n) {
    if (n.type == ui::notify::kClick && n.sender != nullptr && n.sender->Name() == "closebtn") {
      // Closed after the click has been handled, not from inside it.
      frontend_.Loop().Post([this] { about_.reset(); });
    }
  });
  about->AddNotifier(about_notifier_.get());
  about->SetDpi(window_.Dpi());
  about->SetHost(frontend_.CreateHost(*about, ui::WindowStyle{&window_, false, false}));
  about->Resize(kMainWidth, kMainHeight);
  about->CenterWindow();
  about->Show(true);
  about_ = std::move(about);
}

void CMainWnd::LanguageChanged() {
  // The windows were laid out again with the new font table; the About window has no texts of
  // its own to set. The pages set the texts they compute.
  if (update_ != nullptr) update_->OnLanguageChanged();
  if (devices_ == nullptr) return;
  for (const auto* list : {&devices_->Keyboards(), &devices_->Mice()})
    for (devices::COmbrixUSBDevice* d : *list) d->RefreshPage();
}

void CMainWnd::CloseChildWindows() {
  if (appearance_ != nullptr) appearance_->CloseSkinFrame();
  CloseSettings();
  about_.reset();
  frontend_.CloseMenu();
  menu_.reset();
}

void CMainWnd::Exit() {
  if (destroyed_) return;
  CloseChildWindows();
  HandleMessage(kMsgDestroy, 0, 0);
}

void CMainWnd::OnDestroy() {
  if (destroyed_) return;
  destroyed_ = true;
  frontend_.Loop().KillTimers(this);
  frontend_.SetDisplayChangeHandler(nullptr);
  if (appearance_ != nullptr) appearance_->CloseSkinFrame();
  CloseSettings();
  tray_.reset();
  frontend_.Loop().Quit(0);
  platform::Trace("退出测试");
  window_.Show(false);
  // A game light still to be restored goes back before the devices stop.
  if (game_.RestorePending()) game_.Restore();
  // The capture program is told to exit and reaped before its watchdog's slot stops.
  if (audio_ != nullptr) audio_->Shutdown();
  slots_.StopAll(platform::Millis(1000));
  // The synchronised-lighting worker reaches the devices: a late one is waited for before they go.
  sync_.WaitUntilEnded();
  if (devices_ != nullptr) devices_->StopAll();
  if (power_ != nullptr) power_->SetHandlers({});
  frontend_.Loop().Quit(0);
}

}  // namespace brimvex::app
