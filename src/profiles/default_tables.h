#pragma once
// Factory data of the devices and the contents of their default profiles: page keys with their
// factory key codes, resolution stages, equaliser presets and the initial settings of each kind.
#include <array>
#include <cstdint>
#include <string_view>

#include "profiles/profile_records.h"

namespace brimvex::profiles {

struct PageKey {
  std::string_view name;
  KeyCode code;  // factory code: what the key does out of the box, and how its slot is found
};

inline constexpr int kKeyboardPageKeyCount = 126;
inline constexpr int kMousePageKeyCount = 11;
inline constexpr int kStageCount = 5;
inline constexpr int kEqPresetCount = 12;  // fixed presets 1 to 12; 13 is the custom one
inline constexpr int kEqBandCount = 10;

extern const std::array<PageKey, kKeyboardPageKeyCount> kKeyboardPageKeys;
extern const std::array<PageKey, kMousePageKeyCount> kMousePageKeys;

// Band values of the fixed presets; kEqPresets[p - 1] is preset p.
extern const std::array<std::array<std::int8_t, kEqBandCount>, kEqPresetCount> kEqPresets;

// What a default profile of each kind holds.
extern const std::array<StageRecord, kStageCount> kDefaultMouseStages;
inline constexpr std::int32_t kDefaultMouseActiveStage = 1;
extern const PointerOptions kDefaultPointerOptions;
extern const KeyboardSystemSettings kDefaultKeyboardSystemSettings;
inline constexpr std::int32_t kDefaultCustomGroupIndex = 0;
extern const AudioLightInfo kDefaultKeyboardAudioLight;
extern const VoiceState kDefaultVoiceState;
extern const LightInfo kDefaultKeyboardLight;
extern const LightInfo kDefaultMouseLight;
extern const LightInfo kDefaultMousePadLight;
extern const LightInfo kDefaultHeadsetLight;

}  // namespace brimvex::profiles
