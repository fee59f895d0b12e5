#pragma once
// The keyboard's profile: the common members plus system settings, per-key custom colour groups
// and the selected custom group.
#include <cstdint>
#include <vector>

#include "profiles/basic_profile_data.h"

namespace brimvex::profiles {

class CKeyboardProfiledata : public CBasicProfiledata {
 public:
  KeyboardSystemSettings GetSystemSettings();
  void SetSystemSettings(const KeyboardSystemSettings& values);
  // The first count colours of a custom group; missing entries are written as zeros into the
  // section (they reach the file with the next save). A group outside 0..4095 gives nothing.
  std::vector<CustomColor> GetCustomColors(int group, int count);
  void SetCustomColors(const std::vector<CustomColor>& colors, int group);
  std::int32_t GetCustomGroupIndex();
  void SetCustomGroupIndex(std::int32_t index);

 private:
  KeyboardSystemSettings system_settings_;
  std::vector<CustomColor> custom_colors_;
  std::int32_t custom_group_index_ = 0;
};

}  // namespace brimvex::profiles
