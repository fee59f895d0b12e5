#include "profiles/basic_profile_data.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "platform/trace.h"
#include "profiles/file_helpers.h"
#include "profiles/json_access.h"
#include "profiles/profile_document.h"

namespace brimvex::profiles {
using json::Bool;
using json::Byte;
using json::Clamped;
using json::Find;
using json::Get;
using json::Int;
using json::IsNull;
using json::IsObject;
using json::Slot;

namespace {

// Brightness and speed run 0..4 (a speed of 7 would reach the device as 4 - 7).
constexpr int kLevelMax = 4;

bool ValidIndex(std::int32_t index) { return index >= 0 && index <= json::kMaxIndex; }

// The folder part of a path, with its trailing "/" ("" when there is none).
std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// An effect file name must stay inside its folder: no absolute path, drive or ".." component.
bool IsContainedName(std::string_view name) {
  if (name.empty() || name.front() == '/' || name.front() == '\\') return false;
  if (name.size() >= 2 && name[1] == ':') return false;
  std::size_t start = 0;
  while (start <= name.size()) {
    const auto end = name.find_first_of("/\\", start);
    const auto part = name.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
    if (part == "..") return false;
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return true;
}

}  // namespace

bool CBasicProfiledata::Save() { return SaveSection(section_, profile_path_); }

bool CBasicProfiledata::SaveSection(const Json::Value& section, const std::string& path) {
  if (!ValidIndex(device_index_) || path.empty()) return false;
  ProfileDocument doc = ReadProfileDocument(path);
  if (doc.keep_aside && KeepAside(path).empty()) return false;
  Json::Value copy = section;  // section may live inside this object; copy before touching doc
  Slot(Slot(doc.document, "Device"), device_index_) = std::move(copy);
  return WriteDocument(doc.document, path);
}

bool CBasicProfiledata::SaveScratchSection(const std::string& path) { return SaveSection(scratch_section_, path); }

bool CBasicProfiledata::WriteDocument(const Json::Value& document, const std::string& path) {
  return WriteJson(path, document);
}

void CBasicProfiledata::SetProfilePath(const std::string& path) {
  if (!path.empty()) profile_path_ = path;
}

void CBasicProfiledata::SetDefaultProfilePath(const std::string& path) {
  if (!path.empty()) default_profile_path_ = path;
}

Json::Value CBasicProfiledata::LoadSection(const std::string& path) { return LoadInto(path, section_); }

Json::Value CBasicProfiledata::LoadScratchSection(const std::string& path) { return LoadInto(path, scratch_section_); }

Json::Value CBasicProfiledata::LoadInto(const std::string& path, Json::Value& target) {
  target = Json::Value();
  if (!ValidIndex(device_index_)) return target;
  ProfileDocument doc = ReadProfileDocument(path);
  const Json::Value* found = Get(Get(&doc.document, "Device"), device_index_);
  if (IsObject(found)) {
    target = *found;
    return target;
  }
  // No usable section: take the default one and write it into the file at once.
  const Json::Value defaults = default_profile_path_.empty() ? Json::Value() : ReadJson(default_profile_path_);
  const Json::Value* default_section = Get(Get(&defaults, "Device"), device_index_);
  if (!IsObject(default_section)) {
    platform::Trace("no default profile section for " + path);
    return target;
  }
  target = *default_section;
  // A section of the wrong type is user data too: keep the file before replacing it.
  const bool keep_aside = doc.keep_aside || !IsNull(found);
  if (keep_aside && KeepAside(path).empty()) return target;
  Slot(Slot(doc.document, "Device"), device_index_) = target;
  if (!WriteDocument(doc.document, path)) platform::Trace("profile repair not written: " + path);
  return target;
}

Json::Value CBasicProfiledata::LoadLightConfig(const std::string& path) {
  light_config_ = ReadJson(path);
  light_config_folder_ = FolderOf(path);
  return light_config_;
}

Json::Value* CBasicProfiledata::SectionOrNull() { return section_.isNull() ? nullptr : &section_; }

LightInfo CBasicProfiledata::GetLightInfo() {
  Json::Value* info = Find(SectionOrNull(), "LightInfo");
  if (!IsObject(info)) {
    light_ = fallback_light_;
    return light_;
  }
  LightInfo r;
  r.mode = Byte(Find(info, "SelectItem"));
  r.brightness = Clamped(Find(info, "Light"), 0, kLevelMax);
  r.speed = Clamped(Find(info, "Speed"), 0, kLevelMax);
  r.direction = Byte(Find(info, "Fx"));
  r.multi_color = Bool(Find(info, "MultiColor"));
  r.red = Clamped(Find(info, "Red"), 0, 255);
  r.green = Clamped(Find(info, "Green"), 0, 255);
  r.blue = Clamped(Find(info, "Blue"), 0, 255);
  r.zzcc_mode = Byte(Find(info, "ZZCCLedMode"));
  r.custom_group = Byte(Find(info, "CustomGroup"));
  r.saved_mode = Byte(Find(info, "OldLedmode"));
  r.logo_mode = Byte(Find(info, "LogoMode"));
  // Both keys carry the logo byte; "LogoColor" wins when it is there.
  if (const Json::Value* logo_color = Find(info, "LogoColor"); !IsNull(logo_color)) r.logo_mode = Byte(logo_color);
  light_ = r;
  return light_;
}

void CBasicProfiledata::SetLightInfo(const LightInfo& r) {
  light_ = r;
  Json::Value info(Json::objectValue);
  info["SelectItem"] = r.mode;
  info["Light"] = r.brightness;
  info["Speed"] = r.speed;
  info["Fx"] = r.direction;
  info["MultiColor"] = r.multi_color;
  info["Red"] = r.red;
  info["Green"] = r.green;
  info["Blue"] = r.blue;
  info["ZZCCLedMode"] = r.zzcc_mode;
  info["CustomGroup"] = r.custom_group;
  info["OldLedmode"] = r.saved_mode;
  info["LogoMode"] = r.logo_mode;
  info["LogoColor"] = r.logo_mode;
  Slot(section_, "LightInfo") = std::move(info);
}

AudioLightInfo CBasicProfiledata::GetAudioLightInfo() {
  Json::Value* info = Find(SectionOrNull(), "AudioLightInfo");
  if (!IsObject(info)) {
    audio_light_ = AudioLightInfo{};
    return audio_light_;
  }
  AudioLightInfo r;
  r.audio_mode = Byte(Find(info, "AudioMode"));
  r.back_red = Byte(Find(info, "BkColorR"));
  r.back_green = Byte(Find(info, "BkColorG"));
  r.back_blue = Byte(Find(info, "BkColorB"));
  r.fore_red = Byte(Find(info, "FgColorR"));
  r.fore_green = Byte(Find(info, "FgColorG"));
  r.fore_blue = Byte(Find(info, "FgColorB"));
  r.seven_colors = Bool(Find(info, "7ColorFlags"));
  r.color_type = Bool(Find(info, "ColorTypeFlags"));
  r.color_type = 1;  // the colour type is always on once read
  audio_light_ = r;
  return audio_light_;
}

void CBasicProfiledata::SetAudioLightInfo(const AudioLightInfo& r) {
  audio_light_ = r;
  Json::Value info(Json::objectValue);
  info["AudioMode"] = r.audio_mode;
  info["BkColorR"] = r.back_red;
  info["BkColorG"] = r.back_green;
  info["BkColorB"] = r.back_blue;
  info["FgColorR"] = r.fore_red;
  info["FgColorG"] = r.fore_green;
  info["FgColorB"] = r.fore_blue;
  info["7ColorFlags"] = r.seven_colors;
  info["ColorTypeFlags"] = r.color_type;
  Slot(section_, "AudioLightInfo") = std::move(info);
}

std::vector<LedEntry> CBasicProfiledata::GetLightList() {
  light_list_.clear();
  Json::Value* list = Find(SectionOrNull(), "LightList");
  if (json::IsArray(list)) {
    light_list_.reserve(list->size());
    for (Json::ArrayIndex i = 0; i < list->size(); ++i) {
      Json::Value& element = (*list)[i];
      LedEntry e;
      if (element.isObject()) {
        e.mode = Byte(Find(&element, "LEDREGMode"));
        e.brightness = Byte(Find(&element, "LEDBrightness"));
        e.speed = Byte(Find(&element, "LEDSpeed"));
        e.direction = Bool(Find(&element, "LEDDirection"));
        e.multi_color = Bool(Find(&element, "LEDMultiColor"));
        e.red = Byte(Find(&element, "red"));
        e.green = Byte(Find(&element, "green"));
        e.blue = Byte(Find(&element, "blue"));
        e.present = 1;
      }
      light_list_.push_back(e);
    }
  }
  return light_list_;
}

std::vector<EffectStep> CBasicProfiledata::GetEffectSteps(int light_table_index, int listed_modes) {
  effect_steps_.clear();
  if (light_config_.isNull() || light_.mode < listed_modes) return effect_steps_;
  const Json::Value* entry = Get(Get(Get(&light_config_, "LightInfo"), light_table_index), light_.mode - listed_modes);
  const Json::Value* guid = Get(entry, "Guid");
  if (guid == nullptr || !guid->isString()) return effect_steps_;
  const std::string name = guid->asString();
  if (!IsContainedName(name) || name.find('\0') != std::string::npos) {
    platform::Trace("effect file refused: " + FromUtf8(name));
    return effect_steps_;
  }
  const std::string path = light_config_folder_ + name + ".light";
  const std::string text = ReadTextFile(path);
  if (text.empty()) return effect_steps_;  // no file: nothing to play
  const Json::Value file = ParseJson(text);
  const Json::Value* list = Get(&file, "LEDEffectList");
  if (!json::IsArray(list)) {
    // Not an effect: kept aside so that nothing written later can replace it; nothing plays.
    platform::Trace("effect file unusable, kept aside: " + FromUtf8(KeepAside(path)));
    return effect_steps_;
  }
  effect_steps_.resize(list->size());
  for (Json::ArrayIndex i = 0; i < list->size(); ++i) {
    const Json::Value* element = &(*list)[i];
    EffectStep& s = effect_steps_[i];
    s.code = Byte(Get(element, "LEDREGMode"));
    s.direction = Byte(Get(element, "LEDDirection"));
    s.brightness = Clamped(Get(element, "LEDBrightness"), 0, kLevelMax);
    s.speed = Clamped(Get(element, "LEDSpeed"), 0, kLevelMax);
    s.multi_color = Byte(Get(element, "LEDMultiColor"));
    s.red = Clamped(Get(element, "red"), 0, 255);
    s.green = Clamped(Get(element, "green"), 0, 255);
    s.blue = Clamped(Get(element, "blue"), 0, 255);
    s.time = json::Int32(Get(element, "Time"));
    s.cycle = json::Int32(Get(element, "Cyle"));
  }
  return effect_steps_;
}

std::vector<KeyEntry> CBasicProfiledata::ReadKeyList(Json::Value& section) {
  std::vector<KeyEntry> list;
  Json::Value* keys = Find(section.isNull() ? nullptr : &section, "KeyList");
  if (!json::IsArray(keys)) return list;
  list.reserve(keys->size());
  for (Json::ArrayIndex i = 0; i < keys->size(); ++i) {
    Json::Value* element = &(*keys)[i];
    KeyEntry e;
    e.index = static_cast<std::uint16_t>(i);
    e.current = KeyCode::FromInteger(Int(Find(element, "Assignment")));
    e.default_index = e.index;
    e.default_code = KeyCode::FromInteger(Int(Find(element, "DefaultAssignment")));
    list.push_back(e);
  }
  return list;
}

void CBasicProfiledata::WriteKeyList(Json::Value& section, const std::vector<KeyEntry>& entries) {
  Json::Value& keys = Slot(section, "KeyList");
  const std::size_t n = std::min<std::size_t>(entries.size(), json::kMaxIndex + 1);
  for (std::size_t i = 0; i < n; ++i) {
    Slot(Slot(keys, static_cast<int>(i)), "Assignment") = entries[i].current.ToInteger();
  }
}

std::vector<KeyEntry> CBasicProfiledata::GetKeyList() {
  key_list_ = ReadKeyList(section_);
  return key_list_;
}

void CBasicProfiledata::SetKeyList(const std::vector<KeyEntry>& entries) {
  key_list_ = entries;
  WriteKeyList(section_, entries);
}

std::vector<KeyEntry> CBasicProfiledata::GetCheckedKeyList(std::span<const KeyCode> factory_codes, bool* repaired) {
  if (repaired != nullptr) *repaired = false;
  const Json::Value* keys = section_.isObject() ? Get(&section_, "KeyList") : nullptr;
  const bool is_array = keys != nullptr && keys->isArray();
  // A code is usable when it is an integer that fits three bytes.
  auto code_at = [&](Json::ArrayIndex i, const char* key) -> std::optional<KeyCode> {
    const Json::Value* element = is_array && i < keys->size() ? &(*keys)[i] : nullptr;
    const Json::Value* v = element != nullptr && element->isObject() ? Get(element, key) : nullptr;
    if (v == nullptr || !v->isInt64() || v->asInt64() < 0 || v->asInt64() > 0xFFFFFF) return std::nullopt;
    return KeyCode::FromInteger(v->asInt64());
  };
  std::vector<KeyEntry> list;
  bool changed = !is_array || keys->size() < factory_codes.size();
  const Json::ArrayIndex n = std::max<Json::ArrayIndex>(is_array ? keys->size() : 0,
                                                        static_cast<Json::ArrayIndex>(factory_codes.size()));
  for (Json::ArrayIndex i = 0; i < n && i <= static_cast<Json::ArrayIndex>(json::kMaxIndex); ++i) {
    const KeyCode factory = i < factory_codes.size() ? factory_codes[i] : KeyCode{};
    const auto default_code = code_at(i, "DefaultAssignment");
    const auto current = code_at(i, "Assignment");
    KeyEntry e;
    e.index = static_cast<std::uint16_t>(i);
    e.default_index = e.index;
    e.default_code = default_code.value_or(factory);
    e.current = current.value_or(e.default_code);
    changed = changed || !default_code || !current;
    list.push_back(e);
  }
  if (changed) {
    Json::Value& target = Slot(section_, "KeyList");
    for (const KeyEntry& e : list) {
      Json::Value& element = Slot(target, e.index);
      Slot(element, "Assignment") = e.current.ToInteger();
      Slot(element, "DefaultAssignment") = e.default_code.ToInteger();
    }
  }
  if (repaired != nullptr) *repaired = changed;
  key_list_ = list;
  return list;
}

bool CBasicProfiledata::SaveKeepingAside() {
  if (!ValidIndex(device_index_) || profile_path_.empty()) return false;
  ProfileDocument doc = ReadProfileDocument(profile_path_);
  if (!ReadTextFile(profile_path_).empty() && KeepAside(profile_path_).empty()) return false;
  Json::Value copy = section_;
  Slot(Slot(doc.document, "Device"), device_index_) = std::move(copy);
  return WriteDocument(doc.document, profile_path_);
}

bool CBasicProfiledata::LoadDefaultSection() {
  const Json::Value defaults = default_profile_path_.empty() ? Json::Value() : ReadJson(default_profile_path_);
  const Json::Value* section = Get(Get(&defaults, "Device"), device_index_);
  if (!ValidIndex(device_index_) || !IsObject(section)) return false;
  section_ = *section;
  return true;
}

std::vector<KeyEntry> CBasicProfiledata::GetScratchKeyList() {
  scratch_key_list_ = ReadKeyList(scratch_section_);
  return scratch_key_list_;
}

void CBasicProfiledata::SetScratchKeyList(const std::vector<KeyEntry>& entries) {
  scratch_key_list_ = entries;
  WriteKeyList(scratch_section_, entries);
}

}  // namespace brimvex::profiles
