#pragma once
// CMainWnd: the main window and controller. It builds the main window from "XML_MAIN", runs the
// controller's start-up on "windowinit", routes notifications and window messages, owns the
// tray icon, the tray menu, the About window and the 20 worker slots, and shuts the program
// down in order when the window is destroyed.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/app_messages.h"
#include "app/appearance_link.h"
#include "app/audio_lighting.h"
#include "app/control_request.h"
#include "app/copy_data.h"
#include "app/device_manager.h"
#include "app/device_selector.h"
#include "app/discovery_thread.h"
#include "app/notify_router.h"
#include "app/peer_link.h"
#include "app/slot_table.h"
#include "app/game_light.h"
#include "app/sync_lighting.h"
#include "app/worker_slots.h"
#include "platform/hid_backend.h"
#include "platform/power_events.h"
#include "platform/shell.h"
#include "platform/registry_store.h"
#include "platform/ui/control_factory.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/frontend.h"
#include "platform/ui/resource_manager.h"
#include "platform/ui/window.h"
#include "update/set_wnd.h"
#include "update/update_time_file.h"

namespace brimvex::app {

class CMainWnd final : public ui::Notifier,
                       public ui::CreateControlCallback,
                       public ui::TrayHandler,
                       public ui::TextQuery,
                       public ui::WindowEvents,
                       public DiscoveryHost {
 public:
  // Without a HID backend there is no discovery and no device page (tests of the window alone);
  // the window then comes up at once.
  CMainWnd(ui::Frontend& frontend, ui::ResourceManager& resources, const ui::ControlFactory& factory,
           const AppMessages& messages, PeerLink* peers, platform::HidBackend* hid_backend = nullptr);
  ~CMainWnd() override;
  CMainWnd(const CMainWnd&) = delete;
  CMainWnd& operator=(const CMainWnd&) = delete;

  // Where the language choice is kept between runs (none: not kept); set before Create.
  void SetRegistryStore(platform::RegistryStore* store) { registry_ = store; }
  // Creates the window "MainWnd" (800 x 572, titled "Brimvex"), runs InitWindow and the
  // "windowinit" start-up. False with the reason (naming the layout file) when it cannot.
  bool Create(std::string* error);
  ui::Window& Window() { return window_; }

  // A window message (registered or private). Returns whether it was handled.
  bool HandleMessage(std::uint32_t message, std::uint64_t wparam, std::int64_t lparam);
  // A message from another program, by name: a brimvexctl request, copy data, or one of the
  // admitted registered messages; any other name is dropped with a trace.
  void HandlePeerMessage(const PeerMessage& message);
  // Lets another registered message of other programs in (the controller's own are admitted
  // from the start).
  void AdmitPeerMessage(std::string_view name);
  // The brimvexctl requests the program answers, by verb; features add theirs while the window
  // is created (RegisterFeatureRequests).
  RequestTable& Requests() { return requests_; }
  CopyDataBuffers& CopyData() { return copy_data_; }
  // The tray menu's "exit": closes the child windows and destroys the main window.
  void Exit();
  // A monitor's resolution changed: lay the window out again for it.
  void OnDisplayChange();
  bool Destroyed() const { return destroyed_; }

  // ui::Notifier
  void Notify(ui::Notification& n) override;
  // ui::CreateControlCallback
  std::unique_ptr<ui::Control> CreateControl(std::string_view element_name) override;
  // ui::TrayHandler
  void OnTrayLeftUp() override;
  void OnTrayRightUp() override;
  // ui::TextQuery
  std::optional<std::string> QueryText(std::string_view key) override;
  // ui::WindowEvents (the window host)
  void OnActivated(bool active) override;
  void OnPointerInside(bool inside) override;
  void OnScreenChanged() override;
  // DiscoveryHost (the discovery thread)
  bool SendSlotMessage(std::uint32_t message, std::size_t slot, platform::Event* abort) override;
  void PostFirstPass() override;

  // For the start-up code and tests.
  WorkerSlots& Slots() { return slots_; }
  int LightControl() const { return light_control_; }
  ui::Window* AboutWindow() const { return about_.get(); }
  SlotTable& SlotList() { return slot_table_; }
  // The pause between discovery passes (100 ms); set before Create.
  void SetDiscoveryPeriod(platform::Millis period) { discovery_period_ = period; }
  DeviceSelector& Selector() { return selector_; }
  // Null until the window's start-up ran (and without a HID backend).
  DeviceManager* Devices() { return devices_.get(); }
  int Dpi() const { return window_.Dpi(); }
  platform::EventLoop& Loop() { return frontend_.Loop(); }
  ui::Frontend& Frontend() { return frontend_; }
  ui::ResourceManager& Resources() { return resources_; }
  const ui::ControlFactory& Factory() const { return factory_; }
  // The notification table; features add their rows while the window is created.
  NotifyRouter& Router() { return router_; }
  // The device of the selected selector entry, or nullptr.
  devices::COmbrixUSBDevice* SelectedDevice() const;
  // A title-bar control found at window init ("closebtn", "minbtn", "skinbtn", "setbtn", ...),
  // or nullptr.
  ui::Control* TitleBarControl(std::string_view name) const;
  // The message box over the main window with a text key: 1 for confirm, 0 otherwise.
  int AskUser(const std::string& text_key, bool two_buttons);
  // The system's sleep and wake (attach before Create); without it the program never sleeps.
  void AttachPower(platform::PowerEvents& power);
  // The desktop shell for the settings programs and the web site (attach before Create).
  void AttachShell(platform::Shell& shell) { shell_ = &shell; }
  // The capture program of audio-reactive lighting and its arguments, started through the shell
  // at window init and watched from slot 1 (set before Create; none: no capture program). The
  // time source is for tests.
  void SetAudioCapture(std::vector<std::string> argv, WatchdogTime* time = nullptr) {
    audio_capture_argv_ = std::move(argv);
    audio_time_ = time;
  }
  // Null before the window's start-up ran.
  AudioLighting* Audio() { return audio_.get(); }
  // 0 between a system suspend and the next resume.
  bool Awake() const { return awake_; }
  SyncLighting& Sync() { return sync_; }
  // The steps every light change of the controller takes on a device: store the record (the
  // device keeps it in its profile), save the profile, reload the light state from it, write the
  // settings to the device. Returns the write's result.
  int WriteLight(devices::COmbrixUSBDevice& device, const profiles::LightInfo& info);
  // Language and background (null before Create).
  AppearanceLink* Appearance() { return appearance_.get(); }
  // After a language change: the open child windows and every mouse and keyboard page follow.
  void LanguageChanged();
  // What timer 1055 does after a "device_profile_combo" selection: switch the profile of the
  // device that was selected then. Set by the profile list.
  // What the settings window needs besides the controller (the HTTP client, the service's base
  // URL, the upgrade folder); set before Create.
  void SetUpdateServices(update::SetWndServices services) { update_services_ = std::move(services); }
  // The settings window: centred ("setwnd_menu", 0x0C15) or at its default place ("setbtn"). At
  // most one is open; opening again brings it to the front.
  void OpenSettings(bool centred);
  update::CSetWnd* Settings() const { return update_.get(); }
  // The update list the settings window gets: the entries whose current version is known.
  std::vector<update::UpdateEntry> UpdateList() const;
  // 0 until a firmware version of 261 or more was reported (0x0D04), 0 again after an older one.
  int FirmwareCurrent() const { return firmware_current_; }
  void SetProfileSwitch(std::function<void(devices::COmbrixUSBDevice&)> f) { profile_switch_ = std::move(f); }

 private:
  void InitWindow();
  void OnWindowInit();
  // The controller's own rows (main_wnd_routes.cpp).
  void RegisterRoutes();
  void ArmProfileSwitch();
  void OnMenuCommand(const std::string& item);
  void OnDestroy();
  void OnLayoutTimer();
  void Layout();
  void BringToFront();
  void ShowTrayMenu();
  void OpenAbout();
  void CloseChildWindows();
  // Hides to the tray; without a tray the window is minimised so the process stays reachable.
  void HideToTray();
  int VisibleSelectorEntries() const;
  void UpdateNoDeviceHint();
  // The light-control flag, its button text and the hand-over to the devices; the click also
  // tells other programs.
  void SetLightControl(int on, bool broadcast);
  void ApplyLightControl(int on);
  void OnShowEntryMessage(std::uint64_t row, std::int64_t show);
  void AnswerRequest(const PeerMessage& message);
  // Sleep and wake (main_wnd_power.cpp). A timer due while asleep runs at resume.
  void OnSuspend();
  void OnResume();
  void RunWhenAwake(std::function<void()> action);
  // Lighting (main_wnd_light.cpp): game events, timer 1066, same-mode setup.
  void OnGameEvent(std::uint64_t variant, std::int64_t mode);
  void OnGameTimer();
  void SetupSameMode();
  // The desktop's settings for the keyboard (0) or mouse (1), and the web site
  // (main_wnd_shell.cpp).
  void OpenDeviceSettings(std::int32_t which);
  void OpenWebSite();
  // Tells every keyboard, mouse and pad.
  void ForEachInputDevice(const std::function<void(devices::COmbrixUSBDevice&)>& f);
  void ReplyDeviceList();
  // The update side (main_wnd_update.cpp).
  std::int32_t InstalledProgramVersion() const;
  void CloseSettings();
  void ClearUpdateMark();
  void OnFirmwarePrompt(std::int64_t version);

  ui::Frontend& frontend_;
  ui::ResourceManager& resources_;
  const ui::ControlFactory& factory_;
  AppMessages messages_;
  PeerLink* peers_;
  platform::HidBackend* hid_backend_;
  ui::Window window_;
  platform::RegistryStore* registry_ = nullptr;
  std::unique_ptr<AppearanceLink> appearance_;
  std::unique_ptr<ui::TrayIcon> tray_;
  std::unique_ptr<ui::Window> menu_;
  std::shared_ptr<ui::Notifier> menu_notifier_;
  std::unique_ptr<ui::Window> about_;
  std::shared_ptr<ui::Notifier> about_notifier_;
  SlotTable slot_table_;
  DeviceSelector selector_;
  std::unique_ptr<DeviceManager> devices_;
  DiscoveryContext discovery_;
  platform::Millis discovery_period_{100};
  WorkerSlots slots_;
  SyncLighting sync_;
  NotifyRouter router_;
  RequestTable requests_;
  CopyDataBuffers copy_data_;
  std::vector<std::string> admitted_;
  // Title-bar controls found at window init, by name.
  std::vector<std::pair<std::string, ui::Control*>> title_bar_;
  std::function<void(devices::COmbrixUSBDevice&)> profile_switch_;
  GameLight game_{[this](devices::COmbrixUSBDevice& d, const profiles::LightInfo& i) { return WriteLight(d, i); }};
  platform::PowerEvents* power_ = nullptr;
  platform::Shell* shell_ = nullptr;
  update::SetWndServices update_services_;
  std::unique_ptr<update::UpdateTimeFile> update_dates_;
  std::unique_ptr<update::CSetWnd> update_;
  int firmware_current_ = 0;
  bool awake_ = true;
  std::vector<std::function<void()>> deferred_;
  int light_control_ = 1;
  bool display_changed_ = false;
  bool started_ = false;
  bool destroyed_ = false;
  int screen_width_ = 0;
  int screen_height_ = 0;
  std::vector<std::string> audio_capture_argv_;
  WatchdogTime* audio_time_ = nullptr;
  // Last: it lets go of the copy data and the slots when it goes.
  std::unique_ptr<AudioLighting> audio_;
};

}  // namespace brimvex::app
