#include "devices/mouse_device.h"

#include <algorithm>

#include "devices/device_transaction.h"
#include "devices/key_set_control_ui.h"
#include "devices/key_slots.h"
#include "devices/light_editor_link.h"
#include "platform/trace.h"
#include "platform/ui/controls.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/list_controls.h"
#include "profiles/default_tables.h"

namespace brimvex::devices {
namespace {

using hid::RESULT_FAILED;
using hid::RESULT_OK;
using profiles::KeyCode;
using profiles::KeyEntry;

using D = COmbrixUSBDevice;
constexpr std::array<std::uint8_t, 5> kMouseThreshold{28, 23, 18, 13, 7};
const std::array<D::LightModeRow, 10> kMouseModes{{
    {0, kMouseThreshold, &D::DeviceEffect1},  // wave over the seven LED groups
    {1, kMouseThreshold, &D::PreviewSpectrum},
    {2, kMouseThreshold, &D::PreviewBreathing},
    {3, kMouseThreshold, &D::PreviewStatic},
    {4, kMouseThreshold, &D::PreviewBlink},
    {5, kMouseThreshold, &D::DeviceEffect2},  // reactive
    {6, kMouseThreshold, &D::DeviceEffect3},  // hold glow
    {7, kMouseThreshold, &D::PreviewBreathingFourColors},
    {8, kMouseThreshold, &D::PreviewBlinkFourColors},
    {9, kMouseThreshold, &D::PreviewOff},
}};

constexpr std::array<int, kReportRates> kReportRatesHz{125, 250, 500, 1000, 2000};

const std::array<KeyCode, kMousePageKeys>& FactoryCodes() {
  static const auto codes = [] {
    std::array<KeyCode, kMousePageKeys> c{};
    for (std::size_t j = 0; j < c.size(); ++j) c[j] = profiles::kMousePageKeys[j].code;
    return c;
  }();
  return codes;
}

std::string Indexed(const char* prefix, int n) { return prefix + std::to_string(n); }

}  // namespace

int ReportRateHz(int index) {
  return index >= 0 && index < kReportRates ? kReportRatesHz[static_cast<std::size_t>(index)] : 0;
}

int ReportRateIndex(int hz) {
  const auto* at = std::find(kReportRatesHz.begin(), kReportRatesHz.end(), hz);
  return at == kReportRatesHz.end() ? -1 : static_cast<int>(at - kReportRatesHz.begin());
}

COmbrixMouseDevice::COmbrixMouseDevice(platform::HidBackend& backend, platform::EventLoop& loop)
    : COmbrixUSBDevice(backend, loop, "COmbrixMouseDevice") {
  SetDeviceType(kDeviceMouse);
}

COmbrixMouseDevice::~COmbrixMouseDevice() {
  StopWorkers();
  JoinDetachedWorkers();
}

std::span<const COmbrixUSBDevice::LightModeRow> COmbrixMouseDevice::LightModeTable() const { return kMouseModes; }

// --- Page ---------------------------------------------------------------------------------------

bool COmbrixMouseDevice::BuildPage(ui::DialogBuilder& builder) {
  auto built = builder.Create("XML/DeviceXml/mousedevice.xml");
  if (!built || !AddProfileList(builder)) return false;
  Add(std::move(built.root));
  return true;
}

void COmbrixMouseDevice::BindPageControls() {
  COmbrixUSBDevice::BindPageControls();
  key_editor_.Bind(*this);
  SelectSettingsPage(0);
  LoadNameLists();
}

void COmbrixMouseDevice::LoadNameLists() { ReadNameLists(); }

void COmbrixMouseDevice::ShowFunctionSwitch(int type) {
  COmbrixUSBDevice::ShowFunctionSwitch(type);
  if (ui::Control* tip = FindControl("device_tishi_info")) tip->SetVisible(false);
}

void COmbrixMouseDevice::SelectKeyForEditing(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= key_list_.size()) return;
  COmbrixUSBDevice::SelectKeyForEditing(index);
  key_editor_.Edit(*this, key_list_, index);
}

void COmbrixMouseDevice::SetStageRanges() {
  const ResolutionScale scale = Scale();
  for (int n = 0; n < kMouseStages; ++n) {
    if (auto* s = dynamic_cast<ui::Slider*>(FindControl(Indexed("DPI_slider_", n)))) s->SetRange(0, scale.slider_maximum);
    if (auto* e = dynamic_cast<ui::Edit*>(FindControl(Indexed("DPI_edit_", n))))
      e->SetAttribute("maxchar", std::to_string(std::to_string(scale.EditMaximum()).size()));
  }
}

void COmbrixMouseDevice::SetActiveStage(int n) {
  active_stage_ = n;
  profile_.SetActiveStageIndex(n);
  for (int i = 0; i < kMouseStages; ++i)
    if (auto* o = dynamic_cast<ui::Option*>(FindControl(Indexed("DPI_select_check_", i)))) o->Selected(i == n, false);
}

void COmbrixMouseDevice::SetStageEnabled(int n, bool on) {
  if (ui::Control* layout = FindControl(Indexed("DPI_layout_", n))) layout->SetEnabled(on);
  if (auto* o = dynamic_cast<ui::Option*>(FindControl(Indexed("DPI_enable_check_", n)))) o->Selected(on, false);
  std::vector<ui::Option*> options;
  for (int i = 0; i < kMouseStages; ++i)
    options.push_back(dynamic_cast<ui::Option*>(FindControl(Indexed("DPI_enable_check_", i))));
  if (on) {
    for (ui::Option* o : options)
      if (o != nullptr) o->SetEnabled(true);
    return;
  }
  ui::Option* last = nullptr;
  int set = 0;
  for (ui::Option* o : options) {
    if (o != nullptr && o->IsSelected()) {
      ++set;
      last = o;
    }
  }
  if (set == 1) last->SetEnabled(false);
}

void COmbrixMouseDevice::SetStageValue(int n, int v) {
  if (auto* s = dynamic_cast<ui::Slider*>(FindControl(Indexed("DPI_slider_", n)))) {
    s->SetValue(v);
    s->SetImage("thumbimage", n == active_stage_ ? "Control/SliderBar1_Thumb.png" : "Control/SliderBar2_Thumb.png");
  }
  if (ui::Control* e = FindControl(Indexed("DPI_edit_", n))) e->SetText(std::to_string(Scale().Display(v)));
  if (auto* o = dynamic_cast<ui::Option*>(FindControl(Indexed("DPI_enable_check_", n))))
    o->SetEnabled(n != active_stage_);
  if (auto* o = dynamic_cast<ui::Option*>(FindControl(Indexed("DPI_select_check_", n))))
    o->Selected(n == active_stage_, false);
}

int COmbrixMouseDevice::GetStageValueFromEdit(int n) const {
  const ui::Control* e = const_cast<COmbrixMouseDevice*>(this)->FindControl(Indexed("DPI_edit_", n));
  return Scale().SliderOf(e != nullptr ? e->Text() : std::string());
}

std::uint32_t COmbrixMouseDevice::GetStageColor(int n) const {
  const ui::Control* c = const_cast<COmbrixMouseDevice*>(this)->FindControl(Indexed("DPI_color_option_", n));
  return c != nullptr ? c->BkColor() : 0;
}

void COmbrixMouseDevice::SetStageColor(int n, std::uint32_t argb) {
  if (ui::Control* c = FindControl(Indexed("DPI_color_option_", n))) c->SetBkColor(argb);
}

void COmbrixMouseDevice::SetReportRate(int index) {
  if (index < 0 || index >= kReportRates) index = 0;
  for (int i = 0; i < kReportRates; ++i)
    if (auto* o = dynamic_cast<ui::Option*>(FindControl(Indexed("polling_rate_option_", i)))) o->Selected(i == index, false);
}

void COmbrixMouseDevice::SelectSettingsPage(int index) {
  auto* tabs = dynamic_cast<ui::TabLayout*>(FindControl("mouse_device_seting_layout"));
  if (tabs == nullptr) return;
  if (index < 0 || static_cast<std::size_t>(index) >= tabs->Count()) index = 0;
  tabs->SelectItem(index);
  if (auto* group = dynamic_cast<ui::Container*>(FindControl("mouse_option_layout")))
    if (auto* o = dynamic_cast<ui::Option*>(group->FindControl(Indexed("mouse_device_seting_option_", index))))
      o->Selected(true, false);
}

namespace {
int SliderValue(ui::Container& page, const char* name) {
  auto* s = dynamic_cast<ui::Slider*>(page.FindControl(name));
  return s != nullptr ? s->Value() : 0;
}
bool OptionSet(ui::Container& page, const char* name) {
  auto* o = dynamic_cast<ui::Option*>(page.FindControl(name));
  return o != nullptr && o->IsSelected();
}
}  // namespace

int COmbrixMouseDevice::GetPointerSpeed() const {
  return SliderValue(const_cast<COmbrixMouseDevice&>(*this), "pointer_speed_slider");
}
bool COmbrixMouseDevice::GetPointerPrecision() const {
  return OptionSet(const_cast<COmbrixMouseDevice&>(*this), "pointer_precision_check");
}
bool COmbrixMouseDevice::GetScrollByPage() const {
  return OptionSet(const_cast<COmbrixMouseDevice&>(*this), "scrolls_page_check");
}
int COmbrixMouseDevice::GetWheelLines() const {
  return SliderValue(const_cast<COmbrixMouseDevice&>(*this), "scroll_speed_slider");
}
int COmbrixMouseDevice::GetDoubleClick() const {
  return SliderValue(const_cast<COmbrixMouseDevice&>(*this), "double_click_slider");
}
int COmbrixMouseDevice::GetDoubleClickMaximum() const {
  auto* s = dynamic_cast<ui::Slider*>(const_cast<COmbrixMouseDevice*>(this)->FindControl("double_click_slider"));
  return s != nullptr ? s->MaxValue() : 0;
}
void COmbrixMouseDevice::SetScroll(bool page, int lines) {
  if (auto* o = dynamic_cast<ui::Option*>(FindControl("scrolls_page_check"))) o->Selected(page, false);
  if (auto* s = dynamic_cast<ui::Slider*>(FindControl("scroll_speed_slider"))) {
    s->SetValue(lines);
    s->SetEnabled(!page);
  }
}

void COmbrixMouseDevice::RefreshPage() {
  LoadNameLists();
  key_editor_.ShowKeys(*this, key_list_);
  if (const int noticed = noticed_stage_.exchange(-1); noticed >= 0 && noticed < kMouseStages) {
    SetActiveStage(noticed);
    SaveProfile();
  }
  for (int n = 0; n < kMouseStages; ++n) {
    const profiles::StageRecord s =
        static_cast<std::size_t>(n) < stages_.size() ? stages_[static_cast<std::size_t>(n)] : profiles::StageRecord{};
    if (ui::Control* layout = FindControl(Indexed("DPI_layout_", n))) layout->SetEnabled(s.enable != 0);
    if (auto* o = dynamic_cast<ui::Option*>(FindControl(Indexed("DPI_enable_check_", n)))) o->Selected(s.enable != 0, false);
    SetStageValue(n, s.x);
    SetStageColor(n, 0xFF000000u | static_cast<std::uint32_t>(s.red) << 16 | static_cast<std::uint32_t>(s.green) << 8 |
                         s.blue);
  }
  SetActiveStage(active_stage_);
  SetReportRate(pointer_.report_rate_index);
  if (auto* s = dynamic_cast<ui::Slider*>(FindControl("pointer_speed_slider"))) s->SetValue(pointer_.pointer_speed);
  if (auto* o = dynamic_cast<ui::Option*>(FindControl("pointer_precision_check")))
    o->Selected(pointer_.pointer_precision != 0, false);
  if (auto* s = dynamic_cast<ui::Slider*>(FindControl("double_click_slider"))) s->SetValue(pointer_.double_click_time);
  SetScroll(pointer_.scroll_by_page != 0, pointer_.wheel_lines);
  ShowLightOnEditor(*this);
}

// --- Profile ------------------------------------------------------------------------------------

void COmbrixMouseDevice::LoadProfileFiles() { LoadProfileFilesInto(profile_); }

std::string COmbrixMouseDevice::GetProfilePath() const { return profile_.GetProfilePath(); }

bool COmbrixMouseDevice::SaveProfile() { return SaveProfileData(profile_, "鼠标配置文件未保存"); }

void COmbrixMouseDevice::ApplyProfileToModel() {
  stages_ = profile_.GetStages();
  active_stage_ = profile_.GetActiveStageIndex();
  pointer_ = profile_.GetPointerOptions();
}

int COmbrixMouseDevice::ReloadProfile() {
  LoadProfileFiles();
  bool repaired = false;
  key_list_ = profile_.GetCheckedKeyList(FactoryCodes(), &repaired);
  if (repaired) {
    platform::Trace("键位表已修复: " + profile_.GetProfilePath());
    if (!profile_.SaveKeepingAside()) platform::Trace("键位表修复未保存: " + profile_.GetProfilePath());
  }
  ApplyLightSettings();
  ApplyProfileToModel();
  return RESULT_OK;
}

void COmbrixMouseDevice::LoadDefaultProfile() {
  if (!profile_.LoadDefaultSection()) {
    platform::Trace("no default mouse profile: " + DefaultProfilePath());
    return;
  }
  bool repaired = false;
  key_list_ = profile_.GetCheckedKeyList(FactoryCodes(), &repaired);
  ApplyLightSettings();
  ApplyProfileToModel();
  SaveProfile();
  RefreshPage();
}

bool COmbrixMouseDevice::StoreKeyAssignment(int key, const KeyCode& code) {
  if (key < 0 || static_cast<std::size_t>(key) >= key_list_.size()) return false;
  key_list_[static_cast<std::size_t>(key)].current = code;
  profile_.SetKeyList(key_list_);
  key_editor_.ShowKeys(*this, key_list_);
  return SaveProfile();
}

bool COmbrixMouseDevice::StoreStages(const std::vector<profiles::StageRecord>& stages) {
  stages_ = stages;
  profile_.SetStages(stages);
  return SaveProfile();
}

bool COmbrixMouseDevice::StoreActiveStage(int n) {
  SetActiveStage(n);
  return SaveProfile();
}

bool COmbrixMouseDevice::StorePointerOptions(const profiles::PointerOptions& options) {
  pointer_ = options;
  profile_.SetPointerOptions(options);
  return SaveProfile();
}

void COmbrixMouseDevice::SetLightTableIndex(int index) {
  COmbrixUSBDevice::SetLightTableIndex(index);
  profile_.SetDeviceIndex(0);
}

void COmbrixMouseDevice::SetLightState(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2, std::uint32_t w3) {
  COmbrixUSBDevice::SetLightState(w0, w1, w2, w3);
  profile_.SetLightInfo(GetLightState());
}

int COmbrixMouseDevice::ApplyLightSettings() {
  const std::uint8_t old_mode = GetLightState().mode;
  const LightInfo info = profile_.GetLightInfo();
  record_view_ = info;
  SetLightInfo(info);
  std::vector<profiles::LedEntry> per_light = profile_.GetLightList();
  {
    std::lock_guard lock(EffectLock());
    per_light.resize(PerLightEffectsLocked().size());
    PerLightEffectsLocked() = std::move(per_light);
  }
  auto steps = profile_.GetEffectSteps(GetLightTableIndex(), LightModes().Count());
  std::lock_guard lock(FrameLock());
  if (info.mode != old_mode) {
    // A new mode starts from dark levels with the wave's first cell lit.
    devices::ClearReactiveLevels(ReactiveLocked());
    ReactiveLocked().wave_row[0] = 1;
    glow_.fill(0);
  }
  PreviewLocked() = PreviewState{};
  CustomEffectsLocked() = std::move(steps);
  CustomEffectPositionLocked() = 0;
  return RESULT_OK;
}

// --- Reading the mouse --------------------------------------------------------------------------

bool COmbrixMouseDevice::ReadMouse(int& result) {
  hid::CommandChannel& ch = CommandChannelRef();
  if (!ch.IsOpen()) {
    result = RESULT_FAILED;
    return true;
  }
  bool too_large = false;
  StepGate gate(ch, true);
  result = RunTransaction(ch, gate, [&] {
    hid::InfoBlock info{};
    int r = gate.Step([&] { return ch.ReadInfo(info); });
    if (r != RESULT_OK) return r;
    Info() = info;
    info_copy_ = info;
    if (ch.SetKeyMapSize(3u * info[5]) != 1) {
      too_large = true;
      return RESULT_FAILED;
    }
    KeyMapBytes map{};
    if ((r = gate.Step([&] { return ch.ReadKeyMap(map); })) != RESULT_OK) return r;
    key_map_ = map;
    key_map_usable_ = true;
    return RESULT_OK;
  });
  if (too_large) {
    key_map_usable_ = false;
    platform::Trace("鼠标按键数 " + std::to_string(Info()[5]) + " 超出512字节键位表，同步停止");
    return false;
  }
  return true;
}

void COmbrixMouseDevice::BuildKeyMap() {
  const int count = key_map_usable_ ? Info()[5] : 0;
  const std::vector<int> slots = LearnKeySlots(DataFolder() + kKeySlotsFileName, FactoryCodes(), key_map_, count, {},
                                               InterfaceKind(Descriptor().path), key_map_usable_);
  std::map<int, int> map0;
  for (int j = 0; j < kMousePageKeys; ++j) {
    const int k = slots[static_cast<std::size_t>(j)];
    map0[j] = k == kNoSlot ? kMouseNoSlot : k;
  }
  SetKeyIndexMap(0, std::move(map0));
}

int COmbrixMouseDevice::KeySlotOf(int key) const {
  const auto& map0 = KeyIndexMap(0);
  const auto it = map0.find(key);
  return key >= 0 && key < kMousePageKeys && it != map0.end() && it->second != kMouseNoSlot ? it->second : kNoSlot;
}

int COmbrixMouseDevice::ReadSettingsRecord() {
  hid::CommandChannel& ch = CommandChannelRef();
  ch.SetLightSync(false);
  if (!ch.IsOpen()) return RESULT_FAILED;
  std::lock_guard lock(ch.CommandLock());
  StepGate gate(ch, true);
  std::array<std::uint8_t, 1> active{};
  int r = gate.Step([&] { return ch.ReadParam(active, 0); });
  if (r != RESULT_OK) return r;
  std::array<std::uint8_t, kMouseRecordReadSize> record{};
  r = gate.Step(
      [&] { return ch.ReadParam(record, static_cast<std::uint16_t>(active[0] * kMouseRecordSpacing)); });
  if (r != RESULT_OK) return r;
  record[0] = active[0];
  LightInfo light = GetLightState();
  if (record[1] != 0xFE)
    if (const auto index = LightModes().IndexOfCode(record[1])) light.mode = static_cast<std::uint8_t>(*index);
  record[9] = 0;
  record_ = record;
  light.brightness = record[2];
  light.speed = record[3] <= 4 ? static_cast<std::uint8_t>(4 - record[3]) : 0;
  light.multi_color = record[5];
  light.red = record[6];
  light.green = record[7];
  light.blue = record[8];
  record_view_ = light;
  SetLightInfo(light);
  if (record[12] < kMouseStages) SetActiveStage(record[12]);
  profile_.SetLightInfo(light);
  SaveProfile();
  return RESULT_OK;
}

int COmbrixMouseDevice::InitialSync() {
  LoadNameLists();
  int result = RESULT_OK;
  if (!ReadMouse(result)) return result;
  BuildKeyMap();
  SetStageRanges();
  ReloadProfile();
  RefreshPage();
  StartLightWorker();
  return result;
}

int COmbrixMouseDevice::Resync() {
  if (ReloadRequested()) {
    ReloadProfile();
    SetReloadRequested(false);
  }
  const int result = ReadSettingsRecord();
  RefreshPage();
  return result;
}

void COmbrixMouseDevice::ButtonPressed() {
  std::lock_guard lock(FrameLock());
  auto& levels = ReactiveLocked().level;
  const std::size_t n = std::min(FrameLocked().size(), levels.size());
  for (std::size_t i = 0; i < n; ++i) levels[i] = 255;
  glow_rising_ = true;
}

void COmbrixMouseDevice::HandleEventValue(std::uint16_t value, bool receiver) {
  if (value == 1025) {
    platform::Trace("接收到自动添加设备的同步信息要求");
    AskResync(platform::Millis(50));
    return;
  }
  if (value == 1027 && !receiver) {
    ButtonPressed();
    return;
  }
  const auto high = static_cast<std::uint8_t>(value >> 8);
  if (high == 0x11 && CommandChannelRef().IsOpen()) noticed_stage_.store((value >> 4) & 0x0F);
  // 1026 is a notice too (high byte 0x04), which the decoding ignores.
  if (value > 1025) HandleNotice(value, false);
}

}  // namespace brimvex::devices
