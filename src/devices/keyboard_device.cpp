#include "devices/keyboard_device.h"

#include <algorithm>

#include "devices/audio_light_words.h"
#include "devices/device_key_button.h"
#include "devices/device_transaction.h"
#include "devices/key_set_control_ui.h"
#include "devices/key_slots.h"
#include "devices/light_editor_link.h"
#include "platform/trace.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/window.h"
#include "profiles/default_tables.h"
#include "profiles/file_helpers.h"

namespace brimvex::devices {
namespace {

using hid::RESULT_FAILED;
using hid::RESULT_OK;
using profiles::KeyCode;
using profiles::KeyEntry;
using platform::Millis;


const std::array<KeyCode, kKeyboardPageKeys>& FactoryCodes() {
  static const auto codes = [] {
    std::array<KeyCode, kKeyboardPageKeys> c{};
    for (std::size_t j = 0; j < c.size(); ++j) c[j] = profiles::kKeyboardPageKeys[j].code;
    return c;
  }();
  return codes;
}

}  // namespace

COmbrixKeyboardDevice::COmbrixKeyboardDevice(platform::HidBackend& backend, platform::EventLoop& loop)
    : COmbrixUSBDevice(backend, loop, "COmbrixKeyboardDevice") {
  SetDeviceType(kDeviceKeyboard);
  light_of_slot_.fill(kNoCell);
}

COmbrixKeyboardDevice::~COmbrixKeyboardDevice() {
  StopWorkers();
  JoinDetachedWorkers();
}

// --- Page ---------------------------------------------------------------------------------------

bool COmbrixKeyboardDevice::BuildPage(ui::DialogBuilder& builder) {
  auto built = builder.Create("XML/DeviceXml/keyboarddevice.xml");
  if (!built || !AddProfileList(builder)) return false;
  Add(std::move(built.root));
  return true;
}

void COmbrixKeyboardDevice::BindPageControls() {
  COmbrixUSBDevice::BindPageControls();
  controls_ = SystemControls{};
  key_editor_.Bind(*this);
  LoadNameLists();
}

void COmbrixKeyboardDevice::ShowKeyList() { key_editor_.ShowKeys(*this, key_list_); }

void COmbrixKeyboardDevice::SelectKeyForEditing(int index) {
  COmbrixUSBDevice::SelectKeyForEditing(index);
  key_editor_.Edit(*this, key_list_, index);
}

void COmbrixKeyboardDevice::CachePageControls() {
  if (controls_.cached) return;
  controls_.cached = true;
  auto find = [this]<typename T>(T*& slot, const std::string& name) { slot = dynamic_cast<T*>(FindControl(name)); };
  find(controls_.repeat_rate, "repeat_rate_slider");
  find(controls_.repeat_input, "repeat_input_richedit");
  find(controls_.repeat_delay_label, "repeat_delay_time_label1");
  find(controls_.win_lock, "winlockflag_option");
  find(controls_.w_flag, "wflag_option");
  find(controls_.key6, "6flag_option");
  for (std::size_t i = 0; i < 4; ++i) {
    find(controls_.polling[i], "polling_rate_option_" + std::to_string(i));
    find(controls_.repeat_delay[i], "repeat_delay_check_" + std::to_string(i));
  }
}

void COmbrixKeyboardDevice::RefreshPage() {
  LoadNameLists();
  ShowKeyList();
  // The system settings, set without raising notifications.
  CachePageControls();
  const auto index = [](std::uint16_t v) { return v < 4 ? static_cast<std::size_t>(v) : std::size_t{0}; };
  if (controls_.repeat_rate != nullptr) controls_.repeat_rate->SetValue(system_.repeat);
  const std::size_t delay = index(system_.repeat_delay);
  const std::size_t polling = index(system_.polling_rate);
  for (std::size_t i = 0; i < 4; ++i) {
    if (controls_.repeat_delay[i] != nullptr) controls_.repeat_delay[i]->Selected(i == delay, false);
    if (controls_.polling[i] != nullptr) controls_.polling[i]->Selected(i == polling, false);
  }
  if (controls_.repeat_delay_label != nullptr) {
    const std::string text = GetWindow() != nullptr ? GetWindow()->Text("Repeat_Delay_Time") : "Repeat_Delay_Time";
    controls_.repeat_delay_label->SetText(text + std::to_string(250 * (delay + 1)) + "ms");
  }
  if (controls_.key6 != nullptr) controls_.key6->Selected(system_.key6_flag != 0, false);
  if (controls_.w_flag != nullptr) controls_.w_flag->Selected(system_.w_flag != 0, false);
  if (controls_.win_lock != nullptr) controls_.win_lock->Selected(system_.win_flag != 0, false);
  if (controls_.repeat_input != nullptr) controls_.repeat_input->SetText("");
  ShowLightOnEditor(*this);
}

profiles::KeyboardSystemSettings COmbrixKeyboardDevice::SystemSettingsFromPage() const {
  profiles::KeyboardSystemSettings s = system_;
  const SystemControls& c = controls_;
  if (c.repeat_rate != nullptr) s.repeat = static_cast<std::uint16_t>(std::max(0, c.repeat_rate->Value()));
  for (std::size_t i = 0; i < 4; ++i) {
    if (c.repeat_delay[i] != nullptr && c.repeat_delay[i]->IsSelected()) s.repeat_delay = static_cast<std::uint16_t>(i);
    if (c.polling[i] != nullptr && c.polling[i]->IsSelected()) s.polling_rate = static_cast<std::uint16_t>(i);
  }
  if (c.key6 != nullptr) s.key6_flag = c.key6->IsSelected() ? 1 : 0;
  if (c.w_flag != nullptr) s.w_flag = c.w_flag->IsSelected() ? 1 : 0;
  if (c.win_lock != nullptr) s.win_flag = c.win_lock->IsSelected() ? 1 : 0;
  return s;
}

int COmbrixKeyboardDevice::ApplySystemSettings(const profiles::KeyboardSystemSettings& settings) {
  system_ = settings;
  profile_.SetSystemSettings(settings);
  const bool saved = SaveProfile();
  const int written = WriteSettings(0, 0, 1, 0, 0);
  if (!saved) platform::Trace("键盘系统设置未保存: " + profile_.GetProfilePath());
  return written == RESULT_OK && !saved ? RESULT_FAILED : written;
}

int COmbrixKeyboardDevice::ResetRepeatSettings() {
  profiles::CKeyboardProfiledata defaults;
  defaults.SetDefaultProfilePath(DefaultProfilePath());
  profiles::KeyboardSystemSettings s = system_;
  if (defaults.LoadDefaultSection()) {
    const auto d = defaults.GetSystemSettings();
    s.repeat = d.repeat;
    s.repeat_delay = d.repeat_delay;
  } else {
    platform::Trace("no default profile for the repeat settings: " + DefaultProfilePath());
  }
  const int result = ApplySystemSettings(s);
  RefreshPage();
  return result;
}

void COmbrixKeyboardDevice::ShowFunctionSwitch(int type) {
  COmbrixUSBDevice::ShowFunctionSwitch(type);
  if (CDeviceKeyButtonUI* fn = KeyButton(kFnPageKey); fn != nullptr && (type == 1 || type == 2))
    fn->SetStateFlag(type == 1);
}

// --- Profile ------------------------------------------------------------------------------------

void COmbrixKeyboardDevice::LoadProfileFiles() { LoadProfileFilesInto(profile_); }

std::string COmbrixKeyboardDevice::GetProfilePath() const { return profile_.GetProfilePath(); }

bool COmbrixKeyboardDevice::SaveProfile() { return SaveProfileData(profile_, "键盘配置文件未保存"); }

int COmbrixKeyboardDevice::ReloadProfile() {
  LoadProfileFiles();
  bool repaired = false;
  key_list_ = profile_.GetCheckedKeyList(FactoryCodes(), &repaired);
  if (repaired) {
    // Keys without a usable code took their defaults; the file as it was is kept aside.
    platform::Trace("键位表已修复: " + profile_.GetProfilePath());
    if (!profile_.SaveKeepingAside()) platform::Trace("键位表修复未保存: " + profile_.GetProfilePath());
  }
  ApplyLightSettings();
  system_ = profile_.GetSystemSettings();
  return RESULT_OK;
}

void COmbrixKeyboardDevice::LoadDefaultProfile() {
  if (!profile_.LoadDefaultSection()) {
    platform::Trace("no default keyboard profile: " + DefaultProfilePath());
    return;
  }
  bool repaired = false;
  key_list_ = profile_.GetCheckedKeyList(FactoryCodes(), &repaired);
  ApplyLightSettings();
  system_ = profile_.GetSystemSettings();
  SaveProfile();
  RefreshPage();
}

void COmbrixKeyboardDevice::LoadNameLists() { ReadNameLists(); }

bool COmbrixKeyboardDevice::StoreKeyAssignment(int key, const KeyCode& code) {
  if (key < 0 || static_cast<std::size_t>(key) >= key_list_.size()) return false;
  key_list_[static_cast<std::size_t>(key)].current = code;
  profile_.SetKeyList(key_list_);
  ShowKeyList();
  return SaveProfile();
}

void COmbrixKeyboardDevice::SetLightTableIndex(int index) {
  COmbrixUSBDevice::SetLightTableIndex(index);
  profile_.SetDeviceIndex(0);
}

void COmbrixKeyboardDevice::SetLightState(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2, std::uint32_t w3) {
  COmbrixUSBDevice::SetLightState(w0, w1, w2, w3);
  profile_.SetLightInfo(GetLightState());
}

void COmbrixKeyboardDevice::SetAudioLightState(std::uint32_t mode, std::uint32_t color, std::uint32_t flags) {
  COmbrixUSBDevice::SetAudioLightState(mode, color, flags);
  profile_.SetAudioLightInfo(AudioLightOf(mode, color, flags));
}

int COmbrixKeyboardDevice::ApplyLightSettings() {
  const std::uint8_t old_mode = GetLightState().mode;
  const LightInfo info = profile_.GetLightInfo();
  const AudioLightWords audio = WordsOf(profile_.GetAudioLightInfo());
  COmbrixUSBDevice::SetAudioLightState(audio.mode, audio.color, audio.flags);
  record_view_.mode = info.mode;
  record_view_.brightness = info.brightness;
  record_view_.speed = info.speed;
  record_view_.multi_color = info.multi_color;
  record_view_.red = info.red;
  record_view_.green = info.green;
  record_view_.blue = info.blue;
  record_view_.custom_group = info.custom_group;
  SetLightInfo(info);
  if (info.mode != old_mode || info.mode == kCustomColorsMode) RunModeStart(info.mode);
  std::vector<profiles::LedEntry> per_light = profile_.GetLightList();
  {
    std::lock_guard lock(EffectLock());
    per_light.resize(PerLightEffectsLocked().size());
    PerLightEffectsLocked() = std::move(per_light);
    overlays_ = OverlayState{};
  }
  auto steps = profile_.GetEffectSteps(GetLightTableIndex(), ListedModeCount());
  std::lock_guard lock(FrameLock());
  if (info.mode == kSweepMode) effects_.color.fill(0);
  PreviewLocked() = PreviewState{};
  CustomEffectsLocked() = std::move(steps);
  CustomEffectPositionLocked() = 0;
  BeginCustomStep(Loop().Now());
  return RESULT_OK;
}

void COmbrixKeyboardDevice::RunModeStart(int mode) {
  std::vector<profiles::CustomColor> colors;
  if (mode == kCustomColorsMode) colors = profile_.GetCustomColors(GetLightState().custom_group, kMaxLeds);
  std::lock_guard lock(FrameLock());
  StartMode(mode, effects_);
  if (mode != kCustomColorsMode) return;
  const std::uint8_t level = BrightnessLevel(LightLocked());
  auto& frame = FrameLocked();
  for (std::size_t i = 0; i < frame.size() && i < colors.size(); ++i)
    frame[i] = Rgba{colors[i].red, colors[i].green, colors[i].blue, level};
}

// --- Reading the keyboard -----------------------------------------------------------------------

int COmbrixKeyboardDevice::Transaction(const std::function<int()>& body) {
  StepGate gate(CommandChannelRef(), false);
  return RunTransaction(CommandChannelRef(), gate, body);
}

int COmbrixKeyboardDevice::ReadKeyMapNow(std::vector<std::uint8_t>& map) {
  hid::CommandChannel& ch = CommandChannelRef();
  if (!ch.IsOpen() || !key_map_usable_) return RESULT_FAILED;
  std::array<std::uint8_t, 512> read{};
  const int result = Transaction([&] { return ch.ReadKeyMap(read); });
  if (result == RESULT_OK) map.assign(read.begin(), read.begin() + static_cast<std::ptrdiff_t>(ch.KeyMapSize()));
  return result;
}

bool COmbrixKeyboardDevice::ReadKeyboard(int& result) {
  hid::CommandChannel& ch = CommandChannelRef();
  if (!ch.IsOpen()) {
    result = RESULT_FAILED;
    return true;
  }
  bool too_large = false;
  result = Transaction([&] {
    hid::InfoBlock info{};
    int r = ch.ReadInfo(info);
    if (r != RESULT_OK) return r;
    Info() = info;
    if (ch.SetKeyMapSize(3u * info[5]) != 1) {
      too_large = true;
      return RESULT_FAILED;
    }
    std::array<std::uint8_t, 512> map{};
    std::array<std::uint8_t, 512> positions{};
    if ((r = ch.ReadKeyMap(map)) != RESULT_OK) return r;
    if ((r = ch.ReadKeyPositions(positions)) != RESULT_OK) return r;
    key_map_ = map;
    key_positions_ = positions;
    key_map_usable_ = true;
    return RESULT_OK;
  });
  if (too_large) {
    key_map_usable_ = false;
    platform::Trace("键盘按键数 " + std::to_string(Info()[5]) + " 超出512字节键位表，同步停止");
    return false;
  }
  return true;
}

void COmbrixKeyboardDevice::BuildKeyMaps() {
  const int count = key_map_usable_ ? Info()[5] : 0;
  const std::span<const std::uint8_t> positions(key_positions_.data(), static_cast<std::size_t>(count));
  const std::string source = InterfaceKind(Descriptor().path);
  const std::vector<int> slots =
      LearnKeySlots(DataFolder() + kKeySlotsFileName, FactoryCodes(), key_map_, count, positions, source, key_map_usable_);
  std::map<int, int> map0;
  std::map<int, int> map1;
  for (int j = 0; j < static_cast<int>(kMaxLeds); ++j) {
    map0[j] = kNoLight;
    map1[j] = kNoLight;
  }
  std::array<std::uint8_t, 256> light_of_slot{};
  light_of_slot.fill(kNoCell);
  for (int j = 0; j < kKeyboardPageKeys; ++j) {
    const int k = slots[static_cast<std::size_t>(j)];
    if (k == kNoSlot) continue;
    map0[j] = k;
    light_of_slot[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(j);
    const std::uint8_t position = key_positions_[static_cast<std::size_t>(k)];
    if (position < 0x60) map1[j] = LedPositionOfKeyPosition(position);
  }
  SetKeyIndexMap(0, std::move(map0));
  SetKeyIndexMap(1, std::move(map1));
  std::lock_guard lock(FrameLock());
  light_of_slot_ = light_of_slot;
}

int COmbrixKeyboardDevice::KeySlotOf(int key) const {
  const auto& map0 = KeyIndexMap(0);
  const auto it = map0.find(key);
  return key >= 0 && key < kKeyboardPageKeys && it != map0.end() && it->second != kNoLight ? it->second : kNoSlot;
}

int COmbrixKeyboardDevice::ReadSettingsRecord() {
  hid::CommandChannel& ch = CommandChannelRef();
  if (!ch.IsOpen()) return RESULT_FAILED;
  std::array<std::uint8_t, 1> active{};
  int r = ch.ReadParam(active, 0);
  if (r != RESULT_OK) return r;
  KeyboardRecord record{};
  r = ch.ReadParam(record, static_cast<std::uint16_t>(active[0] * kKeyboardRecordSize));
  if (r != RESULT_OK) return r;
  record[0] = active[0];
  record[16] = 0;
  record_ = record;
  LightInfo light = GetLightState();
  const std::uint8_t old_mode = light.mode;
  ApplyKeyboardRecord(record, LightModes(), light, system_);
  record_view_ = light;
  SetLightInfo(light);
  ch.SetLightSync(false);
  if (light.mode != old_mode || light.mode == kCustomColorsMode) RunModeStart(light.mode);
  // The keyboard's own settings overwrite the profile each time they are read.
  profile_.SetSystemSettings(system_);
  profile_.SetLightInfo(light);
  SaveProfile();
  return RESULT_OK;
}

int COmbrixKeyboardDevice::InitialSync() {
  LoadNameLists();
  int result = RESULT_OK;
  if (!ReadKeyboard(result)) return result;
  BuildKeyMaps();
  ReloadProfile();
  const int settings = ReadSettingsRecord();
  if (result == RESULT_OK) result = settings;
  RefreshPage();
  StartLightWorker();
  return result;
}

int COmbrixKeyboardDevice::Resync() {
  if (ReloadRequested()) {
    ReloadProfile();
    SetReloadRequested(false);
  }
  const int result = ReadSettingsRecord();
  RefreshPage();
  return result;
}

}  // namespace brimvex::devices
