#include "audio/headset_audio.h"

#include <cmath>
#include <string_view>

namespace brimvex::audio {
namespace {

const PropertyParam kMicChannel = PropertyParam::Channel(-1);
// Monitoring decibels are read on channel 1 and written on channel 0; its scalar uses 0.
const PropertyParam kMonitorReadChannel = PropertyParam::Channel(1);
const PropertyParam kMonitorChannel = PropertyParam::Channel(0);

struct FillRow {
  const char* name;
  Side side;
  PropertyParam read_param;
  PropertyParam write_param;
  bool scalar;
};

std::vector<FillRow> FillRows() {
  const auto none = PropertyParam::None();
  std::vector<FillRow> rows = {
      {"VirtualSurroundEffectControl", Side::kOutput, PropertyParam::SurroundRecord(), PropertyParam::SurroundRecord(), false},
      {"Enable_ENC_LFX", Side::kInput, none, none, false},
      {"VolumeControl", Side::kInput, kMicChannel, kMicChannel, false},
      {"Enable_EQ_GFX", Side::kOutput, none, none, false}};
  static const char* const kSliders[kBandCount] = {"EQ_Slider1", "EQ_Slider2", "EQ_Slider3", "EQ_Slider4",
                                                   "EQ_Slider5", "EQ_Slider6", "EQ_Slider7", "EQ_Slider8",
                                                   "EQ_Slider9", "EQ_Slider10"};
  for (const char* slider : kSliders) rows.push_back({slider, Side::kOutput, none, none, false});
  const FillRow rest[] = {{"Enable_RFX_GFX", Side::kOutput, none, none, false},
                          {"RFX_ENVIRONMENT", Side::kOutput, none, none, false},
                          {"RFX_ROOMSIZE", Side::kOutput, none, none, false},
                          {"MuteControl", Side::kInput, none, none, false},
                          {"VolumeScalarControl", Side::kInput, kMicChannel, kMicChannel, true},
                          {"AAVolumeControl", Side::kInput, kMonitorReadChannel, kMonitorChannel, false},
                          {"AAMuteControl", Side::kInput, none, none, false},
                          {"AAVolumeScalarControl", Side::kInput, kMonitorChannel, kMonitorChannel, true},
                          {"Enable_MAGICVOICE", Side::kInput, none, none, false},
                          {"MagicVoice_Selection", Side::kInput, none, none, false}};
  rows.insert(rows.end(), std::begin(rest), std::end(rest));
  return rows;
}

std::string SliderName(int band) { return "EQ_Slider" + std::to_string(band + 1); }

}  // namespace

HeadsetAudio::HeadsetAudio(platform::AudioChipLoader& loader) : bridge_(loader) {}

HeadsetAudio::StartReport HeadsetAudio::Start(const std::string& file) {
  StartReport report;
  available_ = false;
  equaliser_supported_ = monitoring_supported_ = false;
  if (!bridge_.Load(file)) {
    report.reason = bridge_.Reason();
    return report;
  }
  if (bridge_.Init() != 0) report.messages.push_back(kInitFailedMessage);
  bridge_.CreateDeviceList();
  const auto outputs = bridge_.Count(Side::kOutput);
  if (!outputs || *outputs == 0 || !bridge_.ChooseEndpoints()) {
    bridge_.SetReason("no output endpoint");
    report.reason = bridge_.Reason();
    return report;
  }
  bool features_read = bridge_.ReadFeatures(Side::kInput);
  features_read = bridge_.ReadFeatures(Side::kOutput) && features_read;
  if (!features_read) report.messages.push_back(kFeatureFailedMessage);

  FillUnset();
  monitoring_supported_ = bridge_.ReadNumber(Side::kInput, "GetAAMaxVol", PropertyParam::None()).has_value();
  available_ = true;
  report.available = true;
  return report;
}

void HeadsetAudio::FillUnset() {
  for (const auto& row : FillRows()) {
    bool ok = bridge_.ReadText(row.side, row.name, row.read_param).has_value();
    if (!ok)
      ok = row.scalar ? bridge_.WriteFloat(row.side, row.name, 0.0f, row.write_param)
                      : bridge_.WriteInt(row.side, row.name, 0, row.write_param);
    // The equaliser counts as supported unless its switch can be neither read nor written.
    if (std::string_view(row.name) == "Enable_EQ_GFX") equaliser_supported_ = ok;
  }
}

void HeadsetAudio::ReadDriverState(profiles::VoiceState& voice, Bands& bands) {
  if (!available_) return;
  const auto none = PropertyParam::None();
  mic_range_.max = bridge_.ReadNumber(Side::kInput, "GetMaxVol", none);
  mic_range_.min = bridge_.ReadNumber(Side::kInput, "GetMinVol", none);
  mic_range_.step = bridge_.ReadNumber(Side::kInput, "GetVolStep", none);
  if (const auto muted = bridge_.ReadNumber(Side::kInput, "MuteControl", none)) {
    mic_muted_ = *muted != 0;
    voice.mic_enabled = mic_muted_ ? 0 : 1;
  }
  if (const auto scalar = bridge_.ReadNumber(Side::kInput, "VolumeScalarControl", kMicChannel))
    voice.mic_level = LevelOfScalar(*scalar);

  monitor_range_.max = bridge_.ReadNumber(Side::kInput, "GetAAMaxVol", none);
  if (monitor_range_.max) {
    monitor_range_.min = bridge_.ReadNumber(Side::kInput, "GetAAMinVol", none);
    monitor_range_.step = bridge_.ReadNumber(Side::kInput, "GetAAVolStep", none);
    if (const auto muted = bridge_.ReadNumber(Side::kInput, "AAMuteControl", none)) {
      monitor_muted_ = *muted != 0;
      voice.monitor_enabled = monitor_muted_ ? 0 : 1;
    }
    if (const auto scalar = bridge_.ReadNumber(Side::kInput, "AAVolumeScalarControl", kMonitorChannel))
      voice.monitor_level = LevelOfScalar(*scalar);
  }

  for (int band = 0; band < kBandCount; ++band)
    if (const auto value = bridge_.ReadNumber(Side::kOutput, SliderName(band), none))
      bands[static_cast<std::size_t>(band)] = static_cast<std::int32_t>(std::lround(*value));

  if (VoiceChangerSupported())
    if (const auto on = bridge_.ReadNumber(Side::kInput, "Enable_MAGICVOICE", none)) voice.magic_enabled = *on != 0 ? 1 : 0;
  if (const auto selection = bridge_.ReadNumber(Side::kInput, "MagicVoice_Selection", none))
    if (*selection >= 0 && *selection <= 3) voice.magic_type = static_cast<std::int32_t>(*selection) + 1;
}

bool HeadsetAudio::Write(Side side, const char* name, std::int32_t value, PropertyParam param) {
  if (bridge_.WriteInt(side, name, value, param)) return true;
  rejected_ = name;
  return false;
}

bool HeadsetAudio::WriteScalar(Side side, const char* name, float value, PropertyParam param) {
  if (bridge_.WriteFloat(side, name, value, param)) return true;
  rejected_ = name;
  return false;
}

bool HeadsetAudio::WriteEqualiser(const Bands& bands) {
  bool ok = Write(Side::kOutput, "Enable_EQ_GFX", 1);
  for (int band = 0; band < kBandCount; ++band) ok = WriteBand(band, bands[static_cast<std::size_t>(band)]) && ok;
  return ok;
}

bool HeadsetAudio::WriteBand(int band, std::int32_t value) {
  if (band < 0 || band >= kBandCount) return false;
  const std::string name = SliderName(band);
  return Write(Side::kOutput, name.c_str(), value);
}

bool HeadsetAudio::WriteMicLevel(int level) {
  if (!WriteScalar(Side::kInput, "VolumeScalarControl", static_cast<float>(level) / 100.0f, kMicChannel)) return false;
  mic_decibels_ = bridge_.ReadNumber(Side::kInput, "VolumeControl", kMicChannel);
  return true;
}

bool HeadsetAudio::WriteMonitorLevel(int level) {
  if (!WriteScalar(Side::kInput, "AAVolumeScalarControl", static_cast<float>(level) / 100.0f, kMonitorChannel))
    return false;
  monitor_decibels_ = bridge_.ReadNumber(Side::kInput, "AAVolumeControl", kMonitorReadChannel);
  return true;
}

bool HeadsetAudio::WriteMicMuted(bool muted) {
  if (!Write(Side::kInput, "MuteControl", muted ? 1 : 0)) return false;
  mic_muted_ = muted;
  return true;
}

bool HeadsetAudio::WriteMonitorMuted(bool muted) {
  if (!Write(Side::kInput, "AAMuteControl", muted ? 1 : 0)) return false;
  monitor_muted_ = muted;
  return true;
}

bool HeadsetAudio::WriteVoiceChanger(bool on) {
  if (!Write(Side::kInput, "Enable_MAGICVOICE", on ? 1 : 0)) return false;
  return !on || Write(Side::kInput, "Enable_MICECHO", 0);
}

bool HeadsetAudio::WriteVoiceType(int type) {
  if (type < 1 || type > 4) return false;
  return Write(Side::kInput, "MagicVoice_Selection", type - 1);
}

}  // namespace brimvex::audio
