#include "platform/alsa_audio_chip/alsa_card.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace brimvex::platform::alsa {

namespace {

bool AllDigits(const char* text) {
  if (*text == '\0') return false;
  for (; *text != '\0'; ++text)
    if (*text < '0' || *text > '9') return false;
  return true;
}

bool CardHoldsHeadset(int card) {
  const std::string name = "hw:" + std::to_string(card);
  snd_ctl_t* ctl = nullptr;
  if (snd_ctl_open(&ctl, name.c_str(), 0) < 0) return false;
  snd_ctl_card_info_t* info = nullptr;
  bool found = false;
  if (snd_ctl_card_info_malloc(&info) == 0) {
    if (snd_ctl_card_info(ctl, info) == 0) {
      const char* components = snd_ctl_card_info_get_components(info);
      found = components != nullptr && std::strstr(components, kHeadsetComponents) != nullptr;
    }
    snd_ctl_card_info_free(info);
  }
  snd_ctl_close(ctl);
  return found;
}

constexpr snd_mixer_selem_channel_id_t kFirstChannel = SND_MIXER_SCHN_FRONT_LEFT;

}  // namespace

std::optional<std::string> FindHeadsetCard() {
  if (const char* named = std::getenv("BRIMVEX_ALSA_CARD"); named != nullptr && *named != '\0')
    return AllDigits(named) ? "hw:" + std::string(named) : std::string(named);
  int card = -1;
  while (snd_card_next(&card) == 0 && card >= 0)
    if (CardHoldsHeadset(card)) return "hw:" + std::to_string(card);
  return std::nullopt;
}

bool VolumeControl::Range(long& min, long& max) const {
  if (elem_ == nullptr) return false;
  const int r = capture_ ? snd_mixer_selem_get_capture_volume_range(elem_, &min, &max)
                         : snd_mixer_selem_get_playback_volume_range(elem_, &min, &max);
  return r == 0 && max >= min;
}

bool VolumeControl::DecibelRange(long& min, long& max) const {
  if (elem_ == nullptr) return false;
  const int r = capture_ ? snd_mixer_selem_get_capture_dB_range(elem_, &min, &max)
                         : snd_mixer_selem_get_playback_dB_range(elem_, &min, &max);
  return r == 0 && max >= min;
}

std::optional<double> VolumeControl::Scalar() const {
  long min = 0, max = 0, raw = 0;
  if (!Range(min, max)) return std::nullopt;
  const int r = capture_ ? snd_mixer_selem_get_capture_volume(elem_, kFirstChannel, &raw)
                         : snd_mixer_selem_get_playback_volume(elem_, kFirstChannel, &raw);
  if (r != 0) return std::nullopt;
  if (max == min) return 0.0;
  return static_cast<double>(raw - min) / static_cast<double>(max - min);
}

bool VolumeControl::SetScalar(double scalar) {
  long min = 0, max = 0;
  if (!std::isfinite(scalar) || scalar < 0.0 || scalar > 1.0 || !Range(min, max)) return false;
  const long raw = min + std::lround(scalar * static_cast<double>(max - min));
  return (capture_ ? snd_mixer_selem_set_capture_volume_all(elem_, raw)
                   : snd_mixer_selem_set_playback_volume_all(elem_, raw)) == 0;
}

std::optional<double> VolumeControl::Decibels() const {
  long min = 0, max = 0, value = 0;
  if (!DecibelRange(min, max)) return std::nullopt;
  const int r = capture_ ? snd_mixer_selem_get_capture_dB(elem_, kFirstChannel, &value)
                         : snd_mixer_selem_get_playback_dB(elem_, kFirstChannel, &value);
  if (r != 0) return std::nullopt;
  return static_cast<double>(value) / 100.0;
}

bool VolumeControl::SetDecibels(double db) {
  long min = 0, max = 0;
  if (!std::isfinite(db) || !DecibelRange(min, max)) return false;
  const long centi = std::lround(db * 100.0);
  if (centi < min || centi > max) return false;
  return (capture_ ? snd_mixer_selem_set_capture_dB_all(elem_, centi, -1)
                   : snd_mixer_selem_set_playback_dB_all(elem_, centi, -1)) == 0;
}

std::optional<double> VolumeControl::MinDecibels() const {
  long min = 0, max = 0;
  if (!DecibelRange(min, max)) return std::nullopt;
  return static_cast<double>(min) / 100.0;
}

std::optional<double> VolumeControl::MaxDecibels() const {
  long min = 0, max = 0;
  if (!DecibelRange(min, max)) return std::nullopt;
  return static_cast<double>(max) / 100.0;
}

std::optional<double> VolumeControl::StepDecibels() const {
  long min = 0, max = 0, db_min = 0, db_max = 0;
  if (!Range(min, max) || !DecibelRange(db_min, db_max)) return std::nullopt;
  if (max == min) return 0.0;
  return static_cast<double>(db_max - db_min) / 100.0 / static_cast<double>(max - min);
}

std::optional<int> VolumeControl::Muted() const {
  if (elem_ == nullptr) return std::nullopt;
  int on = 0;
  if (capture_) {
    if (!snd_mixer_selem_has_capture_switch(elem_) ||
        snd_mixer_selem_get_capture_switch(elem_, kFirstChannel, &on) != 0)
      return std::nullopt;
  } else if (!snd_mixer_selem_has_playback_switch(elem_) ||
             snd_mixer_selem_get_playback_switch(elem_, kFirstChannel, &on) != 0) {
    return std::nullopt;
  }
  return on != 0 ? 0 : 1;
}

bool VolumeControl::SetMuted(bool muted) {
  if (elem_ == nullptr) return false;
  if (capture_)
    return snd_mixer_selem_has_capture_switch(elem_) && snd_mixer_selem_set_capture_switch_all(elem_, muted ? 0 : 1) == 0;
  return snd_mixer_selem_has_playback_switch(elem_) && snd_mixer_selem_set_playback_switch_all(elem_, muted ? 0 : 1) == 0;
}

bool HeadsetMixer::Open(const std::string& card) {
  Close();
  if (snd_mixer_open(&mixer_, 0) < 0) {
    mixer_ = nullptr;
    return false;
  }
  if (snd_mixer_attach(mixer_, card.c_str()) < 0 || snd_mixer_selem_register(mixer_, nullptr, nullptr) < 0 ||
      snd_mixer_load(mixer_) < 0) {
    Close();
    return false;
  }
  for (const char* name : {"Mic", "Headset", "Capture"})
    if (snd_mixer_elem_t* e = Find(name, true); e != nullptr && !capture_) capture_ = VolumeControl(e, true);
  for (const char* name : {"Mic", "Sidetone"})
    if (snd_mixer_elem_t* e = Find(name, false); e != nullptr && !sidetone_) sidetone_ = VolumeControl(e, false);
  for (const char* name : {"PCM", "Speaker", "Headphone", "Headset", "Master"})
    if (snd_mixer_elem_t* e = Find(name, false); e != nullptr && !playback_) playback_ = VolumeControl(e, false);
  return true;
}

void HeadsetMixer::Close() {
  capture_ = sidetone_ = playback_ = VolumeControl();
  if (mixer_ != nullptr) snd_mixer_close(mixer_);
  mixer_ = nullptr;
}

snd_mixer_elem_t* HeadsetMixer::Find(const char* name, bool capture) const {
  snd_mixer_selem_id_t* id = nullptr;
  if (snd_mixer_selem_id_malloc(&id) != 0) return nullptr;
  snd_mixer_selem_id_set_name(id, name);
  snd_mixer_selem_id_set_index(id, 0);
  snd_mixer_elem_t* e = snd_mixer_find_selem(mixer_, id);
  snd_mixer_selem_id_free(id);
  if (e == nullptr) return nullptr;
  const bool has = capture ? snd_mixer_selem_has_capture_volume(e) : snd_mixer_selem_has_playback_volume(e);
  return has ? e : nullptr;
}

}  // namespace brimvex::platform::alsa
