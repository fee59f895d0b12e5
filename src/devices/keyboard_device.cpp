#include "devices/keyboard_device.h"

#include <algorithm>

#include "devices/device_key_button.h"
#include "devices/key_slots.h"
#include "devices/macro_block.h"
#include "platform/trace.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/window.h"
#include "profiles/default_tables.h"
#include "profiles/file_helpers.h"

namespace brimvex::devices {
namespace {

using D = COmbrixUSBDevice;
using hid::RESULT_FAILED;
using hid::RESULT_OK;
using profiles::KeyCode;
using profiles::KeyEntry;
using platform::Millis;

constexpr std::array<std::uint8_t, 5> kThreshold{5, 4, 3, 2, 1};
constexpr int kAudioMode = 29;
constexpr int kHostColorsMode = 30;
constexpr int kCustomColorsMode = 19;
constexpr int kSweepMode = 24;
constexpr std::size_t kStreamBytes = 3 * kKeyboardPageKeys;  // 378
constexpr std::uint8_t kMacroPlay = 0x70;
constexpr std::uint8_t kMacroRepeat = 0x71;

template <int Mode>
constexpr D::LightModeRow Own(std::array<std::uint8_t, 5> threshold = kThreshold) {
  return {Mode, threshold, static_cast<void (D::*)()>(&COmbrixKeyboardDevice::template EffectStep<Mode>)};
}

// Mode index, threshold in keyboard ticks for speed 0..4, step.
const std::array<D::LightModeRow, 29> kKeyboardModes{{
    Own<1>(),
    Own<2>(),
    Own<3>(),
    {4, kThreshold, &D::PreviewSpectrum},
    {5, kThreshold, &D::PreviewBreathing},
    {6, kThreshold, &D::PreviewStatic},
    Own<7>(),
    Own<8>(),
    Own<9>(),
    Own<10>(),
    Own<11>(),
    Own<12>(),
    Own<13>(),
    Own<14>(),
    Own<15>(),
    Own<16>({4, 4, 4, 4, 4}),
    Own<17>({4, 4, 4, 4, 0}),
    Own<18>(),
    Own<19>(),
    Own<21>(),
    Own<22>(),
    {23, kThreshold, &D::PreviewBlink},
    Own<24>(),
    Own<25>(),
    {26, kThreshold, &D::PreviewBreathingFourColors},
    {27, kThreshold, &D::PreviewBlinkFourColors},
    {28, kThreshold, &D::PreviewOff},
    Own<29>({2, 2, 2, 2, 2}),
    Own<30>(),
}};

const std::array<KeyCode, kKeyboardPageKeys>& FactoryCodes() {
  static const auto codes = [] {
    std::array<KeyCode, kKeyboardPageKeys> c{};
    for (std::size_t j = 0; j < c.size(); ++j) c[j] = profiles::kKeyboardPageKeys[j].code;
    return c;
  }();
  return codes;
}

bool IsMacro(const KeyCode& c) { return c.type == kMacroPlay || c.type == kMacroRepeat; }

// The keyboard answered (with any status): the transaction it began must be ended.
bool Answered(int result) {
  return result == RESULT_OK || result == hid::RESULT_DEVICE_FE || result == hid::RESULT_DEVICE_FF;
}

// Macro writes report 0 for success, so a failure without a status reads as a send failure.
int MacroFailure(int result) { return result == RESULT_FAILED ? hid::RESULT_SEND_FAILED : result; }

std::uint32_t Pack(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
  return static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b) << 8 | static_cast<std::uint32_t>(c) << 16 |
         static_cast<std::uint32_t>(d) << 24;
}
std::uint8_t ByteOf(std::uint32_t word, int i) { return static_cast<std::uint8_t>((word >> (8 * i)) & 0xFF); }

}  // namespace

template <int Mode>
void COmbrixKeyboardDevice::EffectStep() {
  std::lock_guard lock(FrameLock());
  KeyboardEffectStep(Mode, LightLocked(), effects_, FrameLocked());
}

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
  LoadNameLists();
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

void COmbrixKeyboardDevice::LoadProfileFiles() {
  profile_.SetDeviceIndex(0);
  profile_.SetDefaultProfilePath(DefaultProfilePath());
  profile_.SetProfilePath(CurrentProfilePath());
  profile_.SetLightConfigPath(LightConfigPath());
  profile_.LoadSection(CurrentProfilePath());
  profile_.LoadLightConfig(LightConfigPath());
}

std::string COmbrixKeyboardDevice::GetProfilePath() const { return profile_.GetProfilePath(); }

bool COmbrixKeyboardDevice::SaveProfile() {
  const bool saved = profile_.Save();
  if (!saved) platform::Trace("键盘配置文件未保存: " + profile_.GetProfilePath());
  return saved;
}

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

int COmbrixKeyboardDevice::MacroCount() const {
  const auto names = Macros().Names();
  return names ? static_cast<int>(names->size()) : 0;
}

void COmbrixKeyboardDevice::RepairMacroKeys() {
  LoadNameLists();
  const int m = MacroCount();
  bool changed = false;
  for (KeyEntry& e : key_list_) {
    if (IsMacro(e.current) && e.current.p1 >= m) {
      e.current = e.default_code;
      changed = true;
    }
  }
  if (changed) {
    profile_.SetKeyList(key_list_);
    SaveProfile();
  }
  LoadNameLists();
}

bool COmbrixKeyboardDevice::StoreKeyAssignment(int key, const KeyCode& code) {
  if (key < 0 || static_cast<std::size_t>(key) >= key_list_.size()) return false;
  key_list_[static_cast<std::size_t>(key)].current = code;
  profile_.SetKeyList(key_list_);
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
  // Two words and a byte: mode and background colour, foreground colour and 7-colour, colour type.
  profiles::AudioLightInfo a;
  a.audio_mode = ByteOf(mode, 0);
  a.back_red = ByteOf(mode, 1);
  a.back_green = ByteOf(mode, 2);
  a.back_blue = ByteOf(mode, 3);
  a.fore_red = ByteOf(color, 0);
  a.fore_green = ByteOf(color, 1);
  a.fore_blue = ByteOf(color, 2);
  a.seven_colors = ByteOf(color, 3);
  a.color_type = ByteOf(flags, 0);
  profile_.SetAudioLightInfo(a);
}

int COmbrixKeyboardDevice::ApplyLightSettings() {
  const std::uint8_t old_mode = GetLightState().mode;
  const LightInfo info = profile_.GetLightInfo();
  const profiles::AudioLightInfo a = profile_.GetAudioLightInfo();
  COmbrixUSBDevice::SetAudioLightState(Pack(a.audio_mode, a.back_red, a.back_green, a.back_blue),
                                       Pack(a.fore_red, a.fore_green, a.fore_blue, a.seven_colors), a.color_type);
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
  custom_step_began_ = Loop().Now();
  custom_preview_ = PreviewState{};
  custom_preview_.blink_on = true;
  custom_preview_.blink_tick = static_cast<std::uint32_t>(custom_step_began_.count());
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

template <typename Body>
int COmbrixKeyboardDevice::Transaction(Body body) {
  hid::CommandChannel& ch = CommandChannelRef();
  if (!ch.IsOpen()) return RESULT_FAILED;
  std::lock_guard lock(ch.CommandLock());
  const int begin = ch.Begin();
  if (!Answered(begin)) return begin;
  const int result = begin == RESULT_OK ? body() : begin;
  const int end = ch.End();
  return result != RESULT_OK ? result : end;
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
  const std::string path = DataFolder() + kKeySlotsFileName;
  std::vector<int> slots;
  const auto kept = key_map_usable_ ? ReadKeptKeySlots(path) : std::nullopt;
  if (kept && KeptSlotsFit(*kept, count, positions, source, kKeyboardPageKeys)) {
    slots = MatchKeySlots(FactoryCodes(), key_map_, count, kept->slots);
  } else {
    slots = MatchKeySlots(FactoryCodes(), key_map_, count);
    if (key_map_usable_) {
      platform::Trace(kept ? "键位表与保存的不同，重新学习: " + path : "学习键位表: " + path);
      if (!WriteKeptKeySlots(path, {count, source, std::vector<std::uint8_t>(positions.begin(), positions.end()), slots}))
        platform::Trace("键位表未保存: " + path);
    }
  }
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

// --- Writing the keyboard -----------------------------------------------------------------------

int COmbrixKeyboardDevice::WriteSettings(int profile, int value, int /*flag*/, int /*a*/, int /*b*/) {
  if (profile < 0 || (profile + 1) * static_cast<int>(kKeyboardRecordSize) > 0xFFFF) return RESULT_FAILED;
  const KeyboardRecord record = BuildKeyboardRecord(static_cast<std::uint8_t>(value), profile_.GetLightInfo(),
                                                    profile_.GetSystemSettings(), LightModes());
  hid::CommandChannel& ch = CommandChannelRef();
  const int result = Transaction(
      [&] { return ch.WriteParam(record, static_cast<std::uint16_t>(profile * static_cast<int>(kKeyboardRecordSize))); });
  if (result == RESULT_OK) record_ = record;
  return result;
}

std::vector<int> COmbrixKeyboardDevice::CollectUsedMacros() {
  const int m = MacroCount();
  std::vector<int> used;
  for (int j = 0; j < kKeyboardPageKeys && static_cast<std::size_t>(j) < key_list_.size(); ++j) {
    const KeyCode& c = key_list_[static_cast<std::size_t>(j)].current;
    if (KeySlotOf(j) == kNoSlot || !IsMacro(c) || c.p1 >= m) continue;
    if (std::find(used.begin(), used.end(), c.p1) == used.end()) used.push_back(c.p1);
  }
  return used;
}

int COmbrixKeyboardDevice::WriteKeyMap(const std::vector<KeyEntry>& keys) {
  hid::CommandChannel& ch = CommandChannelRef();
  if (!ch.IsOpen() || !key_map_usable_) return RESULT_FAILED;
  std::lock_guard lock(ch.CommandLock());
  hid::InfoBlock info{};
  if (const int r = ch.ReadInfo(info); r != RESULT_OK) return r;
  const std::size_t n = 3u * info[5];
  if (n != ch.KeyMapSize()) {
    platform::Trace("键盘按键数已变化，未写键位表");
    return RESULT_FAILED;
  }
  // Slots no page key owns keep the bytes read; a key bound to a macro the store lacks gets its
  // default; macro numbers become positions among the macros the keys use.
  std::array<std::uint8_t, 512> block = key_map_;
  const int m = MacroCount();
  std::vector<int> used;
  for (int j = 0; j < kKeyboardPageKeys && static_cast<std::size_t>(j) < keys.size(); ++j) {
    const int slot = KeySlotOf(j);
    if (slot == kNoSlot) continue;
    KeyCode c = keys[static_cast<std::size_t>(j)].current;
    if (IsMacro(c)) {
      if (c.p1 < m) {
        auto at = std::find(used.begin(), used.end(), c.p1);
        if (at == used.end()) at = used.insert(used.end(), c.p1);
        c.p1 = static_cast<std::uint8_t>(at - used.begin());
      } else {
        c = keys[static_cast<std::size_t>(j)].default_code;
      }
    }
    const auto at = static_cast<std::size_t>(3 * slot);
    block[at] = c.type;
    block[at + 1] = c.p1;
    block[at + 2] = c.p2;
  }
  const int result = Transaction([&] { return ch.WriteKeyMap(std::span<const std::uint8_t>(block.data(), n), 0); });
  if (result == RESULT_OK) key_map_ = block;
  return result;
}

int COmbrixKeyboardDevice::WriteProfileKeyMap() { return WriteKeyMap(std::vector<KeyEntry>(key_list_)); }

int COmbrixKeyboardDevice::WriteMacros(const std::vector<int>& macro_indexes) {
  hid::CommandChannel& ch = CommandChannelRef();
  hid::InfoBlock info = Info();
  if (ch.IsOpen()) {
    if (const int r = ch.ReadInfo(info); r != RESULT_OK) return MacroFailure(r);
    Info() = info;
  }
  const auto names = Macros().Names();
  if (!names || macro_indexes.empty()) return 0;
  if (!ch.IsOpen()) return hid::RESULT_SEND_FAILED;
  std::vector<std::vector<macros::MacroEvent>> events;
  events.reserve(macro_indexes.size());
  for (int index : macro_indexes) events.push_back(Macros().Events(index));
  const MacroBlock block = BuildMacroBlock(events, static_cast<std::size_t>(info[6]) * 128);
  if (block.result != 0) return block.result;
  const int result = Transaction([&] { return ch.WriteMacros(block.bytes); });
  return result == RESULT_OK ? 0 : MacroFailure(result);
}

// --- Light frame and custom colours --------------------------------------------------------------

std::array<std::uint8_t, 512> COmbrixKeyboardDevice::PositionedColors(const std::vector<Rgba>& frame,
                                                                      bool scaled) const {
  std::array<std::uint8_t, 512> bytes{};
  const auto& map1 = KeyIndexMap(1);
  for (int l = 0; l < kKeyboardPageKeys && static_cast<std::size_t>(l) < frame.size(); ++l) {
    const auto it = map1.find(l);
    if (it == map1.end() || it->second < 0 || it->second >= static_cast<int>(kMaxLeds)) continue;
    const Rgba& e = frame[static_cast<std::size_t>(l)];
    const auto at = static_cast<std::size_t>(3 * it->second);
    const auto c = [&](std::uint8_t v) { return scaled ? static_cast<std::uint8_t>(v * e.a / 256) : v; };
    bytes[at] = c(e.r);
    bytes[at + 1] = c(e.g);
    bytes[at + 2] = c(e.b);
  }
  return bytes;
}

int COmbrixKeyboardDevice::SendLedFrame() {
  if (!HostLightControl()) return RESULT_OK;
  const std::vector<Rgba> frame = FrameSnapshot();
  ShowFrameOnPage(frame);
  const std::uint8_t mode = GetLightState().mode;
  if ((mode != kAudioMode && mode != kHostColorsMode) || !CommandChannelRef().IsOpen()) return RESULT_OK;
  const auto bytes = PositionedColors(frame, true);
  return StreamFrame(std::span<const std::uint8_t>(bytes.data(), kStreamBytes));
}

void COmbrixKeyboardDevice::SetCustomKeyColor(int light) {
  const LightInfo info = GetLightState();
  if (info.mode != kCustomColorsMode || light < 0 || static_cast<std::size_t>(light) >= LedCount()) return;
  SetLedColor(light, Rgba{info.red, info.green, info.blue, BrightnessLevel(info)});
  const std::vector<Rgba> frame = FrameSnapshot();
  std::vector<profiles::CustomColor> colors;
  for (const Rgba& e : frame) colors.push_back({e.r, e.g, e.b, e.a});
  profile_.SetCustomColors(colors, info.custom_group);
  SaveProfile();
  hid::CommandChannel& ch = CommandChannelRef();
  if (!ch.IsOpen() || ch.IsWireless() || !key_map_usable_) return;
  const auto bytes = PositionedColors(frame, false);
  const int result = ch.WriteKeyColors(std::span<const std::uint8_t>(bytes.data(), 3u * Info()[5]), info.custom_group);
  if (result != RESULT_OK) platform::Trace("自定义颜色写入失败: " + std::string(hid::ResultName(result)));
}

void COmbrixKeyboardDevice::FillCustomColors(bool on) {
  const LightInfo info = GetLightState();
  const Rgba color = on ? Rgba{info.red, info.green, info.blue, BrightnessLevel(info)} : Rgba{0, 0, 0, BrightnessLevel(info)};
  {
    std::lock_guard lock(FrameLock());
    std::fill(FrameLocked().begin(), FrameLocked().end(), color);
  }
  SendCustomColors();
  std::vector<profiles::CustomColor> colors(LedCount(), profiles::CustomColor{color.r, color.g, color.b, color.a});
  profile_.SetCustomColors(colors, info.custom_group);
  SaveProfile();
}

int COmbrixKeyboardDevice::SendCustomColors() {
  hid::CommandChannel& ch = CommandChannelRef();
  if (GetLightState().mode != kCustomColorsMode || !ch.IsOpen() || !key_map_usable_) return RESULT_FAILED;
  const auto bytes = PositionedColors(FrameSnapshot(), true);
  return ch.WriteKeyColors(std::span<const std::uint8_t>(bytes.data(), 3u * Info()[5]), 0);
}

void COmbrixKeyboardDevice::SelectCustomGroup(int group) {
  if (group < 0 || group > 255) return;
  profile_.SetCustomGroupIndex(group);
  LightInfo info = GetLightState();
  info.custom_group = static_cast<std::uint8_t>(group);
  SetLightInfo(info);
  profile_.SetLightInfo(info);
  SaveProfile();
}

int COmbrixKeyboardDevice::LoadCustomGroup() {
  RunModeStart(kCustomColorsMode);
  return SendCustomColors();
}

// --- Light worker and key notices ----------------------------------------------------------------

std::span<const COmbrixUSBDevice::LightModeRow> COmbrixKeyboardDevice::LightModeTable() const { return kKeyboardModes; }

Millis COmbrixKeyboardDevice::StepPeriod(int mode, int speed) {
  const auto row = std::find_if(kKeyboardModes.begin(), kKeyboardModes.end(),
                                [&](const LightModeRow& r) { return r.mode == mode; });
  if (row == kKeyboardModes.end()) return Millis(0);
  const std::uint8_t threshold = row->threshold[static_cast<std::size_t>(std::clamp(speed, 0, 4))];
  return std::max<std::uint8_t>(1, threshold) * kKeyboardLightTick;
}

Millis COmbrixKeyboardDevice::CustomEffectStep() {
  const Millis now = Loop().Now();
  std::lock_guard lock(FrameLock());
  std::vector<profiles::EffectStep>& steps = CustomEffectsLocked();
  auto& frame = FrameLocked();
  if (steps.empty()) {
    devices::PreviewOff(frame);
    return platform::kInfinite;
  }
  int& position = CustomEffectPositionLocked();
  if (position < 0 || static_cast<std::size_t>(position) >= steps.size()) position = 0;
  if (now - custom_step_began_ > Millis(std::max(0, steps[static_cast<std::size_t>(position)].time))) {
    position = static_cast<int>((static_cast<std::size_t>(position) + 1) % steps.size());
    custom_step_began_ = now;
    // A step starts from the beginning: breathing dark, blinking lit.
    custom_preview_ = PreviewState{};
    custom_preview_.blink_on = true;
    custom_preview_.blink_tick = static_cast<std::uint32_t>(now.count());
  }
  const profiles::EffectStep& step = steps[static_cast<std::size_t>(position)];
  LightInfo info{};
  info.brightness = step.brightness;
  info.speed = step.speed;
  info.direction = step.direction;
  info.multi_color = step.multi_color;
  info.red = step.red;
  info.green = step.green;
  info.blue = step.blue;
  switch (step.code) {
    case 0:
      devices::PreviewBreathing(info, custom_preview_, frame);
      break;
    case 2:
      devices::PreviewBlink(info, custom_preview_, static_cast<std::uint32_t>(now.count()), frame);
      break;
    default:
      devices::PreviewStatic(info, frame);
      break;
  }
  return kThreshold[std::min<std::size_t>(step.speed, 4)] * kKeyboardLightTick;
}

Millis COmbrixKeyboardDevice::LightOverlayStep() {
  const auto now = static_cast<std::uint32_t>(Loop().Now().count());
  std::lock_guard frame_lock(FrameLock());
  std::lock_guard effect_lock(EffectLock());
  const auto& entries = PerLightEffectsLocked();
  if (std::none_of(entries.begin(), entries.end(), [](const profiles::LedEntry& e) { return e.present != 0; }))
    return platform::kInfinite;
  OverlayStep(entries, overlays_, now, FrameLocked());
  return kKeyboardLightTick;
}

void COmbrixKeyboardDevice::OnKeyNotice(int slot, bool pressed) {
  if (slot < 0 || static_cast<std::size_t>(slot) >= held_.size()) return;
  held_[static_cast<std::size_t>(slot)].store(pressed);
  std::lock_guard lock(FrameLock());
  const std::uint8_t light = light_of_slot_[static_cast<std::size_t>(slot)];
  if (light != kNoCell) devices::KeyEvent(LightLocked().mode, light, pressed, effects_);
}

void COmbrixKeyboardDevice::KeyEvent(int key, int action) {
  std::lock_guard lock(FrameLock());
  devices::KeyEvent(LightLocked().mode, key, action == 1, effects_);
}

bool COmbrixKeyboardDevice::KeyHeld(int slot) const {
  return slot >= 0 && static_cast<std::size_t>(slot) < held_.size() && held_[static_cast<std::size_t>(slot)].load();
}

KeyboardEffectState COmbrixKeyboardDevice::EffectSnapshot() const {
  std::lock_guard lock(FrameLock());
  return effects_;
}

void COmbrixKeyboardDevice::AudioLevels(std::span<const int> values) {
  const std::size_t n = std::min(values.size(), audio_bands_.size());
  std::copy_n(values.begin(), n, audio_bands_.begin());
  if (GetLightState().mode != kAudioMode || GetAudioLightState().mode % 256 != 2 || n < audio_bands_.size()) return;
  int sum = 0;
  for (int v : audio_bands_) {
    const int scaled = v * 600 / 2000;
    sum += scaled > 600 ? 500 : 600 - scaled;
  }
  const int average = sum / static_cast<int>(audio_bands_.size());
  audio_total_ += 25 - average * 25 / 600;
  if (audio_total_ < 71) return;
  audio_total_ = 0;
  // A beat: a press at LED position 51 for the reactive effects.
  int light = 51;
  for (const auto& [page_light, position] : KeyIndexMap(1))
    if (position == 51) light = page_light;
  std::lock_guard lock(FrameLock());
  devices::KeyEvent(kAudioMode, light, true, effects_);
}

void COmbrixKeyboardDevice::AudioColor(std::span<const int> values) {
  std::copy_n(values.begin(), std::min(values.size(), audio_colors_.size()), audio_colors_.begin());
}

}  // namespace brimvex::devices
