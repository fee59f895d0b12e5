#include "profiles/keyboard_profile_data.h"

#include <algorithm>

#include "profiles/json_access.h"

namespace brimvex::profiles {
using json::Byte;
using json::Find;
using json::IsNull;
using json::IsObject;
using json::Slot;
using json::Word;

KeyboardSystemSettings CKeyboardProfiledata::GetSystemSettings() {
  Json::Value* stages = Find(SectionOrNull(), "SystemStages");
  KeyboardSystemSettings s;
  if (IsObject(stages)) {
    s.repeat = Word(Find(stages, "Repeat"));
    s.repeat_delay = Word(Find(stages, "RepeatDelay"));
    s.key6_flag = Word(Find(stages, "Key6Flag"));
    s.polling_rate = Word(Find(stages, "PollingRate"));
    s.w_flag = Word(Find(stages, "WFlag"));
    s.win_flag = Word(Find(stages, "WinFlag"));
    s.ios_mode = Word(Find(stages, "IOSMode"));
  }
  system_settings_ = s;
  return s;
}

void CKeyboardProfiledata::SetSystemSettings(const KeyboardSystemSettings& s) {
  system_settings_ = s;
  Json::Value& stages = Slot(section(), "SystemStages");
  Slot(stages, "Repeat") = s.repeat;
  Slot(stages, "RepeatDelay") = s.repeat_delay;
  Slot(stages, "Key6Flag") = s.key6_flag;
  Slot(stages, "PollingRate") = s.polling_rate;
  Slot(stages, "WFlag") = s.w_flag;
  Slot(stages, "WinFlag") = s.win_flag;
  Slot(stages, "IOSMode") = s.ios_mode;
}

std::vector<CustomColor> CKeyboardProfiledata::GetCustomColors(int group, int count) {
  custom_colors_.clear();
  if (group < 0 || group > json::kMaxIndex) return custom_colors_;
  const int n = count < 0 ? 0 : (count > json::kMaxIndex + 1 ? json::kMaxIndex + 1 : count);
  Json::Value& groups = Slot(Slot(section(), "CustomLightMode"), "LightColorInfo");
  Json::Value* colors = Find(&groups, group);
  const bool missing = IsNull(colors) || !colors->isArray();
  Json::Value& target = Slot(groups, group);
  custom_colors_.reserve(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    Json::Value* element = missing ? nullptr : Find(&target, i);
    if (IsObject(element)) {
      custom_colors_.push_back({Byte(Find(element, "Red")), Byte(Find(element, "Green")), Byte(Find(element, "Blue")),
                                Byte(Find(element, "Alpha"))});
      continue;
    }
    Json::Value& slot = Slot(target, i);
    Slot(slot, "Red") = 0;
    Slot(slot, "Green") = 0;
    Slot(slot, "Blue") = 0;
    Slot(slot, "Alpha") = 0;
    custom_colors_.push_back({});
  }
  return custom_colors_;
}

void CKeyboardProfiledata::SetCustomColors(const std::vector<CustomColor>& colors, int group) {
  custom_colors_ = colors;
  if (group < 0 || group > json::kMaxIndex) return;
  Json::Value& target = Slot(Slot(Slot(section(), "CustomLightMode"), "LightColorInfo"), group);
  const std::size_t n = std::min<std::size_t>(colors.size(), json::kMaxIndex + 1);
  for (std::size_t i = 0; i < n; ++i) {
    Json::Value& slot = Slot(target, static_cast<int>(i));
    Slot(slot, "Red") = colors[i].red;
    Slot(slot, "Green") = colors[i].green;
    Slot(slot, "Blue") = colors[i].blue;
    Slot(slot, "Alpha") = colors[i].alpha;
  }
}

std::int32_t CKeyboardProfiledata::GetCustomGroupIndex() {
  Json::Value* mode = Find(SectionOrNull(), "CustomLightMode");
  custom_group_index_ = json::Int32(Find(mode, "CustomLightModeGroupIndex"));
  return custom_group_index_;
}

void CKeyboardProfiledata::SetCustomGroupIndex(std::int32_t index) {
  custom_group_index_ = index;
  Slot(Slot(section(), "CustomLightMode"), "CustomLightModeGroupIndex") = index;
}

}  // namespace brimvex::profiles
