#pragma once
// COmbrixUSBDevice: the abstract device. One object per connected product; it is the product's
// page (a horizontal layout holding the device picture with one button per key and per light),
// its in-memory model (information block, LED frame, light state) and its translator between the
// profile and the device commands. The base gives every device operation its default behaviour,
// the LED frame and its streaming, the simple preview effects, the light worker and the event
// workers, and the file locations of a device. The owner (the device's entry in the selector
// strip) decides when the device talks to the product; it drives the device from the UI thread.
#include <json/value.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "devices/device_kind.h"
#include "devices/light_preview.h"
#include "hid/command_channel.h"
#include "hid/slot_record.h"
#include "lighting/light_mode_list.h"
#include "macros/macro_source.h"
#include "platform/event.h"
#include "platform/event_loop.h"
#include "platform/hid_backend.h"
#include "platform/ui/container.h"
#include "platform/worker_thread.h"

namespace brimvex::ui {
class DialogBuilder;
class TabLayout;
}  // namespace brimvex::ui

namespace brimvex::profiles {
class CBasicProfiledata;
class CDeviceProfileUI;
}  // namespace brimvex::profiles

namespace brimvex::devices {

class CDeviceKeyButtonUI;

// The slot record that names a device, as discovery hands it over (copied whole).
using DeviceDescriptor = hid::SlotRecord;

// What the device asks of its owner, the selector entry. Both calls may come from any thread.
class DeviceOwner {
 public:
  virtual ~DeviceOwner() = default;
  // Run the device's Resync on the UI thread after `delay`.
  virtual void RequestResync(platform::Millis delay) = 0;
  // Run the device's RefreshPage on the UI thread.
  virtual void RequestRefreshPage() = 0;
  // The LED frame changed: run the device's SendLedFrame on the UI thread, at the frame pace.
  // Called with the frame lock held (so the request is seen before the change is); it must not
  // wait or take the frame lock.
  virtual void RequestFrame() = 0;
};

// The audio light record in force (mode and colours).
struct AudioLightState {
  std::uint32_t mode = 0;
  std::uint32_t color = 0;
  std::uint32_t flags = 0;
  friend bool operator==(const AudioLightState&, const AudioLightState&) = default;
};
// The record in its three words: mode and background R, G, B; foreground R, G, B and
// 7-colour; the colour type (each from the low byte up).
AudioLightState AudioLightStateOf(const profiles::AudioLightInfo& info);
profiles::AudioLightInfo AudioLightInfoOf(const AudioLightState& state);

// The light workers count ticks of this period: a tick is counted once the clock has moved on by
// more than 1 ms (at millisecond resolution, 2 ms) since the last one, so a row's threshold of N
// ticks is a step every N x 2 ms.
inline constexpr platform::Millis kLightTickPeriod{2};
// While the command channel is closed, or another device drives the common light effect, the
// light worker looks again after this long (or at once when the light state changes).
inline constexpr platform::Millis kLightIdleRecheck{100};
inline constexpr platform::Millis kLightWorkerStopTimeout{1000};
inline constexpr platform::Millis kEventWorkerStopTimeout{500};
// After a failed frame nothing is streamed for this long.
inline constexpr platform::Millis kFrameFailurePause{200};

class COmbrixUSBDevice : public ui::Container {
 public:
  // One row of a light worker's mode table: the mode index, the step threshold in ticks for
  // speed 0..4, and the step.
  struct LightModeRow {
    int mode = 0;
    std::array<std::uint8_t, 5> threshold{};
    void (COmbrixUSBDevice::*step)() = nullptr;
  };

  COmbrixUSBDevice(platform::HidBackend& backend, platform::EventLoop& loop,
                   std::string class_name = "COmbrixUSBDevice");
  ~COmbrixUSBDevice() override;

  // --- Channels and loop ---
  hid::CommandChannel& CommandChannelRef() { return command_channel_; }
  const hid::CommandChannel& CommandChannelRef() const { return command_channel_; }
  hid::CommandChannel& EventChannelRef() { return event_channel_; }
  platform::EventLoop& Loop() const { return loop_; }

  // --- Identity and owner (set by the device manager) ---
  void SetDescriptor(const DeviceDescriptor& descriptor);
  DeviceDescriptor Descriptor() const;
  int DeviceType() const { return device_type_; }
  int SubType() const { return sub_type_; }
  void SetSubType(int sub_type) { sub_type_ = sub_type; }
  void SetOwner(DeviceOwner* owner) { owner_.store(owner); }
  DeviceOwner* Owner() const { return owner_.load(); }
  // The power display control of the page (may be null) and whether the device reports power.
  void SetPowerDisplay(ui::Control* display, bool has_power_display);
  ui::Control* PowerDisplay() const { return power_display_; }
  bool HasPowerDisplay() const { return has_power_display_; }
  void SetHasPowerDisplay(bool has) { has_power_display_ = has; }
  bool PowerPollSuppressed() const { return power_poll_suppressed_.load(); }
  void SetPowerPollSuppressed(bool suppressed) { power_poll_suppressed_.store(suppressed); }
  void SetLightEditor(ui::Control* editor) { light_editor_ = editor; }
  ui::Control* LightEditor() const { return light_editor_; }
  void SetProfileList(profiles::CDeviceProfileUI* list) { profile_list_ = list; }
  profiles::CDeviceProfileUI* ProfileList() const { return profile_list_; }
  const std::string& DeviceFolderName() const { return device_folder_name_; }
  void SetDeviceFolderName(std::string name) { device_folder_name_ = std::move(name); }
  const std::string& CurrentProfileName() const { return current_profile_name_; }
  void SetCurrentProfileName(std::string name) { current_profile_name_ = std::move(name); }
  const std::string& LightFileName() const { return light_file_name_; }
  void SetLightFileName(std::string name) { light_file_name_ = std::move(name); }
  // Position of the device among those of its kind, and the row of its device-option entry.
  int Ordinal() const { return ordinal_; }
  void SetOrdinal(int ordinal) { ordinal_ = ordinal; }
  int DeviceOptionRow() const { return device_option_row_; }
  void SetDeviceOptionRow(int row) { device_option_row_ = row; }
  int MouseParameter() const { return mouse_parameter_; }
  void SetMouseParameter(int value) { mouse_parameter_ = value; }
  hid::InfoBlock& Info() { return info_; }

  // --- Button tables (the counts size them) ---
  int KeyButtonCount() const { return key_button_count_; }
  int LightButtonCount() const { return light_button_count_; }
  // Resizes the key button table.
  void SetKeyButtonCount(int count);
  // Resizes the light button table, the LED frame and the per-light effect table; zeroes both.
  void SetLightButtonCount(int count);
  CDeviceKeyButtonUI* KeyButton(int n) const;
  CDeviceKeyButtonUI* LightButton(int n) const;
  ui::Container* SelectPanel() const { return select_panel_; }
  int SelectedKey() const { return selected_key_; }
  const std::map<int, int>& KeyIndexMap(int which) const { return key_index_maps_.at(static_cast<std::size_t>(which)); }
  void SetKeyIndexMap(int which, std::map<int, int> map) {
    key_index_maps_.at(static_cast<std::size_t>(which)) = std::move(map);
  }

  // --- Light state ---
  // The LED frame as it stands (whole entries, under the frame lock).
  std::vector<Rgba> FrameSnapshot() const;
  std::size_t LedCount() const;
  PreviewState PreviewSnapshot() const;
  void SetPreviewState(const PreviewState& state);
  ReactiveLevels ReactiveSnapshot() const;
  void SetReactiveLevels(const ReactiveLevels& levels);
  std::vector<profiles::LedEntry> PerLightEffects() const;
  // The steps of the user-defined effect in force (position 0 when replaced).
  std::vector<profiles::EffectStep> CustomEffects() const;

  // --- Name lists (LoadNameLists) ---
  const lighting::LightModeList& LightModes() const { return light_modes_; }
  const std::vector<std::string>& CustomLightNames() const { return custom_light_names_; }
  const std::vector<std::string>& MacroNames() const { return macro_names_; }
  // The macro store the device reads (no macros unless set).
  void SetMacroSource(std::shared_ptr<const macros::MacroSource> source);
  const macros::MacroSource& Macros() const { return *macro_source_; }
  // How many macros the store holds (0 when it lists none).
  int MacroCount() const;

  // --- Host light control and page repaint ---
  // When turned on for a keyboard, CMD_LIGHT_CONTROL is sent at once; returns that result
  // (RESULT_OK when nothing was sent).
  int SetHostLightControl(bool on);
  bool HostLightControl() const { return host_light_control_.load(); }
  void SetPreviewRepaint(bool on);
  bool PreviewRepaint() const { return preview_repaint_; }
  // The page's window was shown or hidden: a hidden page is not repainted.
  void OnWindowVisibility(bool visible) override;
  // The page became the one in front (or left it).
  void OnVisibleChanged() override;
  // Whether SendLedFrame streams the frame to the product now (light control on, the command
  // channel open on the cable; a concrete device may stream only in some modes).
  virtual bool StreamsFrame() const;
  // Whether a changed frame is of use now: it is streamed, or the page in front shows it. A frame
  // of no use is remembered and asked for again once the page can show it (UI thread).
  bool FrameWanted();
  bool PageShown() const { return page_shown_; }
  // Shortest time between two repaints of the light buttons: one refresh of the window's
  // display (60 Hz without a window) unless set here; 0 goes back to the display's.
  void SetRepaintInterval(platform::Millis interval) { repaint_interval_ = interval; }
  platform::Millis RepaintInterval() const;
  // How many times the light buttons were repainted (one burst per frame at most), and how many
  // buttons in all: only those whose colour changed are told to.
  std::uint64_t RepaintCount() const { return repaint_count_; }
  std::uint64_t RepaintedButtons() const { return repainted_buttons_; }
  // How long until a repaint held back by the pace, or a stream held back by the rest after a
  // failure, is due (kInfinite: nothing is owed); the owner shows the frame again then.
  platform::Millis NextFrameIn() const;

  // --- Notices of the event workers ---
  int ActiveProfile() const { return active_profile_.load(); }
  int SubSetting() const { return sub_setting_.load(); }
  // The process-wide reload flag: an event worker asks Resync to reload the profile first.
  static bool ReloadRequested();
  static void SetReloadRequested(bool on);

  // --- File locations ---
  // The per-device data folder (both levels created when missing), with a trailing '/'.
  std::string DataFolder() const;
  std::string DefaultProfilePath() const;
  // "" while the current profile name is not an identifier.
  std::string CurrentProfilePath() const;
  std::string LightConfigPath() const;
  // The page's profile files into `profile`: device index 0, the default, current and light
  // configuration paths, then the current section and the light configuration.
  void LoadProfileFilesInto(profiles::CBasicProfiledata& profile) const;
  // Saves `profile`; when it is not saved, traces `not_saved` with its path.
  static bool SaveProfileData(profiles::CBasicProfiledata& profile, std::string_view not_saved);

  // --- Device operations, in table order ---
  virtual void BindPageControls();
  virtual int ApplyLightSettings();
  virtual void PreviewBreathing();
  virtual void PreviewBreathingFourColors();
  virtual void PreviewStatic();
  virtual void PreviewSpectrum();
  virtual void PreviewBlink();
  virtual void PreviewBlinkFourColors();
  virtual void PreviewOff();
  // Shows the frame on the page and streams it (cable only). RESULT_OK, or the stream's result.
  virtual int SendLedFrame();
  // The device shows nothing streamed yet (a new connection): the next frame goes out even when
  // it equals the last one sent.
  void ForgetStreamedFrame() { last_streamed_.clear(); }
  virtual void SetLedColor(int index, Rgba color);
  virtual Rgba GetLedColor(int index) const;
  virtual int InitialSync();
  virtual int Resync();
  virtual void SpareOperation1();
  virtual void SpareOperation2();
  virtual int ReadPowerStatus();
  virtual int IsLinkReachable();
  virtual int ReloadProfile();
  virtual void RefreshPage();
  virtual void RepairMacroKeys();
  virtual void LoadDefaultProfile();
  virtual std::vector<int> CollectUsedMacros();
  virtual int WriteKeyMap(const std::vector<profiles::KeyEntry>& keys);
  virtual int WriteProfileKeyMap();
  virtual int WriteMacros(const std::vector<int>& macro_indexes);
  virtual int WriteSettings(int profile, int value, int flag, int a, int b);
  virtual void LoadNameLists();
  virtual void SetKeyIndexMaps(const std::map<int, int>& map);
  virtual void DecayReactiveLevel(std::size_t position, int mode);
  virtual void SeedReactiveLevels();
  virtual void RotateWaveRow(int direction);
  virtual void ClearReactiveLevels();
  virtual void ShowFunctionSwitch(int type);
  virtual int GetFunctionSwitchType() const;
  virtual void LoadProfileFiles();
  virtual std::string GetProfilePath() const;
  virtual bool SaveProfile();
  virtual void SetLightTableIndex(int index);
  virtual int GetLightTableIndex() const;
  virtual void SetLightState(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2, std::uint32_t w3);
  virtual void SetAudioLightState(std::uint32_t mode, std::uint32_t color, std::uint32_t flags);
  virtual AudioLightState GetAudioLightState();
  virtual void SelectKeyForEditing(int index);
  virtual void AudioLevels(std::span<const int> values);
  virtual void AudioColor(std::span<const int> values);
  // The concrete devices' own operations: the page content, the light state, and three
  // effect steps of their mode tables. The base builds nothing and its effect steps do nothing.
  virtual bool BuildPage(ui::DialogBuilder& builder);
  virtual LightInfo GetLightState() const;
  virtual void DeviceEffect1() {}
  virtual void DeviceEffect2() {}
  virtual void DeviceEffect3() {}

  // Typed form of SetLightState.
  void SetLightInfo(const LightInfo& info);
  // Synchronised lighting: every LED of the frame shows this colour, packed as R in bits 0-7,
  // G 8-15, B 16-23 and the brightness in 24-31; the owner's frame timer streams it.
  virtual void ShowSyncColor(std::uint32_t packed);

  // --- The main window, as its host reports it (keyboards, mice and pads keep both) ---
  void SetWindowActive(bool active) { window_active_.store(active); }
  bool WindowActive() const { return window_active_.load(); }
  void SetPointerOverWindow(bool over) { pointer_over_window_.store(over); }
  bool PointerOverWindow() const { return pointer_over_window_.load(); }

  // --- Key assignments (what the key editor asks of a device with keys) ---
  // The key list in force, one entry per page key.
  virtual std::vector<profiles::KeyEntry> GetKeyList() const { return {}; }
  // Puts `code` into the key list at page key `key`, stores the list in the profile and saves
  // it; false when there is no such key or the profile was not written.
  virtual bool StoreKeyAssignment(int /*key*/, const profiles::KeyCode& /*code*/) { return false; }
  // The number of page keys, and the device key slot of one (-1: none).
  virtual int PageKeyCount() const { return 0; }
  virtual int KeySlotOf(int /*key*/) const { return -1; }

  // --- Workers ---
  // Starts the light worker; false when it runs.
  bool StartLightWorker();
  bool LightWorkerRunning() const { return light_worker_.Running(); }
  // Opens the event interface of a kind by path and starts its event worker (a running one is
  // stopped first). False when the interface does not open.
  virtual bool OpenEventInterface(bool receiver, const std::string& path);
  void CloseEventInterface(bool receiver);
  bool EventWorkerRunning(bool receiver) const;
  // Light worker (1000 ms) then the event workers (500 ms), each with its exit trace.
  void StopWorkers();
  platform::WorkerThread::StopResult StopLightWorker();

 protected:
  void SetDeviceType(int type) { device_type_ = type; }
  // Builds the page's profile list ("DeviceProfileItem") as the page's first child and sets it
  // up: device type, folders, Load, function tab 1. The current profile name follows the list's
  // current identifier from then on. False when the layout does not build.
  bool AddProfileList(ui::DialogBuilder& builder);
  // Waits for the workers that were let go after a stop time-out. A concrete device calls it
  // with StopWorkers in its destructor, while its own operations still exist.
  void JoinDetachedWorkers();
  // The light worker's mode table, the period of its ticks, and its exit line.
  virtual std::span<const LightModeRow> LightModeTable() const { return {}; }
  virtual platform::Millis LightTickPeriod() const { return kLightTickPeriod; }
  virtual const char* LightWorkerExitLine() const { return "灯光线程设定退出"; }
  // The user-defined effect step of mode indexes without a row; returns when it wants to run
  // again. The base shows nothing and waits for the light state to change.
  virtual platform::Millis CustomEffectStep();
  // The per-light overlay after every step; returns when it wants to run again.
  virtual platform::Millis LightOverlayStep() { return platform::kInfinite; }
  // The event worker: its exit line and what it does with one notification value.
  virtual const char* EventWorkerExitLine() const { return "MS 设备同步线程设定退出"; }
  virtual void HandleEventValue(std::uint16_t value, bool receiver);
  // The notices above 1026 (keyboard) or 1025 (mouse) while the command channel is open.
  void HandleNotice(std::uint16_t value, bool keyboard);
  // A key slot pressed or released (keyboard notices); the base ignores them.
  virtual void OnKeyNotice(int /*slot*/, bool /*pressed*/) {}
  void AskResync(platform::Millis delay);
  void AskRefreshPage();

  // The frame lock guards the LED frame, preview and light state, reactive levels and custom
  // effect list; the effect lock guards the per-light effect table. Whoever changes the frame
  // under the frame lock has the owner asked for a frame as the lock is let go, so every change
  // is shown and streamed and an unchanged frame costs nothing.
  class FrameMutex {
   public:
    explicit FrameMutex(const COmbrixUSBDevice& device) : device_(device) {}
    void lock() { mutex_.lock(); }
    bool try_lock() { return mutex_.try_lock(); }
    void unlock() {
      device_.NoteFrameLocked();
      mutex_.unlock();
    }

   private:
    const COmbrixUSBDevice& device_;
    std::mutex mutex_;
  };
  FrameMutex& FrameLock() const { return frame_lock_; }
  std::mutex& EffectLock() const { return effect_lock_; }
  // Under the frame lock.
  std::vector<Rgba>& FrameLocked() { return frame_; }
  PreviewState& PreviewLocked() { return preview_; }
  LightInfo& LightLocked() { return light_; }
  ReactiveLevels& ReactiveLocked() { return reactive_; }
  std::vector<profiles::EffectStep>& CustomEffectsLocked() { return custom_effects_; }
  int& CustomEffectPositionLocked() { return custom_effect_position_; }
  // Under the effect lock.
  std::vector<profiles::LedEntry>& PerLightEffectsLocked() { return per_light_effects_; }

  // Reads the light mode list and the custom light names (program data folder and device data
  // folder) at the light table index, and the macro names; lists whose file or member is
  // missing stay as they were.
  void ReadNameLists();
  // Shows the frame on the page: visible light buttons take their entries now and are repainted
  // at most once per display refresh, never while the window is hidden.
  void ShowFrameOnPage(const std::vector<Rgba>& frame);
  // Streams `bytes` unless the stream rests after a failure or the device already shows them
  // (the last frame it took); a failure starts a rest.
  int StreamFrame(std::span<const std::uint8_t> bytes);

 private:
  struct EventWorker;
  void LightWorkerLoop(platform::Event& stop);
  void EventWorkerLoop(bool receiver, platform::Event& stop);
  void StopEventWorker(bool receiver);
  void RepaintLightButtons();
  // Under the frame lock: asks the owner for a frame when the frame differs from the last one
  // it was asked for.
  void NoteFrameLocked() const;
  void AskFrame() const;
  static void TraceStop(platform::WorkerThread::StopResult result);

  hid::CommandChannel command_channel_;
  hid::CommandChannel event_channel_;
  platform::EventLoop& loop_;
  hid::InfoBlock info_{};
  std::atomic<DeviceOwner*> owner_{nullptr};
  ui::Control* light_editor_ = nullptr;
  profiles::CDeviceProfileUI* profile_list_ = nullptr;
  ui::Control* power_display_ = nullptr;
  ui::Container* select_panel_ = nullptr;
  ui::TabLayout* function_switch_ = nullptr;
  ui::TabLayout* key_function_switch_ = nullptr;
  std::string current_profile_name_;
  std::string light_file_name_;
  std::string device_folder_name_;
  DeviceDescriptor descriptor_;
  int device_type_ = kDeviceBase;
  int sub_type_ = 0;
  int key_button_count_ = 0;
  int light_button_count_ = 0;
  int selected_key_ = -1;
  int function_switch_type_ = 1;
  std::vector<CDeviceKeyButtonUI*> key_buttons_;
  std::vector<CDeviceKeyButtonUI*> light_buttons_;
  std::array<std::map<int, int>, 3> key_index_maps_;
  std::vector<Rgba> frame_;
  LightInfo light_{};
  PreviewState preview_;
  lighting::LightModeList light_modes_;
  std::vector<std::string> custom_light_names_;
  std::vector<std::string> macro_names_;
  std::shared_ptr<const macros::MacroSource> macro_source_;
  mutable FrameMutex frame_lock_{*this};
  mutable std::mutex effect_lock_;
  // The frame as the owner was last asked to show it (under the frame lock).
  mutable std::vector<Rgba> noted_frame_;
  std::vector<profiles::EffectStep> custom_effects_;
  std::vector<profiles::LedEntry> per_light_effects_;
  std::atomic<bool> host_light_control_{true};
  std::atomic<bool> window_active_{false};
  std::atomic<bool> pointer_over_window_{false};
  bool preview_repaint_ = true;
  int custom_effect_position_ = 0;
  bool has_power_display_ = false;
  std::atomic<bool> power_poll_suppressed_{false};
  int light_table_index_ = 0;
  // Set on the UI thread, read by the light worker in the audio mode.
  mutable std::mutex audio_light_lock_;
  AudioLightState audio_light_;
  ReactiveLevels reactive_;
  int ordinal_ = 0;
  int device_option_row_ = -1;
  int mouse_parameter_ = 0;
  std::atomic<int> active_profile_{-1};
  std::atomic<int> sub_setting_{-1};
  // Frame pacing towards the page and the device (UI thread only).
  bool page_shown_ = true;
  bool repaint_pending_ = false;
  // A frame changed while nobody could see it.
  bool frame_unseen_ = false;
  // Per light button: its colour changed since it was last repainted.
  std::vector<std::uint8_t> repaint_wanted_;
  std::uint64_t repainted_buttons_ = 0;
  platform::Millis repaint_interval_{0};
  platform::Millis last_repaint_{-1000000};
  platform::Millis stream_resume_{0};
  bool stream_owed_ = false;
  std::vector<std::uint8_t> last_streamed_;
  std::uint64_t repaint_count_ = 0;
  // Workers. The wake event tells the light worker that its light state changed.
  platform::Event light_wake_{platform::Event::Mode::kAutoReset};
  platform::Event light_exited_{platform::Event::Mode::kManualReset};
  bool light_detached_ = false;
  platform::WorkerThread light_worker_;
  std::array<std::unique_ptr<EventWorker>, 2> event_workers_;
};

}  // namespace brimvex::devices
