#pragma once
// The list of interface languages, "Language.config" in the program data folder: one entry per
// language, its position being the language index.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brimvex::appearance {

struct LanguageEntry {
  std::string name;      // "Language_name", handed to the resource manager
  std::string file;      // "Language_file", the language file
  std::uint32_t id = 0;  // "Language_ID", what the settings store keeps
  std::string text_key;  // "Language_text", the key of the entry's caption
};

// The entries in file order. An element that is not an object, or a member of the wrong type,
// reads as empty, so the positions of the others stay; a missing or broken file gives nothing.
std::vector<LanguageEntry> ReadLanguageList(const std::string& path);
// "Language.config" in the program data folder.
std::string LanguageListPath();

// The position of the first entry with that id, or nullopt.
std::optional<int> IndexOfId(const std::vector<LanguageEntry>& list, std::uint32_t id);
// An index ("1") or a "Language_name" without regard to case ("english"); nullopt when neither.
std::optional<int> FindLanguage(const std::vector<LanguageEntry>& list, std::string_view name_or_index);

}  // namespace brimvex::appearance
