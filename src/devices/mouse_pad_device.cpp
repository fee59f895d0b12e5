#include "devices/mouse_pad_device.h"

#include <algorithm>

#include "devices/audio_light_words.h"
#include "devices/effect_step.h"
#include "devices/light_editor_link.h"
#include "platform/trace.h"
#include "platform/ui/container.h"
#include "platform/ui/dialog_builder.h"

namespace brimvex::devices {
namespace {

using D = COmbrixUSBDevice;
using hid::RESULT_FAILED;
using hid::RESULT_OK;
using platform::Millis;

// Passes of 1 ms between two steps, for speed 0..4.
constexpr std::array<std::uint8_t, 5> kPadThreshold{28, 23, 18, 13, 7};
const std::array<D::LightModeRow, 8> kPadModes{{
    {0, kPadThreshold, &D::DeviceEffect1},  // wave along the lights
    {1, kPadThreshold, &D::PreviewSpectrum},
    {2, kPadThreshold, &D::PreviewBreathing},
    {3, kPadThreshold, &D::PreviewStatic},
    {4, kPadThreshold, &D::PreviewBlink},
    {6, kPadThreshold, &D::DeviceEffect2},  // ripple round the edge
    {7, kPadThreshold, &D::DeviceEffect3},  // ripple over the light groups
    {8, kPadThreshold, &D::PreviewOff},
}};

}  // namespace

int COmbrixMousePadDevice::Transaction(const std::function<int()>& body) {
  hid::CommandChannel& ch = CommandChannelRef();
  if (!ch.IsOpen()) return RESULT_FAILED;
  std::lock_guard lock(ch.CommandLock());
  const int begin = ch.Begin();
  // Only a pad that answered has a transaction to end.
  if (begin != RESULT_OK && begin != hid::RESULT_DEVICE_FE && begin != hid::RESULT_DEVICE_FF) return begin;
  const int result = begin == RESULT_OK ? body() : begin;
  const int end = ch.End();
  return result != RESULT_OK ? result : end;
}

PadRecord BuildPadRecord(const PadRecord& kept, const LightInfo& light, const lighting::LightModeList& modes) {
  PadRecord r = kept;
  // A mode without a list entry (a user-defined effect, a stale index) sends entry 0's code.
  const auto code = modes.CodeOf(light.mode);
  const auto first = modes.CodeOf(0);
  const int sent = code && *code >= 0 ? *code : first && *first >= 0 ? *first : 0;
  r[1] = static_cast<std::uint8_t>(sent);
  r[2] = light.brightness;
  r[3] = static_cast<std::uint8_t>(4 - std::min<std::uint8_t>(light.speed, 4));
  r[5] = light.multi_color;
  r[6] = light.red;
  r[7] = light.green;
  r[8] = light.blue;
  return r;
}

COmbrixMousePadDevice::COmbrixMousePadDevice(platform::HidBackend& backend, platform::EventLoop& loop)
    : COmbrixUSBDevice(backend, loop, "COmbrixMousePadDevice") {
  SetDeviceType(kDeviceMousePad);
}

COmbrixMousePadDevice::~COmbrixMousePadDevice() {
  StopWorkers();
  JoinDetachedWorkers();
}

bool COmbrixMousePadDevice::BuildPage(ui::DialogBuilder& builder) {
  auto built = builder.Create("XML/DeviceXml/mousepaddevice.xml");
  if (!built || !AddProfileList(builder)) return false;
  // Beside the profile list: the picture with the light editor under it.
  auto column = std::make_unique<ui::VerticalLayout>();
  column->SetAttribute("childpadding", "8");
  column->Add(std::move(built.root));
  const bool editor = AddLightEditor(*this, builder, *column);
  Add(std::move(column));
  return editor;
}

void COmbrixMousePadDevice::BindPageControls() { COmbrixUSBDevice::BindPageControls(); }

std::span<const COmbrixUSBDevice::LightModeRow> COmbrixMousePadDevice::LightModeTable() const { return kPadModes; }

bool COmbrixMousePadDevice::OpenEventInterface(bool receiver, const std::string& path) {
  if (receiver) return false;
  if (EventChannelRef().Wired().IsOpen() && EventWorkerRunning(false)) return true;
  return COmbrixUSBDevice::OpenEventInterface(false, path);
}

void COmbrixMousePadDevice::HandleEventValue(std::uint16_t value, bool /*receiver*/) {
  if (value != 1025) return;
  platform::Trace("接收到自动添加设备的同步信息要求");
  AskResync(platform::Millis(500));
}

// --- Reading and writing ------------------------------------------------------------------------

int COmbrixMousePadDevice::InitialSync() {
  LoadNameLists();
  hid::CommandChannel& ch = CommandChannelRef();
  const int result = ch.IsOpen() ? Transaction([&] { return ch.ReadInfo(Info()); }) : RESULT_OK;
  ReloadProfile();
  RefreshPage();
  StartLightWorker();
  return result;
}

int COmbrixMousePadDevice::ReadSettingsRecord() {
  hid::CommandChannel& ch = CommandChannelRef();
  ch.SetLightSync(false);
  if (!ch.IsOpen()) return RESULT_FAILED;
  std::array<std::uint8_t, 1> active{};
  int r = ch.ReadParam(active, 0);
  if (r != RESULT_OK) return r;
  std::array<std::uint8_t, kPadReadSize> read{};
  r = ch.ReadParam(read, static_cast<std::uint16_t>(active[0] * kPadReadStride));
  if (r != RESULT_OK) return r;
  std::lock_guard lock(record_lock_);
  std::copy_n(read.begin(), kPadRecordSize, record_.begin());
  record_[0] = active[0];
  // Byte 1 back to a mode index and the speed as the user sees it; the light state and the
  // profile stay as they are.
  if (const auto index = LightModes().IndexOfCode(record_[1])) record_[1] = static_cast<std::uint8_t>(*index);
  record_[3] = static_cast<std::uint8_t>(4 - std::min<std::uint8_t>(record_[3], 4));
  return RESULT_OK;
}

int COmbrixMousePadDevice::Resync() {
  const int result = ReadSettingsRecord();
  if (main_window_message_) main_window_message_(kPadProfileMessage, KeptRecord()[0]);
  return result;
}

PadRecord COmbrixMousePadDevice::KeptRecord() const {
  std::lock_guard lock(record_lock_);
  return record_;
}

int COmbrixMousePadDevice::WriteSettings(int profile, int /*value*/, int /*flag*/, int /*a*/, int /*b*/) {
  if (profile < 0 || profile > 15) return RESULT_FAILED;
  const PadRecord bytes = BuildPadRecord(KeptRecord(), GetLightState(), LightModes());
  hid::CommandChannel& ch = CommandChannelRef();
  const int result =
      Transaction([&] { return ch.WriteParam(bytes, static_cast<std::uint16_t>(profile * kPadWriteStride)); });
  if (result != RESULT_OK) platform::Trace("鼠标垫设置写入失败: " + std::string(hid::ResultName(result)));
  return result;
}

// --- Profile ------------------------------------------------------------------------------------

void COmbrixMousePadDevice::LoadProfileFiles() { LoadProfileFilesInto(profile_); }

std::string COmbrixMousePadDevice::GetProfilePath() const { return profile_.GetProfilePath(); }

bool COmbrixMousePadDevice::SaveProfile() { return SaveProfileData(profile_, "鼠标垫配置文件未保存"); }

int COmbrixMousePadDevice::ReloadProfile() {
  LoadProfileFiles();
  ApplyLightSettings();
  return RESULT_OK;
}

void COmbrixMousePadDevice::LoadDefaultProfile() {
  if (!profile_.LoadDefaultSection()) {
    platform::Trace("no default mouse pad profile: " + DefaultProfilePath());
    return;
  }
  ApplyLightSettings();
  SaveProfile();
  RefreshPage();
}

void COmbrixMousePadDevice::LoadNameLists() { ReadNameLists(); }

void COmbrixMousePadDevice::RefreshPage() {
  LoadNameLists();
  ShowLightOnEditor(*this);
}

void COmbrixMousePadDevice::SetLightState(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2, std::uint32_t w3) {
  COmbrixUSBDevice::SetLightState(w0, w1, w2, w3);
  profile_.SetLightInfo(GetLightState());
}

void COmbrixMousePadDevice::SetAudioLightState(std::uint32_t mode, std::uint32_t color, std::uint32_t flags) {
  COmbrixUSBDevice::SetAudioLightState(mode, color, flags);
  profile_.SetAudioLightInfo(AudioLightOf(mode, color, flags));
}

int COmbrixMousePadDevice::ApplyLightSettings() {
  const LightInfo info = profile_.GetLightInfo();
  const AudioLightWords audio = WordsOf(profile_.GetAudioLightInfo());
  COmbrixUSBDevice::SetAudioLightState(audio.mode, audio.color, audio.flags);
  {
    // Direction stays the pad's own byte 4: the profile's does not reach it.
    std::lock_guard lock(record_lock_);
    record_[1] = info.mode;
    record_[2] = info.brightness;
    record_[3] = info.speed;
    record_[5] = info.multi_color;
    record_[6] = info.red;
    record_[7] = info.green;
    record_[8] = info.blue;
  }
  SetLightInfo(info);
  std::vector<profiles::LedEntry> per_light = profile_.GetLightList();
  auto steps = profile_.GetEffectSteps(GetLightTableIndex(), LightModes().Count());
  std::lock_guard frame_lock(FrameLock());
  {
    std::lock_guard effect_lock(EffectLock());
    per_light.resize(PerLightEffectsLocked().size());
    PerLightEffectsLocked() = std::move(per_light);
    overlays_ = OverlayState{};
  }
  effects_ = PadEffectState{};
  PreviewLocked() = PreviewState{};
  CustomEffectsLocked() = std::move(steps);
  CustomEffectPositionLocked() = 0;
  custom_step_began_ = Loop().Now();
  custom_preview_ = PreviewState{};
  custom_preview_.blink_on = true;
  return RESULT_OK;
}

// --- Light worker -------------------------------------------------------------------------------

void COmbrixMousePadDevice::DeviceEffect1() {
  std::lock_guard lock(FrameLock());
  PadWave(LightLocked(), effects_, FrameLocked());
}

void COmbrixMousePadDevice::DeviceEffect2() {
  std::lock_guard lock(FrameLock());
  PadRipple(LightLocked(), effects_, FrameLocked());
}

void COmbrixMousePadDevice::DeviceEffect3() {
  std::lock_guard lock(FrameLock());
  PadGroupRipple(LightLocked(), effects_, FrameLocked());
}

Millis COmbrixMousePadDevice::CustomEffectStep() {
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
  if (EffectStepOver(steps[static_cast<std::size_t>(position)], (now - custom_step_began_).count())) {
    position = static_cast<int>((static_cast<std::size_t>(position) + 1) % steps.size());
    custom_step_began_ = now;
    custom_preview_ = PreviewState{};
    custom_preview_.blink_on = true;
    custom_preview_.blink_tick = static_cast<std::uint32_t>(now.count());
  }
  const profiles::EffectStep& step = steps[static_cast<std::size_t>(position)];
  PaintEffectStep(step, custom_preview_, static_cast<std::uint32_t>(now.count()), frame);
  return kPadThreshold[std::min<std::size_t>(step.speed, 4)] * kPadLightTick;
}

Millis COmbrixMousePadDevice::LightOverlayStep() {
  const auto now = static_cast<std::uint32_t>(Loop().Now().count());
  std::lock_guard frame_lock(FrameLock());
  std::lock_guard effect_lock(EffectLock());
  const auto& entries = PerLightEffectsLocked();
  if (std::none_of(entries.begin(), entries.end(), [](const profiles::LedEntry& e) { return e.present != 0; }))
    return platform::kInfinite;
  OverlayStep(entries, overlays_, now, FrameLocked());
  return kPadThreshold[4] * kPadLightTick;
}

}  // namespace brimvex::devices
