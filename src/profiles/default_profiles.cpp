#include "profiles/default_profiles.h"

#include <vector>

#include "profiles/default_tables.h"
#include "profiles/file_helpers.h"
#include "profiles/keyboard_profile_data.h"
#include "profiles/mouse_profile_data.h"
#include "profiles/ri6533_profile_data.h"

namespace brimvex::profiles {
namespace {

template <std::size_t N>
Json::Value KeyList(const std::array<PageKey, N>& keys) {
  Json::Value list(Json::arrayValue);
  for (const PageKey& key : keys) {
    Json::Value entry(Json::objectValue);
    entry["Assignment"] = key.code.ToInteger();
    entry["DefaultAssignment"] = key.code.ToInteger();
    list.append(std::move(entry));
  }
  return list;
}

Json::Value KeyboardSection() {
  CKeyboardProfiledata p;
  p.SetLightInfo(kDefaultKeyboardLight);
  p.SetAudioLightInfo(kDefaultKeyboardAudioLight);
  p.SetSystemSettings(kDefaultKeyboardSystemSettings);
  p.SetCustomGroupIndex(kDefaultCustomGroupIndex);
  Json::Value section = p.ProfileSection();
  section["KeyList"] = KeyList(kKeyboardPageKeys);
  return section;
}

Json::Value MouseSection() {
  CMouseProfiledata p;
  p.SetLightInfo(kDefaultMouseLight);
  p.SetStages({kDefaultMouseStages.begin(), kDefaultMouseStages.end()});
  p.SetActiveStageIndex(kDefaultMouseActiveStage);
  p.SetPointerOptions(kDefaultPointerOptions);
  Json::Value section = p.ProfileSection();
  section["KeyList"] = KeyList(kMousePageKeys);
  return section;
}

Json::Value MousePadSection() {
  CBasicProfiledata p;
  p.SetLightInfo(kDefaultMousePadLight);
  return p.ProfileSection();
}

Json::Value HeadsetSection() {
  CRi6533Profiledata p;
  p.SetLightInfo(kDefaultHeadsetLight);
  p.SetVoiceState(kDefaultVoiceState);
  for (int preset = 1; preset <= kEqPresetCount; ++preset) {
    const auto& bands = kEqPresets[static_cast<std::size_t>(preset - 1)];
    p.SetEqBands(preset, std::vector<std::int32_t>(bands.begin(), bands.end()));
  }
  p.SetCustomEqNames({});
  Json::Value section = p.ProfileSection();
  section["CustomEQHzValueInfo"] = Json::Value(Json::arrayValue);
  return section;
}

}  // namespace

std::string_view DeviceFolderName(DefaultProfileKind kind) {
  switch (kind) {
    case DefaultProfileKind::kKeyboard:
      return "keyboard";
    case DefaultProfileKind::kMouse:
      return "mouse";
    case DefaultProfileKind::kMousePad:
      return "MousePad";
    case DefaultProfileKind::kHeadset:
      return "HD";
  }
  return "";
}

Json::Value BuildDefaultProfile(DefaultProfileKind kind) {
  Json::Value section;
  switch (kind) {
    case DefaultProfileKind::kKeyboard:
      section = KeyboardSection();
      break;
    case DefaultProfileKind::kMouse:
      section = MouseSection();
      break;
    case DefaultProfileKind::kMousePad:
      section = MousePadSection();
      break;
    case DefaultProfileKind::kHeadset:
      section = HeadsetSection();
      break;
  }
  Json::Value doc(Json::objectValue);
  doc["profilename"] = "Default";
  doc["profileUUID"] = "Default";
  doc["Device"].append(std::move(section));
  return doc;
}

bool WriteDefaultProfiles(const std::string& folder) {
  bool all = true;
  for (const DefaultProfileKind kind : kDefaultProfileKinds) {
    all = WriteJson(folder + std::string(DeviceFolderName(kind)) + ".Json", BuildDefaultProfile(kind)) && all;
  }
  return all;
}

}  // namespace brimvex::profiles
