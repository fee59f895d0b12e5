#pragma once
// The interface language of the running program: which one is current, the one to start with
// (the stored choice, else the desktop's locale), and applying one (font face and table, the
// language file, the texts of every window, the stored choice).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "appearance/language_list.h"
#include "platform/registry_store.h"
#include "platform/ui/resource_manager.h"

namespace brimvex::appearance {

inline constexpr const char* kLanguageKey = "SOFTWARE\\Brimvex";
inline constexpr const char* kLanguageValue = "LANGUAGE";
// The identifiers of the two shipped languages.
inline constexpr std::uint32_t kChineseId = 520;
inline constexpr std::uint32_t kEnglishId = 1033;

// The desktop's language: the first set of LC_ALL, LC_MESSAGES and LANG; "zh..." is Chinese,
// anything else (also "C" and nothing at all) English.
std::uint32_t LocaleLanguageId();

class LanguageSwitcher {
 public:
  // `store` may be null (nothing is kept between runs).
  LanguageSwitcher(ui::ResourceManager& resources, platform::RegistryStore* store, std::vector<LanguageEntry> list);

  const std::vector<LanguageEntry>& List() const { return list_; }
  // -1 before the first language is applied.
  int Current() const { return current_; }

  // The index to start with: the entry of the stored identifier (0 when no entry has it); with no
  // stored identifier (or one that is not a number) the entry of the locale's language, else the
  // English entry, else 0.
  int SavedIndex();

  // Applies language k: nothing when k is current (false). Otherwise the font table (rebuilt when
  // the face changes), the language file and every window's texts, the stored identifier, and
  // the windows laid out again with the fonts. True when k became current.
  bool Apply(int k);

  // Stores the identifier, creating the key when it is missing; traces "写成功！" on success.
  bool SaveLanguageId(std::uint32_t id);

 private:
  ui::ResourceManager& resources_;
  platform::RegistryStore* store_;
  std::vector<LanguageEntry> list_;
  int current_ = -1;
};

}  // namespace brimvex::appearance
