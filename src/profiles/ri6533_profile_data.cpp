#include "profiles/ri6533_profile_data.h"

#include <algorithm>

#include "profiles/file_helpers.h"
#include "profiles/json_access.h"

namespace brimvex::profiles {
using json::Find;
using json::Int32;
using json::IsArray;
using json::IsNull;
using json::IsObject;
using json::Slot;

VoiceState CRi6533Profiledata::GetVoiceState() {
  VoiceState v;
  Json::Value* s = Find(SectionOrNull(), "SystemSetStages");
  if (IsObject(s)) {
    v.magic_enabled = Int32(Find(s, "MagicEnable"));
    v.magic_type = Int32(Find(s, "MagicType"));
    v.eq_preset = Int32(Find(s, "EqType"));
    v.custom_eq_index = Int32(Find(s, "CustomEqSeletIndex"));
    v.mic_enabled = Int32(Find(s, "MicInSelect"));
    v.mic_level = Int32(Find(s, "MicInValue"));
    v.monitor_enabled = Int32(Find(s, "MicMoniterSelect"));
    v.monitor_level = Int32(Find(s, "MicMoniterValue"));
  }
  voice_state_ = v;
  return v;
}

void CRi6533Profiledata::SetVoiceState(const VoiceState& v) {
  voice_state_ = v;
  Json::Value& s = Slot(section(), "SystemSetStages");
  Slot(s, "MagicEnable") = v.magic_enabled;
  Slot(s, "MagicType") = v.magic_type;
  Slot(s, "EqType") = v.eq_preset;
  Slot(s, "CustomEqSeletIndex") = v.custom_eq_index;
  Slot(s, "MicInSelect") = v.mic_enabled;
  Slot(s, "MicInValue") = v.mic_level;
  Slot(s, "MicMoniterSelect") = v.monitor_enabled;
  Slot(s, "MicMoniterValue") = v.monitor_level;
}

int CRi6533Profiledata::PresetRow(int preset) {
  if (preset == kCustomPreset) return -1;
  return preset >= 1 && preset <= 12 ? preset : 1;
}

std::vector<std::int32_t> CRi6533Profiledata::ReadBands(const char* table, int row) {
  std::vector<std::int32_t> bands;
  bands.reserve(kBandCount);
  for (int band = 0; band < kBandCount; ++band) {
    Json::Value* rows = Find(&section(), table);
    Json::Value* bands_of_row = IsNull(rows) ? nullptr : Find(rows, row);
    if (IsNull(bands_of_row) || !IsArray(bands_of_row)) {
      Slot(Slot(Slot(Slot(section(), table), row), band), "value") = 0;
      bands.push_back(0);
    } else {
      bands.push_back(Int32(Find(Find(bands_of_row, band), "value")));
    }
  }
  return bands;
}

void CRi6533Profiledata::WriteBands(const char* table, int row, const std::vector<std::int32_t>& values) {
  Json::Value& bands = Slot(Slot(section(), table), row);
  const int n = static_cast<int>(std::min<std::size_t>(values.size(), kBandCount));
  for (int band = 0; band < n; ++band) {
    Slot(Slot(bands, band), "value") = values[static_cast<std::size_t>(band)];
  }
}

std::vector<std::int32_t> CRi6533Profiledata::GetEqBands(int preset) {
  const int row = PresetRow(preset);
  if (row < 0) return {};
  return ReadBands("EQHzValueInfo", row);
}

void CRi6533Profiledata::SetEqBands(int preset, const std::vector<std::int32_t>& values) {
  const int row = PresetRow(preset);
  if (row < 0) return;
  WriteBands("EQHzValueInfo", row, values);
}

std::vector<std::string> CRi6533Profiledata::GetCustomEqNames() {
  std::vector<std::string> names;
  Json::Value* list = Find(SectionOrNull(), "CustomEQNameInfo");
  if (!IsArray(list)) return names;
  for (Json::ArrayIndex i = 0; i < list->size(); ++i) {
    Json::Value* element = &(*list)[i];
    names.push_back(json::String(IsObject(element) ? Find(element, "Name") : nullptr));
  }
  return names;
}

void CRi6533Profiledata::SetCustomEqNames(const std::vector<std::string>& names) {
  Json::Value list(Json::arrayValue);
  for (const std::string& name : names) {
    Json::Value entry(Json::objectValue);
    entry["Name"] = FromUtf8(ToUtf8(name));  // invalid sequences become U+FFFD
    list.append(std::move(entry));
  }
  Slot(section(), "CustomEQNameInfo") = std::move(list);
}

std::vector<std::int32_t> CRi6533Profiledata::GetCustomEqBands(int index) {
  if (index < 0 || index > json::kMaxIndex) return {};
  return ReadBands("CustomEQHzValueInfo", index);
}

void CRi6533Profiledata::SetCustomEqBands(int index, const std::vector<std::int32_t>& values) {
  if (index < 0 || index > json::kMaxIndex) return;
  WriteBands("CustomEQHzValueInfo", index, values);
}

}  // namespace brimvex::profiles
