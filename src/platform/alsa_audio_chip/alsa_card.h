#pragma once
// The headset's card as ALSA mixer elements: which card, and the capture, sidetone and playback
// controls the audio chip library reaches.
#include <alsa/asoundlib.h>

#include <optional>
#include <string>

namespace brimvex::platform::alsa {

// The card's components name the headset's USB id.
inline constexpr const char* kHeadsetComponents = "USB0c76:1630";

// The control device of the headset's card: BRIMVEX_ALSA_CARD (a card number or a control
// name), else the first card whose components hold kHeadsetComponents; nothing without one.
std::optional<std::string> FindHeadsetCard();

// One volume control with its switch, on its capture or its playback side.
class VolumeControl {
 public:
  VolumeControl() = default;
  VolumeControl(snd_mixer_elem_t* elem, bool capture) : elem_(elem), capture_(capture) {}
  explicit operator bool() const { return elem_ != nullptr; }

  // Scalar 0.0-1.0, linear over the raw range.
  std::optional<double> Scalar() const;
  bool SetScalar(double scalar);
  // Decibels, from the control's dB range.
  std::optional<double> Decibels() const;
  bool SetDecibels(double db);
  std::optional<double> MinDecibels() const;
  std::optional<double> MaxDecibels() const;
  // Decibels per raw step.
  std::optional<double> StepDecibels() const;
  // 1 muted (switch off), 0 live; nothing without a switch.
  std::optional<int> Muted() const;
  bool SetMuted(bool muted);

 private:
  bool Range(long& min, long& max) const;
  bool DecibelRange(long& min, long& max) const;

  snd_mixer_elem_t* elem_ = nullptr;
  bool capture_ = false;
};

// The mixer of one card and the three controls found on it.
class HeadsetMixer {
 public:
  HeadsetMixer() = default;
  HeadsetMixer(const HeadsetMixer&) = delete;
  HeadsetMixer& operator=(const HeadsetMixer&) = delete;
  ~HeadsetMixer() { Close(); }

  // Opens the card's mixer; false (and closed) when it cannot be opened.
  bool Open(const std::string& card);
  void Close();
  bool IsOpen() const { return mixer_ != nullptr; }

  // The first capture volume of "Mic", "Headset", "Capture".
  const VolumeControl& Capture() const { return capture_; }
  // The first playback volume of "Mic" (Mic Playback) and "Sidetone".
  const VolumeControl& Sidetone() const { return sidetone_; }
  // The first playback volume of "PCM", "Speaker", "Headphone", "Headset", "Master".
  const VolumeControl& Playback() const { return playback_; }
  VolumeControl& Capture() { return capture_; }
  VolumeControl& Sidetone() { return sidetone_; }
  VolumeControl& Playback() { return playback_; }

 private:
  snd_mixer_elem_t* Find(const char* name, bool capture) const;

  snd_mixer_t* mixer_ = nullptr;
  VolumeControl capture_;
  VolumeControl sidetone_;
  VolumeControl playback_;
};

}  // namespace brimvex::platform::alsa
