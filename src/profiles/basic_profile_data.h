#pragma once
// A device's view of one profile file: the file's "Device"[device index] element (the profile
// section) held as a JSON value, and typed getters and setters over it. Setters change memory
// only; Save writes the section back into the file.
#include <json/value.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "profiles/profile_records.h"

namespace brimvex::profiles {

class CBasicProfiledata {
 public:
  CBasicProfiledata() = default;
  CBasicProfiledata(const CBasicProfiledata&) = default;
  CBasicProfiledata& operator=(const CBasicProfiledata&) = default;
  virtual ~CBasicProfiledata() = default;

  // The four document operations. Each returns whether the file was written.
  [[nodiscard]] virtual bool Save();
  // Re-reads the document at path, replaces only its "Device"[device index] and writes it back.
  [[nodiscard]] virtual bool SaveSection(const Json::Value& section, const std::string& path);
  [[nodiscard]] virtual bool SaveScratchSection(const std::string& path);
  [[nodiscard]] virtual bool WriteDocument(const Json::Value& document, const std::string& path);

  // Paths and identity. Empty paths leave the profile and default paths unchanged.
  void SetProfilePath(const std::string& path);
  const std::string& GetProfilePath() const { return profile_path_; }
  void SetDefaultProfilePath(const std::string& path);
  const std::string& GetDefaultProfilePath() const { return default_profile_path_; }
  void SetLightConfigPath(const std::string& path) { light_config_path_ = path; }
  const std::string& GetLightConfigPath() const { return light_config_path_; }
  void SetDeviceIndex(std::int32_t index) { device_index_ = index; }
  std::int32_t GetDeviceIndex() const { return device_index_; }

  // Makes the file at path current and returns a copy of its section. A missing file, or one
  // without a usable section, gets the default profile's section written into it; a file that
  // holds bytes which cannot be used is first kept aside as "<path>.broken-<identifier>".
  Json::Value LoadSection(const std::string& path);
  // The same for the scratch section (bulk edits of other profiles).
  Json::Value LoadScratchSection(const std::string& path);
  // The light configuration document (null when missing or unreadable).
  Json::Value LoadLightConfig(const std::string& path);

  // The sections as they stand in memory.
  const Json::Value& ProfileSection() const { return section_; }
  const Json::Value& ScratchSection() const { return scratch_section_; }

  LightInfo GetLightInfo();
  void SetLightInfo(const LightInfo& record);
  AudioLightInfo GetAudioLightInfo();
  void SetAudioLightInfo(const AudioLightInfo& record);
  std::vector<LedEntry> GetLightList();
  // The user-defined effect of the light record's mode, when that mode lies past the listed
  // modes; its file is the configuration entry's "Guid" plus ".light", in the folder of the
  // light configuration. A "Guid" that is absolute or climbs with ".." gives no steps.
  std::vector<EffectStep> GetEffectSteps(int light_table_index, int listed_modes);
  std::vector<KeyEntry> GetKeyList();
  void SetKeyList(const std::vector<KeyEntry>& entries);
  // The key list with at least one entry per factory code. A "KeyList" that is not an array or
  // is short, or an "Assignment" or "DefaultAssignment" that is missing, not an integer or above
  // 0xFFFFFF, is repaired: a bad default becomes the factory code, a bad assignment the default.
  // `repaired` says whether anything was; the section then holds the repaired list (both codes of
  // every entry) and the caller saves it with SaveKeepingAside.
  std::vector<KeyEntry> GetCheckedKeyList(std::span<const KeyCode> factory_codes, bool* repaired);
  // Save, first keeping the file as it was aside ("<path>.broken-<identifier>"): for a repair
  // that replaces what the file held. False when the file could not be moved or written.
  [[nodiscard]] bool SaveKeepingAside();
  // The default profile's section becomes the section in memory (the file is not touched);
  // false when the default profile has none.
  bool LoadDefaultSection();
  std::vector<KeyEntry> GetScratchKeyList();
  void SetScratchKeyList(const std::vector<KeyEntry>& entries);

 protected:
  // The section for a getter that first tests the whole section: nullptr when it is null.
  Json::Value* SectionOrNull();
  Json::Value& section() { return section_; }

 private:
  Json::Value LoadInto(const std::string& path, Json::Value& target);
  static std::vector<KeyEntry> ReadKeyList(Json::Value& section);
  static void WriteKeyList(Json::Value& section, const std::vector<KeyEntry>& entries);

  std::string profile_path_;
  std::string default_profile_path_;
  LightInfo light_;
  LightInfo fallback_light_;
  AudioLightInfo audio_light_;
  std::vector<LedEntry> light_list_;
  Json::Value section_;
  Json::Value scratch_section_;
  std::string light_config_path_;
  std::vector<EffectStep> effect_steps_;
  Json::Value light_config_;
  std::string light_config_folder_;  // where the effect files are looked up
  std::vector<KeyEntry> key_list_;
  std::vector<KeyEntry> scratch_key_list_;
  std::int32_t device_index_ = 0;
};

}  // namespace brimvex::profiles
