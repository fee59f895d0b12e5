#pragma once
// The headset's side of the audio chip library: the start (load, endpoints, feature numbers,
// the fill of unset driver settings), reading the driver state into the voice state, and the
// checked writes the voice settings make. UI thread only.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "audio/audio_bridge.h"
#include "profiles/profile_records.h"

namespace brimvex::audio {

inline constexpr int kBandCount = 10;
using Bands = std::array<std::int32_t, kBandCount>;

// The messages the start can show, as they are written.
inline constexpr const char* kInitFailedMessage = "ConfLibInit called failed!";
inline constexpr const char* kFeatureFailedMessage = "UpdateAPOAvailable failed!";

// Decibel range and step of a volume, as the driver answered them.
struct VolumeRange {
  std::optional<double> max, min, step;
};

class HeadsetAudio {
 public:
  explicit HeadsetAudio(platform::AudioChipLoader& loader);

  struct StartReport {
    bool available = false;
    std::string reason;                 // why not, when not available
    std::vector<std::string> messages;  // message boxes to show, in order
  };
  // Loads `file` and starts the library; a library that cannot be used leaves the audio settings
  // unavailable with its reason.
  StartReport Start(const std::string& file);
  bool Available() const { return available_; }
  const std::string& Reason() const { return bridge_.Reason(); }
  AudioBridge& Bridge() { return bridge_; }

  // What a working library cannot do.
  bool EqualiserSupported() const { return available_ && equaliser_supported_; }
  bool MonitoringSupported() const { return available_ && monitoring_supported_; }
  bool VoiceChangerSupported() const {
    return available_ && (bridge_.Features(Side::kInput).first & kVoiceChangerFeatureBit) != 0;
  }

  // Reads the driver state: mute flags and levels of microphone and monitoring, the ten bands,
  // the voice changer. A failed read leaves its field as it was.
  void ReadDriverState(profiles::VoiceState& voice, Bands& bands);
  bool MicMuted() const { return mic_muted_; }
  bool MonitorMuted() const { return monitor_muted_; }
  const VolumeRange& MicRange() const { return mic_range_; }
  const VolumeRange& MonitorRange() const { return monitor_range_; }

  // The writes. Each returns whether the driver took it. Where one fails the name of the
  // property is left in RejectedProperty().
  bool WriteEqualiser(const Bands& bands);  // "Enable_EQ_GFX" = 1, then the ten bands
  bool WriteBand(int band, std::int32_t value);  // band 0 to 9
  // Level 0 to 100 as its scalar; on success the decibels are read back.
  bool WriteMicLevel(int level);
  bool WriteMonitorLevel(int level);
  // The mute flag changes only when the write succeeds.
  bool WriteMicMuted(bool muted);
  bool WriteMonitorMuted(bool muted);
  // On: "Enable_MAGICVOICE" = 1 and "Enable_MICECHO" = 0; off: "Enable_MAGICVOICE" = 0.
  bool WriteVoiceChanger(bool on);
  bool WriteVoiceType(int type);  // 1 to 4
  const std::string& RejectedProperty() const { return rejected_; }
  std::optional<double> MicDecibels() const { return mic_decibels_; }
  std::optional<double> MonitorDecibels() const { return monitor_decibels_; }

 private:
  bool Write(Side side, const char* name, std::int32_t value, PropertyParam param = PropertyParam::None());
  bool WriteScalar(Side side, const char* name, float value, PropertyParam param);
  void FillUnset();

  AudioBridge bridge_;
  bool available_ = false;
  bool equaliser_supported_ = false;
  bool monitoring_supported_ = false;
  bool mic_muted_ = false;
  bool monitor_muted_ = false;
  VolumeRange mic_range_;
  VolumeRange monitor_range_;
  std::optional<double> mic_decibels_;
  std::optional<double> monitor_decibels_;
  std::string rejected_;
};

}  // namespace brimvex::audio
