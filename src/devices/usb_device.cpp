#include "devices/usb_device.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string_view>

#include "devices/device_key_button.h"
#include "hid/command_codes.h"
#include "lighting/light_control_ui.h"
#include "platform/trace.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/window.h"
#include "profiles/basic_profile_data.h"
#include "profiles/device_profile_ui.h"
#include "profiles/file_helpers.h"
#include "profiles/profile_list_file.h"

namespace brimvex::devices {
namespace {

using platform::Millis;
using Clock = std::chrono::steady_clock;

std::atomic<bool> g_reload_requested{false};

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

// "key_12" -> ("key_", 12); false when the part after the last '_' is not a decimal number.
bool SplitButtonName(std::string_view name, std::string_view& prefix, int& number) {
  const auto cut = name.rfind('_');
  if (cut == std::string_view::npos || cut + 1 >= name.size()) return false;
  const std::string_view digits = name.substr(cut + 1);
  if (digits.size() > 6) return false;
  int n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  prefix = name.substr(0, cut + 1);
  number = n;
  return true;
}

std::uint32_t Byte(std::uint32_t word, int index) { return (word >> (8 * index)) & 0xFFu; }

}  // namespace

int DeviceKindOfTypeCode(int type_code) {
  switch (type_code) {
    case 1:
    case 9:
      return kDeviceKeyboard;
    case 2:
    case 6:
      return kDeviceMouse;
    case 3:
      return kDeviceMousePad;
    case 7:
      return kDeviceHeadset;
    default:
      return kDeviceBase;
  }
}

// One event worker: its thread (with its own stop event) and the kind it reads.
struct COmbrixUSBDevice::EventWorker {
  platform::WorkerThread thread;
  platform::Event exited{platform::Event::Mode::kManualReset};
  bool detached = false;
};

COmbrixUSBDevice::COmbrixUSBDevice(platform::HidBackend& backend, platform::EventLoop& loop, std::string class_name)
    : ui::Container(std::move(class_name), Direction::kHorizontal),
      command_channel_(backend),
      event_channel_(backend),
      loop_(loop),
      macro_source_(std::make_shared<macros::NoMacros>()) {
  event_workers_[0] = std::make_unique<EventWorker>();
  event_workers_[1] = std::make_unique<EventWorker>();
}

COmbrixUSBDevice::~COmbrixUSBDevice() {
  StopWorkers();
  JoinDetachedWorkers();
}

void COmbrixUSBDevice::JoinDetachedWorkers() {
  // A worker that did not end in time was let go; it still runs on this object with its stop
  // event set, so the object waits for it rather than free what it uses.
  if (light_detached_) light_exited_.Wait();
  for (auto& w : event_workers_) {
    if (w->detached) w->exited.Wait();
  }
}

// --- Identity ---------------------------------------------------------------------------------

void COmbrixUSBDevice::SetDescriptor(const DeviceDescriptor& descriptor) {
  descriptor_ = descriptor;
  if (const int kind = DeviceKindOfTypeCode(descriptor.type); kind != kDeviceBase) device_type_ = kind;
}

DeviceDescriptor COmbrixUSBDevice::Descriptor() const { return descriptor_; }

void COmbrixUSBDevice::SetPowerDisplay(ui::Control* display, bool has_power_display) {
  power_display_ = display;
  has_power_display_ = has_power_display;
}

// --- Button tables ----------------------------------------------------------------------------

void COmbrixUSBDevice::SetKeyButtonCount(int count) {
  key_button_count_ = std::clamp(count, 0, static_cast<int>(kMaxLeds));
  key_buttons_.assign(static_cast<std::size_t>(key_button_count_), nullptr);
}

void COmbrixUSBDevice::SetLightButtonCount(int count) {
  light_button_count_ = std::clamp(count, 0, static_cast<int>(kMaxLeds));
  const auto n = static_cast<std::size_t>(light_button_count_);
  light_buttons_.assign(n, nullptr);
  repaint_wanted_.assign(n, 0);
  {
    std::lock_guard lock(frame_lock_);
    frame_.assign(n, Rgba{});
  }
  std::lock_guard lock(effect_lock_);
  per_light_effects_.assign(n, profiles::LedEntry{});
}

CDeviceKeyButtonUI* COmbrixUSBDevice::KeyButton(int n) const {
  return n >= 0 && static_cast<std::size_t>(n) < key_buttons_.size() ? key_buttons_[static_cast<std::size_t>(n)]
                                                                     : nullptr;
}

CDeviceKeyButtonUI* COmbrixUSBDevice::LightButton(int n) const {
  return n >= 0 && static_cast<std::size_t>(n) < light_buttons_.size() ? light_buttons_[static_cast<std::size_t>(n)]
                                                                       : nullptr;
}

// --- Light state ------------------------------------------------------------------------------

std::vector<Rgba> COmbrixUSBDevice::FrameSnapshot() const {
  std::lock_guard lock(frame_lock_);
  return frame_;
}

std::size_t COmbrixUSBDevice::LedCount() const {
  std::lock_guard lock(frame_lock_);
  return frame_.size();
}

PreviewState COmbrixUSBDevice::PreviewSnapshot() const {
  std::lock_guard lock(frame_lock_);
  return preview_;
}

void COmbrixUSBDevice::SetPreviewState(const PreviewState& state) {
  std::lock_guard lock(frame_lock_);
  preview_ = state;
}

ReactiveLevels COmbrixUSBDevice::ReactiveSnapshot() const {
  std::lock_guard lock(frame_lock_);
  return reactive_;
}

void COmbrixUSBDevice::SetReactiveLevels(const ReactiveLevels& levels) {
  std::lock_guard lock(frame_lock_);
  reactive_ = levels;
}

std::vector<profiles::LedEntry> COmbrixUSBDevice::PerLightEffects() const {
  std::lock_guard lock(effect_lock_);
  return per_light_effects_;
}

std::vector<profiles::EffectStep> COmbrixUSBDevice::CustomEffects() const {
  std::lock_guard lock(frame_lock_);
  return custom_effects_;
}

void COmbrixUSBDevice::SetMacroSource(std::shared_ptr<const macros::MacroSource> source) {
  macro_source_ = source != nullptr ? std::move(source) : std::make_shared<macros::NoMacros>();
}

void COmbrixUSBDevice::ReadNameLists() {
  lighting::ReadLightModeList(profiles::ReadJson(profiles::GetProgramDataFolder() + "default_light.json"),
                              light_table_index_, light_modes_);
  // A device without a data folder (not set up by the device manager) has no custom names.
  if (!device_folder_name_.empty())
    lighting::ReadCustomLightNames(profiles::ReadJson(LightConfigPath()), light_table_index_, custom_light_names_);
  if (auto names = macro_source_->Names()) macro_names_ = std::move(*names);
}

// --- Host light control and repaint -----------------------------------------------------------

int COmbrixUSBDevice::SetHostLightControl(bool on) {
  host_light_control_.store(on);
  if (on) AskFrame();  // the page and the keys show the frame again
  if (on && device_type_ == kDeviceKeyboard && command_channel_.IsOpen()) return command_channel_.LightControl();
  return hid::RESULT_OK;
}

void COmbrixUSBDevice::OnWindowVisibility(bool visible) {
  const bool was = page_shown_;
  page_shown_ = visible;
  // Shown again: what changed meanwhile is repainted at once, whatever the pace.
  if (visible && !was) {
    last_repaint_ = loop_.Now() - RepaintInterval();
    if (repaint_pending_ || frame_unseen_) AskFrame();
  }
}

void COmbrixUSBDevice::OnVisibleChanged() {
  if (!IsVisible()) return;
  // The page in front again: what changed behind it is repainted at once.
  if (repaint_pending_) last_repaint_ = loop_.Now() - RepaintInterval();
  if (frame_unseen_ || repaint_pending_) AskFrame();
}

bool COmbrixUSBDevice::StreamsFrame() const {
  return host_light_control_.load() && command_channel_.IsOpen() && !command_channel_.IsWireless();
}

bool COmbrixUSBDevice::FrameWanted() {
  // Without light control SendLedFrame shows and sends nothing.
  if (host_light_control_.load() && (StreamsFrame() || (page_shown_ && preview_repaint_ && IsVisible()))) {
    frame_unseen_ = false;
    return true;
  }
  frame_unseen_ = true;
  return false;
}

void COmbrixUSBDevice::SetPreviewRepaint(bool on) {
  const bool was = preview_repaint_;
  preview_repaint_ = on;
  if (on && !was && (repaint_pending_ || frame_unseen_)) AskFrame();
}

Millis COmbrixUSBDevice::NextFrameIn() const {
  const Millis now = loop_.Now();
  Millis next = platform::kInfinite;
  if (repaint_pending_ && preview_repaint_ && page_shown_ && IsVisible())
    next = std::max(Millis(0), last_repaint_ + RepaintInterval() - now);
  // Owed only until the rest is over: a frame then that streams nothing owes nothing.
  if (stream_owed_ && now < stream_resume_) next = std::min(next, stream_resume_ - now);
  return next;
}

Millis COmbrixUSBDevice::RepaintInterval() const {
  if (repaint_interval_ > Millis(0)) return repaint_interval_;
  const int rate = GetWindow() != nullptr ? GetWindow()->RefreshRate() : 60;
  return Millis(1000 / std::max(rate, 1));
}

bool COmbrixUSBDevice::ReloadRequested() { return g_reload_requested.load(); }
void COmbrixUSBDevice::SetReloadRequested(bool on) { g_reload_requested.store(on); }

// --- File locations ---------------------------------------------------------------------------

std::string COmbrixUSBDevice::DataFolder() const { return profiles::GetDeviceFolder(device_folder_name_); }
std::string COmbrixUSBDevice::DefaultProfilePath() const {
  return profiles::GetDefaultProfilePath(device_folder_name_);
}
std::string COmbrixUSBDevice::CurrentProfilePath() const {
  return profiles::ProfileFilePath(DataFolder(), current_profile_name_);
}
std::string COmbrixUSBDevice::LightConfigPath() const { return DataFolder() + light_file_name_ + ".config"; }

int COmbrixUSBDevice::MacroCount() const {
  const auto names = Macros().Names();
  return names ? static_cast<int>(names->size()) : 0;
}

void COmbrixUSBDevice::LoadProfileFilesInto(profiles::CBasicProfiledata& profile) const {
  const std::string current = CurrentProfilePath();
  const std::string light = LightConfigPath();
  profile.SetDeviceIndex(0);
  profile.SetDefaultProfilePath(DefaultProfilePath());
  profile.SetProfilePath(current);
  profile.SetLightConfigPath(light);
  profile.LoadSection(current);
  profile.LoadLightConfig(light);
}

bool COmbrixUSBDevice::SaveProfileData(profiles::CBasicProfiledata& profile, std::string_view not_saved) {
  const bool saved = profile.Save();
  if (!saved) platform::Trace(std::string(not_saved) + ": " + profile.GetProfilePath());
  return saved;
}

// --- Device operations ------------------------------------------------------------------------

void COmbrixUSBDevice::BindPageControls() {
  // The light editor of the page, wherever the layout puts it.
  if (light_editor_ == nullptr)
    light_editor_ = dynamic_cast<lighting::CLightControlUI*>(FindControl(lighting::kLightControlItem));
  if (descriptor_.path.empty()) {
    key_button_count_ = 0;
    light_button_count_ = 0;
    key_buttons_.clear();
    light_buttons_.clear();
    repaint_wanted_.clear();
    std::lock_guard lock(frame_lock_);
    frame_.clear();
    return;
  }
  // The device picture: the first select panel of the page, wherever the layout puts it.
  select_panel_ = nullptr;
  ForEach([this](ui::Control& c) {
    if (select_panel_ == nullptr && c.ClassName() == "SelectPanel") select_panel_ = dynamic_cast<ui::Container*>(&c);
  });
  if (select_panel_ == nullptr) return;
  for (std::size_t i = 0; i < select_panel_->Count(); ++i) {
    auto* button = dynamic_cast<CDeviceKeyButtonUI*>(select_panel_->ChildAt(i));
    if (button == nullptr || button->ClassName() != "DeviceKeyButton") continue;
    std::string_view prefix;
    int n = 0;
    if (!SplitButtonName(button->Name(), prefix, n)) continue;
    if (EqualsNoCase(prefix, "key_") && n < key_button_count_) {
      key_buttons_[static_cast<std::size_t>(n)] = button;
    } else if (EqualsNoCase(prefix, "light_") && n < light_button_count_) {
      light_buttons_[static_cast<std::size_t>(n)] = button;
      button->SetLedColor(Rgba{255, 255, 255, 255});
      button->Repaint();
    }
  }
}

int COmbrixUSBDevice::ApplyLightSettings() { return 0; }

void COmbrixUSBDevice::PreviewBreathing() {
  std::lock_guard lock(frame_lock_);
  devices::PreviewBreathing(light_, preview_, frame_);
}
void COmbrixUSBDevice::PreviewBreathingFourColors() {
  std::lock_guard lock(frame_lock_);
  devices::PreviewBreathingFourColors(light_, preview_, frame_);
}
void COmbrixUSBDevice::PreviewStatic() {
  std::lock_guard lock(frame_lock_);
  devices::PreviewStatic(light_, frame_);
}
void COmbrixUSBDevice::PreviewSpectrum() {
  std::lock_guard lock(frame_lock_);
  devices::PreviewSpectrum(light_, preview_, frame_);
}
void COmbrixUSBDevice::PreviewBlink() {
  const auto now = static_cast<std::uint32_t>(loop_.Now().count());
  std::lock_guard lock(frame_lock_);
  devices::PreviewBlink(light_, preview_, now, frame_);
}
void COmbrixUSBDevice::PreviewBlinkFourColors() {
  const auto now = static_cast<std::uint32_t>(loop_.Now().count());
  std::lock_guard lock(frame_lock_);
  devices::PreviewBlinkFourColors(light_, preview_, now, frame_);
}
void COmbrixUSBDevice::PreviewOff() {
  std::lock_guard lock(frame_lock_);
  devices::PreviewOff(frame_);
}

int COmbrixUSBDevice::SendLedFrame() {
  if (!host_light_control_.load()) return hid::RESULT_OK;
  const std::vector<Rgba> frame = FrameSnapshot();
  ShowFrameOnPage(frame);
  if (!StreamsFrame()) return hid::RESULT_OK;
  const auto bytes = ScaleFrame(frame);
  const std::size_t n = 3 * std::min(frame.size(), kMaxLeds);
  return StreamFrame(std::span<const std::uint8_t>(bytes.data(), n));
}

void COmbrixUSBDevice::ShowFrameOnPage(const std::vector<Rgba>& frame) {
  for (std::size_t i = 0; i < frame.size() && i < light_buttons_.size(); ++i) {
    CDeviceKeyButtonUI* button = light_buttons_[i];
    if (button != nullptr && button->IsVisible() && button->SetLedColor(frame[i])) {
      repaint_wanted_[i] = 1;
      repaint_pending_ = true;
    }
  }
  const Millis now = loop_.Now();
  // A page behind another device's keeps what changed for when it comes to the front.
  if (repaint_pending_ && preview_repaint_ && page_shown_ && IsVisible() && now - last_repaint_ >= RepaintInterval()) {
    RepaintLightButtons();
    last_repaint_ = now;
    repaint_pending_ = false;
  }
}

int COmbrixUSBDevice::StreamFrame(std::span<const std::uint8_t> bytes) {
  // After a failure the device is given a rest instead of the next frames; the UI thread is
  // never put to sleep for it.
  const Millis now = loop_.Now();
  if (now < stream_resume_) {
    stream_owed_ = true;
    return hid::RESULT_OK;
  }
  stream_owed_ = false;
  // A frame the device took already is not sent again: an effect's step lasts many frame periods.
  if (std::ranges::equal(bytes, last_streamed_)) return hid::RESULT_OK;
  const int result = command_channel_.StreamKeyColors(bytes);
  if (result == hid::RESULT_OK) {
    last_streamed_.assign(bytes.begin(), bytes.end());
  } else {
    last_streamed_.clear();
    stream_resume_ = now + kFrameFailurePause;
    stream_owed_ = true;
  }
  return result;
}

void COmbrixUSBDevice::RepaintLightButtons() {
  for (std::size_t i = 0; i < light_buttons_.size(); ++i) {
    if (repaint_wanted_[i] == 0) continue;
    repaint_wanted_[i] = 0;
    if (light_buttons_[i] == nullptr || !light_buttons_[i]->IsVisible()) continue;
    light_buttons_[i]->Repaint();
    ++repainted_buttons_;
  }
  ++repaint_count_;
}

void COmbrixUSBDevice::NoteFrameLocked() const {
  if (frame_ == noted_frame_) return;
  noted_frame_ = frame_;
  AskFrame();
}

void COmbrixUSBDevice::AskFrame() const {
  if (DeviceOwner* owner = owner_.load()) owner->RequestFrame();
}

void COmbrixUSBDevice::SetLedColor(int index, Rgba color) {
  std::lock_guard lock(frame_lock_);
  if (index >= 0 && static_cast<std::size_t>(index) < frame_.size()) frame_[static_cast<std::size_t>(index)] = color;
}

Rgba COmbrixUSBDevice::GetLedColor(int index) const {
  std::lock_guard lock(frame_lock_);
  return index >= 0 && static_cast<std::size_t>(index) < frame_.size() ? frame_[static_cast<std::size_t>(index)]
                                                                       : Rgba{};
}

int COmbrixUSBDevice::InitialSync() { return hid::RESULT_OK; }
int COmbrixUSBDevice::Resync() { return hid::RESULT_OK; }
void COmbrixUSBDevice::SpareOperation1() {}
void COmbrixUSBDevice::SpareOperation2() {}
int COmbrixUSBDevice::ReadPowerStatus() { return hid::RESULT_OK; }
int COmbrixUSBDevice::IsLinkReachable() { return 1; }
int COmbrixUSBDevice::ReloadProfile() { return 0; }
void COmbrixUSBDevice::RefreshPage() {}
void COmbrixUSBDevice::RepairMacroKeys() {}
void COmbrixUSBDevice::LoadDefaultProfile() {}
std::vector<int> COmbrixUSBDevice::CollectUsedMacros() { return {}; }
int COmbrixUSBDevice::WriteKeyMap(const std::vector<profiles::KeyEntry>& /*keys*/) { return 0; }
int COmbrixUSBDevice::WriteProfileKeyMap() { return 0; }
int COmbrixUSBDevice::WriteMacros(const std::vector<int>& /*macro_indexes*/) { return 0; }
int COmbrixUSBDevice::WriteSettings(int /*profile*/, int /*value*/, int /*flag*/, int /*a*/, int /*b*/) { return 0; }
void COmbrixUSBDevice::LoadNameLists() {}
void COmbrixUSBDevice::SetKeyIndexMaps(const std::map<int, int>& map) { key_index_maps_[2] = map; }

void COmbrixUSBDevice::DecayReactiveLevel(std::size_t position, int mode) {
  std::lock_guard lock(frame_lock_);
  devices::DecayReactiveLevel(reactive_, position, mode);
}
void COmbrixUSBDevice::SeedReactiveLevels() {
  std::lock_guard lock(frame_lock_);
  devices::SeedReactiveLevels(reactive_);
}
void COmbrixUSBDevice::RotateWaveRow(int direction) {
  std::lock_guard lock(frame_lock_);
  devices::RotateWaveRow(reactive_, direction);
}
void COmbrixUSBDevice::ClearReactiveLevels() {
  std::lock_guard lock(frame_lock_);
  devices::ClearReactiveLevels(reactive_);
}

void COmbrixUSBDevice::ShowFunctionSwitch(int type) {
  function_switch_type_ = type;
  if (function_switch_ == nullptr)
    function_switch_ = dynamic_cast<ui::TabLayout*>(FindControl("device_function_switch"));
  if (key_function_switch_ == nullptr)
    key_function_switch_ = dynamic_cast<ui::TabLayout*>(FindControl("device_key_function_switch"));
  if (function_switch_ == nullptr || key_function_switch_ == nullptr) return;
  if (type == 4 && device_type_ != kDeviceKeyboard && device_type_ != kDeviceMouse) type = 7;
  switch (type) {
    case 2:
    case 6:
      function_switch_->SelectItem(0);
      key_function_switch_->SelectItem(1);
      break;
    case 3:
    case 8:
      function_switch_->SelectItem(1);
      break;
    case 4:
      function_switch_->SelectItem(3);
      break;
    case 5:
      function_switch_->SelectItem(2);
      break;
    case 7:
      function_switch_->SelectItem(0);
      key_function_switch_->SelectItem(2);
      break;
    default:
      function_switch_->SelectItem(0);
      key_function_switch_->SelectItem(0);
      break;
  }
}

int COmbrixUSBDevice::GetFunctionSwitchType() const { return function_switch_type_; }
void COmbrixUSBDevice::LoadProfileFiles() {}
std::string COmbrixUSBDevice::GetProfilePath() const { return {}; }
bool COmbrixUSBDevice::SaveProfile() { return true; }
void COmbrixUSBDevice::SetLightTableIndex(int index) { light_table_index_ = index; }
int COmbrixUSBDevice::GetLightTableIndex() const { return light_table_index_; }

void COmbrixUSBDevice::SetLightState(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2, std::uint32_t w3) {
  std::array<std::uint8_t, 16> bytes{};
  const std::array<std::uint32_t, 4> words{w0, w1, w2, w3};
  for (int w = 0; w < 4; ++w)
    for (int b = 0; b < 4; ++b)
      bytes[static_cast<std::size_t>(4 * w + b)] =
          static_cast<std::uint8_t>(Byte(words[static_cast<std::size_t>(w)], b));
  LightInfo info;
  std::memcpy(&info, bytes.data(), sizeof info);
  SetLightInfo(info);
}

void COmbrixUSBDevice::SetLightInfo(const LightInfo& info) {
  {
    std::lock_guard lock(frame_lock_);
    light_ = info;
  }
  light_wake_.Set();
}

void COmbrixUSBDevice::ShowSyncColor(std::uint32_t packed) {
  const Rgba color{static_cast<std::uint8_t>(packed), static_cast<std::uint8_t>(packed >> 8),
                   static_cast<std::uint8_t>(packed >> 16), static_cast<std::uint8_t>(packed >> 24)};
  std::lock_guard lock(frame_lock_);
  std::fill(frame_.begin(), frame_.end(), color);
}

AudioLightState AudioLightStateOf(const profiles::AudioLightInfo& a) {
  const auto word = [](std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3) {
    return static_cast<std::uint32_t>(b0) | static_cast<std::uint32_t>(b1) << 8 | static_cast<std::uint32_t>(b2) << 16 |
           static_cast<std::uint32_t>(b3) << 24;
  };
  return AudioLightState{word(a.audio_mode, a.back_red, a.back_green, a.back_blue),
                         word(a.fore_red, a.fore_green, a.fore_blue, a.seven_colors), a.color_type};
}

profiles::AudioLightInfo AudioLightInfoOf(const AudioLightState& s) {
  const auto byte = [](std::uint32_t w, int i) { return static_cast<std::uint8_t>(w >> (8 * i)); };
  return profiles::AudioLightInfo{byte(s.mode, 0),  byte(s.mode, 1),  byte(s.mode, 2),
                                  byte(s.mode, 3),  byte(s.color, 0), byte(s.color, 1),
                                  byte(s.color, 2), byte(s.color, 3), byte(s.flags, 0)};
}

void COmbrixUSBDevice::SetAudioLightState(std::uint32_t mode, std::uint32_t color, std::uint32_t flags) {
  std::lock_guard lock(audio_light_lock_);
  audio_light_ = AudioLightState{mode, color, flags};
}

AudioLightState COmbrixUSBDevice::GetAudioLightState() {
  std::lock_guard lock(audio_light_lock_);
  return audio_light_;
}

void COmbrixUSBDevice::SelectKeyForEditing(int index) { selected_key_ = index; }
void COmbrixUSBDevice::AudioLevels(std::span<const int> /*values*/) {}
void COmbrixUSBDevice::AudioColor(std::span<const int> /*values*/) {}
bool COmbrixUSBDevice::BuildPage(ui::DialogBuilder& /*builder*/) { return false; }

bool COmbrixUSBDevice::AddProfileList(ui::DialogBuilder& builder) {
  auto built = builder.Create(profiles::kDeviceProfileLayout);
  auto* list = dynamic_cast<profiles::CDeviceProfileUI*>(built.root.get());
  if (list == nullptr) {
    platform::Trace(built ? std::string("profile list layout without its control") : built.error);
    return false;
  }
  list->SetName("DeviceProfileItem");
  list->SetCurrentIdListener([this](const std::string& id) { SetCurrentProfileName(id); });
  list->SetDeviceType(DeviceType());
  list->SetFolders(DataFolder(), DefaultProfilePath());
  list->Load();
  list->SelectTab(1);
  Add(std::move(built.root));
  profile_list_ = list;
  return true;
}

LightInfo COmbrixUSBDevice::GetLightState() const {
  std::lock_guard lock(frame_lock_);
  return light_;
}

// --- Light worker -----------------------------------------------------------------------------

bool COmbrixUSBDevice::StartLightWorker() {
  if (light_worker_.Running() || light_detached_) return false;
  light_exited_.Reset();
  return light_worker_.Start([this](const platform::ThreadParam& p) {
    LightWorkerLoop(*p.stop);
    light_exited_.Set();
  });
}

Millis COmbrixUSBDevice::CustomEffectStep() {
  PreviewOff();
  return platform::kInfinite;
}

void COmbrixUSBDevice::LightWorkerLoop(platform::Event& stop) {
  // The worker sleeps until its next step is due, the light state changes or it is stopped. Ticks
  // are counted on the steady clock, so a late wake-up still counts the ticks that passed.
  auto last_tick = Clock::now();
  std::uint32_t ticks = 0;
  const Millis tick = LightTickPeriod();
  for (;;) {
    Millis wait = platform::kInfinite;
    if (!command_channel_.IsOpen() || command_channel_.LightSync()) {
      wait = kLightIdleRecheck;
      last_tick = Clock::now();
      ticks = 0;
    } else {
      const auto now = Clock::now();
      const auto elapsed = std::chrono::duration_cast<Millis>(now - last_tick);
      if (elapsed >= tick) {
        const auto whole = static_cast<std::uint32_t>(elapsed / tick);
        ticks += whole;
        last_tick += whole * tick;
      }
      const LightInfo info = GetLightState();
      const auto table = LightModeTable();
      const auto row =
          std::find_if(table.begin(), table.end(), [&](const LightModeRow& r) { return r.mode == info.mode; });
      if (row != table.end()) {
        const std::uint32_t threshold =
            std::max<std::uint32_t>(1, row->threshold[std::min<std::size_t>(info.speed, 4)]);
        if (ticks >= threshold) {
          (this->*row->step)();
          ticks = 0;
        }
        const auto due = last_tick + (threshold - ticks) * tick;
        wait = std::max(Millis(1), std::chrono::ceil<Millis>(due - Clock::now()));
      } else {
        wait = CustomEffectStep();
      }
      wait = std::min(wait, LightOverlayStep());
    }
    const int woke = platform::Event::WaitAny({&stop, &light_wake_}, wait);
    if (woke == 0) {
      platform::Trace(LightWorkerExitLine());
      return;
    }
  }
}

platform::WorkerThread::StopResult COmbrixUSBDevice::StopLightWorker() {
  if (light_detached_) return platform::WorkerThread::StopResult::kTimedOut;
  const auto result = light_worker_.Stop(kLightWorkerStopTimeout);
  if (result == platform::WorkerThread::StopResult::kNotRunning) return result;
  TraceStop(result);
  if (result == platform::WorkerThread::StopResult::kTimedOut) light_detached_ = true;
  return result;
}

void COmbrixUSBDevice::TraceStop(platform::WorkerThread::StopResult result) {
  switch (result) {
    case platform::WorkerThread::StopResult::kEnded:
      platform::Trace("线程退出：：对象处于激发状态\n");
      break;
    case platform::WorkerThread::StopResult::kTimedOut:
      platform::Trace("线程退出：：对象处于非激发状态，超时\n");
      break;
    default:
      platform::Trace("线程退出：：错误\n");
      break;
  }
}

// --- Event workers ----------------------------------------------------------------------------

bool COmbrixUSBDevice::OpenEventInterface(bool receiver, const std::string& path) {
  StopEventWorker(receiver);
  bool opened = false;
  {
    std::lock_guard lock(receiver ? event_channel_.ReceiverLock() : event_channel_.TransactionLock());
    hid::HidInterface& record = receiver ? event_channel_.Receiver() : event_channel_.Wired();
    record.Close();
    opened = record.Open(path, true, true, true, false);
    if (opened) event_channel_.SetOpen(true);
  }
  if (!opened) return false;
  EventWorker& w = *event_workers_[receiver ? 1 : 0];
  if (w.detached) return true;  // an old worker still runs on this record; it is not doubled
  w.exited.Reset();
  return w.thread.Start([this, receiver, &w](const platform::ThreadParam& p) {
    EventWorkerLoop(receiver, *p.stop);
    w.exited.Set();
  });
}

void COmbrixUSBDevice::CloseEventInterface(bool receiver) {
  StopEventWorker(receiver);
  std::lock_guard lock(receiver ? event_channel_.ReceiverLock() : event_channel_.TransactionLock());
  (receiver ? event_channel_.Receiver() : event_channel_.Wired()).Close();
  event_channel_.SetOpen(event_channel_.Wired().IsOpen() || event_channel_.Receiver().IsOpen());
}

bool COmbrixUSBDevice::EventWorkerRunning(bool receiver) const {
  return event_workers_[receiver ? 1 : 0]->thread.Running();
}

void COmbrixUSBDevice::StopEventWorker(bool receiver) {
  EventWorker& w = *event_workers_[receiver ? 1 : 0];
  if (w.detached || !w.thread.Running()) {
    if (!w.detached) w.thread.Stop(kEventWorkerStopTimeout);  // joins a worker that ended itself
    return;
  }
  // The worker may be blocked in a read: the stop event ends its wait, and aborting the read
  // (Close ends a pending transfer at once) ends the read.
  w.thread.RequestStop();
  {
    std::lock_guard lock(receiver ? event_channel_.ReceiverLock() : event_channel_.TransactionLock());
    (receiver ? event_channel_.Receiver() : event_channel_.Wired()).Close();
  }
  const auto result = w.thread.Stop(kEventWorkerStopTimeout);
  TraceStop(result);
  if (result == platform::WorkerThread::StopResult::kTimedOut) w.detached = true;
}

void COmbrixUSBDevice::EventWorkerLoop(bool receiver, platform::Event& stop) {
  hid::HidInterface& record = receiver ? event_channel_.Receiver() : event_channel_.Wired();
  std::recursive_mutex& record_lock = receiver ? event_channel_.ReceiverLock() : event_channel_.TransactionLock();
  std::array<std::uint8_t, 64> buffer{};
  while (!stop.IsSet()) {
    // The read blocks without the lock; closing the record ends it at once.
    std::uint32_t n = 0;
    if (record.ReadReport(buffer, &n, platform::kInfinite) != 1 || n == 0) {
      // Closed, gone or aborted: wait for the stop event, or look again a little later.
      if (stop.Wait(kLightIdleRecheck)) break;
      continue;
    }
    std::uint16_t value = 0;
    {
      std::lock_guard lock(record_lock);
      if (stop.IsSet() || !record.IsOpen()) continue;
      const std::span<const std::uint8_t> report(buffer.data(), n);
      bool have = false;
      if (record.UnpackInputReport(report)) {
        for (const auto& item : record.InputDataItems()) {
          if (item.report_id != 0 && item.report_id != report[0]) continue;
          value = item.is_button ? (item.usage_list.empty() ? 0 : item.usage_list.front())
                                 : static_cast<std::uint16_t>(item.raw_value);
          have = true;
          break;
        }
      }
      if (!have && n >= 3) value = static_cast<std::uint16_t>(report[1] | report[2] << 8);
    }
    platform::Trace("接收到自动添加设备的同步信息要求  TEST");
    HandleEventValue(value, receiver);
  }
  platform::Trace(EventWorkerExitLine());
}

void COmbrixUSBDevice::HandleEventValue(std::uint16_t value, bool /*receiver*/) {
  if (value == 1025) {
    platform::Trace("接收到自动添加设备的同步信息要求");
    AskResync(Millis(50));
  } else if (value == 1026) {
    SetReloadRequested(true);
    platform::Trace("接收到自动添加设备的同步信息要求");
    AskResync(Millis(50));
  } else if (value > 1026) {
    HandleNotice(value, device_type_ == kDeviceKeyboard);
  }
}

void COmbrixUSBDevice::HandleNotice(std::uint16_t value, bool keyboard) {
  if (!command_channel_.IsOpen()) return;
  const DeviceNotice notice = DecodeNotice(value, keyboard);
  switch (notice.kind) {
    case DeviceNotice::Kind::kProfile:
      if (notice.profile >= 0) active_profile_.store(notice.profile);
      if (notice.sub_setting >= 0) sub_setting_.store(notice.sub_setting);
      AskRefreshPage();
      break;
    case DeviceNotice::Kind::kKeyPress:
    case DeviceNotice::Kind::kKeyRelease:
      OnKeyNotice(notice.key_slot, notice.kind == DeviceNotice::Kind::kKeyPress);
      break;
    case DeviceNotice::Kind::kIgnored:
      break;
  }
}

void COmbrixUSBDevice::AskResync(Millis delay) {
  if (DeviceOwner* owner = owner_.load()) owner->RequestResync(delay);
}

void COmbrixUSBDevice::AskRefreshPage() {
  if (DeviceOwner* owner = owner_.load()) owner->RequestRefreshPage();
}

// --- Stopping ---------------------------------------------------------------------------------

void COmbrixUSBDevice::StopWorkers() {
  StopLightWorker();
  StopEventWorker(false);
  StopEventWorker(true);
}

}  // namespace brimvex::devices
