#pragma once
// The headset's profile: the common members plus the voice state. The equaliser tables live
// only in the section.
#include <cstdint>
#include <string>
#include <vector>

#include "profiles/basic_profile_data.h"

namespace brimvex::profiles {

class CRi6533Profiledata : public CBasicProfiledata {
 public:
  // The custom equaliser preset: it has no row of its own.
  static constexpr int kCustomPreset = 13;
  static constexpr int kBandCount = 10;

  VoiceState GetVoiceState();
  void SetVoiceState(const VoiceState& values);
  // Ten band values of a fixed preset (rows 1 to 12; any other preset but 13 uses row 1). Bands
  // the section lacks read 0 and are written as 0. Preset 13 gives an empty list.
  std::vector<std::int32_t> GetEqBands(int preset);
  // Writes the values given, at most ten; bands past a shorter list keep their value.
  void SetEqBands(int preset, const std::vector<std::int32_t>& values);
  std::vector<std::string> GetCustomEqNames();
  void SetCustomEqNames(const std::vector<std::string>& names);
  // The same for custom equaliser index (0 to 4095; others give an empty list and write nothing).
  std::vector<std::int32_t> GetCustomEqBands(int index);
  void SetCustomEqBands(int index, const std::vector<std::int32_t>& values);

  // The row of "EQHzValueInfo" a preset uses; -1 for the custom preset.
  static int PresetRow(int preset);

 private:
  std::vector<std::int32_t> ReadBands(const char* table, int row);
  void WriteBands(const char* table, int row, const std::vector<std::int32_t>& values);

  VoiceState voice_state_;
};

}  // namespace brimvex::profiles
