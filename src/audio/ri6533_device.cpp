#include "audio/ri6533_device.h"

#include <algorithm>
#include <cstdio>
#include <mutex>

#include "audio/audio_library_path.h"
#include "audio/magic_control_ui.h"
#include "audio/voice6533_control_ui.h"
#include "devices/light_editor_link.h"
#include "hid/command_codes.h"
#include "platform/trace.h"
#include "platform/ui/dialog_builder.h"
#include "platform/ui/container.h"
#include "platform/ui/window.h"
#include "profiles/default_tables.h"

namespace brimvex::audio {
namespace {

using hid::RESULT_FAILED;
using hid::RESULT_OK;

std::mutex g_settings_mutex;
std::string g_library_file;
COmbrixRI6533Device::MessageSink g_sink;
const void* g_sink_owner = nullptr;

constexpr std::size_t kSkippedLed = 170;
constexpr std::uint8_t kLedCap = 247;
constexpr std::uint8_t kLedReportId = 0xFF;
constexpr platform::Millis kLedReportTimeout{100};

using D = devices::COmbrixUSBDevice;
// Ticks between two steps, for speed 0..4, as the mouse has them.
constexpr std::array<std::uint8_t, 5> kHeadsetThreshold{28, 23, 18, 13, 7};
// Entry 5 (hidden) has no step: it shows the lights off.
const std::array<D::LightModeRow, 8> kHeadsetModes{{
    {0, kHeadsetThreshold, &D::DeviceEffect1},  // wave round the lights
    {1, kHeadsetThreshold, &D::PreviewSpectrum},
    {2, kHeadsetThreshold, &D::PreviewBreathing},
    {3, kHeadsetThreshold, &D::PreviewStatic},
    {4, kHeadsetThreshold, &D::PreviewBlink},
    {6, kHeadsetThreshold, &D::DeviceEffect2},  // ripple light by light
    {7, kHeadsetThreshold, &D::DeviceEffect3},  // ripple over the light groups
    {8, kHeadsetThreshold, &D::PreviewOff},
}};

// The pages of "hs_function_tab" by function tab number.
int HeadsetPageOf(int tab) {
  switch (tab) {
    case 6:
      return 1;
    case 7:
      return 2;
    case 8:
      return 3;
    default:
      return 0;
  }
}

bool SameNameNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

}  // namespace

std::array<LedReport, kLedReportCount> HeadsetLedReports(const std::vector<devices::Rgba>& frame) {
  std::array<std::array<std::uint8_t, kHeadsetLeds>, 3> colour{};
  for (std::size_t i = 0; i < frame.size() && i < kHeadsetLeds; ++i) {
    if (i == kSkippedLed) continue;
    const auto& e = frame[i];
    const auto scale = [&](std::uint8_t c) {
      return static_cast<std::uint8_t>(std::min<unsigned>((static_cast<unsigned>(c) * e.a) >> 8, kLedCap));
    };
    colour[0][i] = scale(e.r);
    colour[1][i] = scale(e.g);
    colour[2][i] = scale(e.b);
  }
  std::array<LedReport, kLedReportCount> reports{};
  std::size_t n = 0;
  for (std::size_t c = 0; c < 3; ++c) {
    for (const std::uint8_t zone : {std::uint8_t{0x22}, std::uint8_t{0x44}}) {
      for (std::size_t half = 0; half < 2; ++half) {
        LedReport& r = reports[n++];
        r[0] = kLedReportId;
        r[1] = zone;
        r[2] = static_cast<std::uint8_t>(0xAA + c + 3 * half);
        const std::size_t first = half == 0 ? 0 : 7;
        const std::size_t last = half == 0 ? 7 : kHeadsetLeds;
        for (std::size_t i = first; i < last; ++i) r[4 + i - first] = colour[c][i];
      }
    }
  }
  // The order on the wire: per colour, zone 0x22 both halves, then zone 0x44 both halves.
  return reports;
}

COmbrixRI6533Device::COmbrixRI6533Device(platform::HidBackend& backend, platform::EventLoop& loop,
                                         platform::AudioChipLoader& loader)
    : COmbrixUSBDevice(backend, loop, "COmbrixRI6533Device"), audio_(loader) {
  SetDeviceType(devices::kDeviceHeadset);
  SetLightTableIndex(kHeadsetLightTableIndex);
}

COmbrixRI6533Device::~COmbrixRI6533Device() {
  StopWorkers();
  JoinDetachedWorkers();
}

void COmbrixRI6533Device::SetLibraryFile(std::string file) {
  std::lock_guard lock(g_settings_mutex);
  g_library_file = std::move(file);
}

std::string COmbrixRI6533Device::LibraryFile() {
  {
    std::lock_guard lock(g_settings_mutex);
    if (!g_library_file.empty()) return g_library_file;
  }
  return AudioLibraryFile(false);
}

void COmbrixRI6533Device::SetMessageSink(const void* owner, MessageSink sink) {
  std::lock_guard lock(g_settings_mutex);
  g_sink = std::move(sink);
  g_sink_owner = owner;
}

void COmbrixRI6533Device::ClearMessageSink(const void* owner) {
  std::lock_guard lock(g_settings_mutex);
  if (g_sink_owner != owner) return;
  g_sink = nullptr;
  g_sink_owner = nullptr;
}

void COmbrixRI6533Device::Message(const std::string& text, bool is_key) {
  messages_.push_back(text);
  MessageSink sink;
  {
    std::lock_guard lock(g_settings_mutex);
    sink = g_sink;
  }
  if (sink) sink(text, is_key);
}

void COmbrixRI6533Device::Rejected() {
  platform::Trace("audio driver rejected " + audio_.RejectedProperty());
  Message("audio_write_rejected", true);
}

// --- Page ---------------------------------------------------------------------------------------

bool COmbrixRI6533Device::BuildPage(ui::DialogBuilder& builder) {
  auto built = builder.Create("XML/DeviceXml/ri6533page.xml");
  if (!built) {
    platform::Trace(built.error);
    return false;
  }
  auto* light_page = dynamic_cast<ui::Container*>(built.root->FindControl("hs_light_page"));
  if (light_page == nullptr) {
    platform::Trace("headset page without its light page");
    return false;
  }
  if (!AddProfileList(builder)) return false;
  const bool editor = devices::AddLightEditor(*this, builder, *light_page);
  Add(std::move(built.root));
  return editor;
}

void COmbrixRI6533Device::ShowFunctionSwitch(int type) {
  if (auto* tabs = dynamic_cast<ui::TabLayout*>(FindControl("hs_function_tab"))) tabs->SelectItem(HeadsetPageOf(type));
}

std::span<const devices::COmbrixUSBDevice::LightModeRow> COmbrixRI6533Device::LightModeTable() const {
  return kHeadsetModes;
}

void COmbrixRI6533Device::BindPageControls() {
  COmbrixUSBDevice::BindPageControls();
  voice_page_ = dynamic_cast<CVoice6533ControlUI*>(FindControl("Voice6533ControlItem"));
  magic_page_ = dynamic_cast<CMagicControlUI*>(FindControl("MagicControlItem"));
  LoadNameLists();
  if (!Descriptor().path.empty() && !audio_started_) StartAudio(LibraryFile());
}

void COmbrixRI6533Device::StartAudio(const std::string& file) {
  audio_started_ = true;
  const auto report = audio_.Start(file);
  for (const auto& text : report.messages) Message(text, false);
  if (!report.available) {
    const std::string line = "brimvex: audio settings unavailable: " + report.reason;
    std::fprintf(stderr, "%s\n", line.c_str());
    platform::Trace(line);
  }
  LoadProfileFiles();
  voice_ = profile_.GetVoiceState();
  custom_names_ = profile_.GetCustomEqNames();
  audio_.ReadDriverState(voice_, bands_);
  if (voice_page_ != nullptr) {
    voice_page_->ShowUnavailable(report.available ? std::string() : report.reason);
    voice_page_->ShowSupport(audio_.EqualiserSupported(), audio_.MonitoringSupported());
  }
  if (magic_page_ != nullptr) {
    magic_page_->ShowUnavailable(report.available ? std::string() : report.reason);
    magic_page_->ShowSupport(audio_.VoiceChangerSupported());
  }
  RefreshPage();
}

void COmbrixRI6533Device::LoadProfileFiles() {
  profile_.SetDeviceIndex(0);
  profile_.SetDefaultProfilePath(DefaultProfilePath());
  profile_.SetProfilePath(CurrentProfilePath());
  profile_.SetLightConfigPath(LightConfigPath());
  profile_.LoadSection(CurrentProfilePath());
  profile_.LoadLightConfig(LightConfigPath());
}

bool COmbrixRI6533Device::SaveProfile() {
  const bool saved = profile_.Save();
  if (!saved) platform::Trace("耳机配置文件未保存: " + profile_.GetProfilePath());
  return saved;
}

int COmbrixRI6533Device::InitialSync() {
  // What the headset holds overwrites the profile's light record.
  const int result = ReadLightState();
  if (result == RESULT_OK) SaveProfile();
  RefreshPage();
  StartLightWorker();
  return result;
}

int COmbrixRI6533Device::ReloadProfile() {
  LoadProfileFiles();
  if (CommandChannelRef().IsOpen()) ReadLightState();
  voice_ = profile_.GetVoiceState();
  custom_names_ = profile_.GetCustomEqNames();
  audio_.ReadDriverState(voice_, bands_);
  RefreshPage();
  if (LightWorkerRunning()) {
    StopLightWorker();
    StartLightWorker();
  }
  return RESULT_OK;
}

void COmbrixRI6533Device::RefreshPage() {
  LoadNameLists();
  devices::ShowLightOnEditor(*this);
  if (magic_page_ != nullptr) {
    magic_page_->SetEnabledCheck(voice_.magic_enabled != 0);
    magic_page_->SetOptionsEnabled(voice_.magic_enabled != 0);
    magic_page_->SelectType(voice_.magic_type);
  }
  if (voice_page_ == nullptr) return;
  voice_page_->SetMicEnabled(voice_.mic_enabled != 0);
  voice_page_->SetMicLevel(voice_.mic_level);
  voice_page_->SetMonitorEnabled(voice_.monitor_enabled != 0);
  voice_page_->SetMonitorLevel(voice_.monitor_level);
  voice_page_->SelectPreset(voice_.eq_preset);
  voice_page_->RemoveAllCustom();
  for (const auto& name : custom_names_) voice_page_->AddCustomName(name);
  voice_page_->SelectCustom(voice_.custom_eq_index >= 0 && voice_.custom_eq_index < static_cast<int>(custom_names_.size())
                                ? voice_.custom_eq_index
                                : -1);
  voice_page_->SetCustomLayoutEnabled(voice_.eq_preset == profiles::CRi6533Profiledata::kCustomPreset);
  ShowBands();
}

void COmbrixRI6533Device::ShowBands() {
  if (voice_page_ == nullptr) return;
  for (int band = 0; band < kBandCount; ++band) voice_page_->SetBand(band, bands_[static_cast<std::size_t>(band)]);
}

// --- Equaliser ----------------------------------------------------------------------------------

Bands COmbrixRI6533Device::LoadBands(std::vector<std::int32_t> values) const {
  Bands bands{};
  for (std::size_t i = 0; i < bands.size() && i < values.size(); ++i) bands[i] = std::clamp(values[i], kBandMin, kBandMax);
  return bands;
}

void COmbrixRI6533Device::WriteAndShowBands(const Bands& bands) {
  // Equaliser writes are not checked: the page and profile follow the user's choice.
  audio_.WriteEqualiser(bands);
  bands_ = bands;
  ShowBands();
}

void COmbrixRI6533Device::StoreVoice() {
  profile_.SetVoiceState(voice_);
}

void COmbrixRI6533Device::ApplyPreset(int n) {
  if (!Usable() || voice_page_ == nullptr) return;
  if (n == profiles::CRi6533Profiledata::kCustomPreset) {
    voice_.eq_preset = n;
    voice_page_->SelectPreset(n);
    voice_page_->SetCustomLayoutEnabled(true);
    StoreVoice();
    ApplySelectedCustom();
    SaveProfile();
    return;
  }
  if (n < 1 || n > profiles::kEqPresetCount) return;
  const auto& row = profiles::kEqPresets[static_cast<std::size_t>(n - 1)];
  WriteAndShowBands(LoadBands(std::vector<std::int32_t>(row.begin(), row.end())));
  voice_.eq_preset = voice_page_->SelectPreset(n);
  voice_page_->SetCustomLayoutEnabled(false);
  StoreVoice();
  profile_.SetEqBands(n, std::vector<std::int32_t>(bands_.begin(), bands_.end()));
  SaveProfile();
}

void COmbrixRI6533Device::ApplySelectedCustom() {
  if (!Usable() || voice_page_ == nullptr) return;
  const int index = voice_page_->CurrentCustom();
  if (index < 0) return;
  WriteAndShowBands(LoadBands(profile_.GetCustomEqBands(index)));
  voice_.custom_eq_index = index;
  StoreVoice();
  SaveProfile();
}

void COmbrixRI6533Device::ChangeBand(int band, int value) {
  if (!Usable() || voice_page_ == nullptr || band < 0 || band >= kBandCount) return;
  value = std::clamp(value, kBandMin, kBandMax);
  if (voice_.eq_preset != profiles::CRi6533Profiledata::kCustomPreset) {
    voice_.eq_preset = voice_page_->SelectPreset(profiles::CRi6533Profiledata::kCustomPreset);
    voice_page_->SelectCustom(-1);
    voice_.custom_eq_index = -1;
    voice_page_->SetCustomLayoutEnabled(true);
  }
  audio_.WriteBand(band, value);
  bands_[static_cast<std::size_t>(band)] = value;
  voice_page_->SetBand(band, value);
}

void COmbrixRI6533Device::SaveCustom() {
  if (!Usable() || voice_page_ == nullptr) return;
  std::vector<std::int32_t> sliders;
  for (int band = 0; band < kBandCount; ++band) sliders.push_back(voice_page_->GetBand(band));
  const std::string name = voice_page_->NameText();
  if (name.empty()) {
    const int index = voice_page_->CurrentCustom();
    if (index < 0) return;
    profile_.SetCustomEqBands(index, sliders);
    voice_.custom_eq_index = index;
    StoreVoice();
    SaveProfile();
    return;
  }
  if (custom_names_.size() >= kCustomEqLimit) return;
  for (const auto& existing : custom_names_) {
    if (SameNameNoCase(existing, name)) {
      Message("message_text_5", true);
      return;
    }
  }
  voice_page_->AddCustomName(name);
  custom_names_.push_back(name);
  const int index = static_cast<int>(custom_names_.size()) - 1;
  profile_.SetCustomEqBands(index, sliders);
  voice_page_->SelectCustom(index);
  voice_.custom_eq_index = index;
  StoreVoice();
  profile_.SetCustomEqNames(custom_names_);
  SaveProfile();
}

void COmbrixRI6533Device::DeleteCustom() {
  if (!Usable() || voice_page_ == nullptr) return;
  const int index = voice_page_->CurrentCustom();
  if (index < 0 || index >= static_cast<int>(custom_names_.size())) return;
  voice_page_->RemoveCustom(index);
  // The entries after it move down with their curves.
  for (int k = index; k + 1 < static_cast<int>(custom_names_.size()); ++k)
    profile_.SetCustomEqBands(k, profile_.GetCustomEqBands(k + 1));
  custom_names_.clear();
  for (int k = 0; k < voice_page_->CustomCount(); ++k) custom_names_.push_back(voice_page_->CustomName(k));
  profile_.SetCustomEqNames(custom_names_);
  if (custom_names_.empty()) {
    voice_.eq_preset = voice_page_->SelectPreset(1);
    voice_.custom_eq_index = -1;
    WriteAndShowBands(LoadBands(profile_.GetEqBands(1)));
    voice_page_->SetCustomLayoutEnabled(false);
  } else {
    voice_page_->SelectCustom(0);
    voice_.custom_eq_index = 0;
    WriteAndShowBands(LoadBands(profile_.GetCustomEqBands(0)));
  }
  StoreVoice();
  SaveProfile();
}

// --- Microphone, monitoring, voice changer ---------------------------------------------------------

void COmbrixRI6533Device::SetMicLevel(int level) {
  if (!Usable() || voice_page_ == nullptr || level < 0 || level > 100) return;
  if (!audio_.WriteMicLevel(level)) {
    voice_page_->SetMicLevel(voice_.mic_level);
    Rejected();
    return;
  }
  voice_.mic_level = level;
  voice_page_->SetMicLevel(level);
  StoreVoice();
  SaveProfile();
}

void COmbrixRI6533Device::SetMonitorLevel(int level) {
  if (!Usable() || voice_page_ == nullptr || !audio_.MonitoringSupported() || level < 0 || level > 100) return;
  if (!audio_.WriteMonitorLevel(level)) {
    voice_page_->SetMonitorLevel(voice_.monitor_level);
    Rejected();
    return;
  }
  voice_.monitor_level = level;
  voice_page_->SetMonitorLevel(level);
  StoreVoice();
  SaveProfile();
}

void COmbrixRI6533Device::ToggleMic() {
  if (!Usable() || voice_page_ == nullptr) return;
  const bool muted = !audio_.MicMuted();
  const bool written = audio_.WriteMicMuted(muted);
  // The check shows the microphone as the driver has it.
  voice_page_->SetMicEnabled(!audio_.MicMuted());
  if (!written) {
    Rejected();
    return;
  }
  voice_.mic_enabled = muted ? 0 : 1;
  StoreVoice();
  SaveProfile();
}

void COmbrixRI6533Device::ToggleMonitor() {
  if (!Usable() || voice_page_ == nullptr || !audio_.MonitoringSupported()) return;
  const bool muted = !audio_.MonitorMuted();
  const bool written = audio_.WriteMonitorMuted(muted);
  voice_page_->SetMonitorEnabled(!audio_.MonitorMuted());
  if (!written) {
    Rejected();
    return;
  }
  voice_.monitor_enabled = muted ? 0 : 1;
  StoreVoice();
  SaveProfile();
}

void COmbrixRI6533Device::SwitchVoiceChanger() {
  if (!Usable() || magic_page_ == nullptr || !audio_.VoiceChangerSupported()) return;
  const bool on = magic_page_->EnabledCheck();
  if (!audio_.WriteVoiceChanger(on)) {
    magic_page_->SetEnabledCheck(voice_.magic_enabled != 0);
    magic_page_->SetOptionsEnabled(voice_.magic_enabled != 0);
    Rejected();
    return;
  }
  magic_page_->SetOptionsEnabled(on);
  voice_.magic_enabled = on ? 1 : 0;
  StoreVoice();
  SaveProfile();
}

void COmbrixRI6533Device::SelectVoiceType(int n) {
  if (!Usable() || magic_page_ == nullptr || n < 1 || n > kVoiceTypeCount) return;
  if (!audio_.WriteVoiceType(n)) {
    magic_page_->SelectType(voice_.magic_type);
    Rejected();
    return;
  }
  voice_.magic_type = magic_page_->SelectType(n);
  StoreVoice();
  SaveProfile();
}

// --- Lights -------------------------------------------------------------------------------------

// The light state follows the profile's record; WriteSettings writes it to the headset.
int COmbrixRI6533Device::ApplyLightSettings() {
  profiles::LightInfo info = profile_.GetLightInfo();
  if (info.mode > 8) info.mode = 0;
  SetLightInfo(info);
  // Every effect starts again from its first step.
  std::lock_guard lock(FrameLock());
  effects_ = devices::PadEffectState{};
  PreviewLocked() = devices::PreviewState{};
  return RESULT_OK;
}

void COmbrixRI6533Device::DeviceEffect1() {
  std::lock_guard lock(FrameLock());
  devices::PadWave(LightLocked(), effects_, FrameLocked());
}

void COmbrixRI6533Device::DeviceEffect2() {
  std::lock_guard lock(FrameLock());
  devices::PadRipple(LightLocked(), effects_, FrameLocked());
}

void COmbrixRI6533Device::DeviceEffect3() {
  std::lock_guard lock(FrameLock());
  devices::PadGroupRipple(LightLocked(), effects_, FrameLocked());
}

int COmbrixRI6533Device::WriteSettings(int profile, int /*value*/, int /*flag*/, int /*a*/, int /*b*/) {
  return WriteLightBlock(profile);
}

void COmbrixRI6533Device::SetLightState(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2, std::uint32_t w3) {
  COmbrixUSBDevice::SetLightState(w0, w1, w2, w3);
  profile_.SetLightInfo(GetLightState());
}

int COmbrixRI6533Device::WriteLightBlock(int slot) {
  if (slot < 0 || slot > 4) return RESULT_FAILED;
  profiles::LightInfo info = profile_.GetLightInfo();
  if (info.mode > 8) info.mode = 0;
  SetLightInfo(info);
  light_block_[1] = static_cast<std::uint8_t>(LightModes().CodeOf(info.mode).value_or(0));
  light_block_[2] = info.brightness;
  light_block_[3] = static_cast<std::uint8_t>(4 - std::min<int>(info.speed, 4));
  light_block_[5] = info.multi_color;
  light_block_[6] = info.red;
  light_block_[7] = info.green;
  light_block_[8] = info.blue;
  hid::CommandChannel& channel = CommandChannelRef();
  int result = channel.Begin();
  if (result == RESULT_OK)
    result = channel.WriteParam(light_block_, static_cast<std::uint16_t>(64 * slot));
  const int ended = channel.End();
  return result == RESULT_OK ? ended : result;
}

int COmbrixRI6533Device::ReadLightState() {
  hid::CommandChannel& channel = CommandChannelRef();
  int result = channel.Begin();
  std::array<std::uint8_t, 1> slot{};
  std::array<std::uint8_t, kLightReadSize> block{};
  if (result == RESULT_OK) result = channel.ReadParam(slot, 0);
  const int active = slot[0] <= 4 ? slot[0] : 0;
  // As the firmware's light reads have it: 29 bytes at 29 x slot.
  if (result == RESULT_OK) result = channel.ReadParam(block, static_cast<std::uint16_t>(kLightReadSize * static_cast<std::size_t>(active)));
  const int ended = channel.End();
  if (result != RESULT_OK) return result;
  std::copy_n(block.begin(), kLightBlockSize, light_block_.begin());
  light_block_[0] = slot[0];
  profiles::LightInfo info = GetLightState();
  info.mode = static_cast<std::uint8_t>(LightModes().IndexOfCode(light_block_[1]).value_or(0));
  info.brightness = light_block_[2];
  info.speed = static_cast<std::uint8_t>(4 - std::min<int>(light_block_[3], 4));
  info.multi_color = light_block_[5];
  info.red = light_block_[6];
  info.green = light_block_[7];
  info.blue = light_block_[8];
  SetLightInfo(info);
  profile_.SetLightInfo(info);
  return ended;
}

int COmbrixRI6533Device::SendLedFrame() {
  if (!HostLightControl()) return RESULT_OK;
  const std::vector<devices::Rgba> frame = FrameSnapshot();
  ShowFrameOnPage(frame);
  hid::CommandChannel& channel = CommandChannelRef();
  if (!channel.IsOpen()) return RESULT_OK;
  int result = RESULT_OK;
  const auto reports = HeadsetLedReports(frame);
  for (std::size_t n = 0; n < reports.size(); ++n) {
    std::uint32_t written = 0;
    if (channel.Wired().WriteReport(reports[n], &written, kLedReportTimeout) != 1) {
      platform::Trace("耳机灯光报告发送失败 " + std::to_string(n + 1));
      result = RESULT_FAILED;
    }
  }
  return result;
}

// --- Creators -------------------------------------------------------------------------------------

ui::ControlFactory::Creator HeadsetCreator(platform::HidBackend* backend, platform::EventLoop* loop) {
  if (backend == nullptr || loop == nullptr) return {};
  return [backend, loop]() -> std::unique_ptr<ui::Control> {
    return std::make_unique<COmbrixRI6533Device>(*backend, *loop);
  };
}

ui::ControlFactory::Creator Voice6533ControlCreator() {
  return []() -> std::unique_ptr<ui::Control> { return std::make_unique<CVoice6533ControlUI>(); };
}

ui::ControlFactory::Creator MagicControlCreator() {
  return []() -> std::unique_ptr<ui::Control> { return std::make_unique<CMagicControlUI>(); };
}

}  // namespace brimvex::audio
