#include "appearance/language_list.h"

#include <charconv>

#include "profiles/file_helpers.h"
#include "profiles/json_access.h"

namespace brimvex::appearance {

std::vector<LanguageEntry> ReadLanguageList(const std::string& path) {
  namespace json = profiles::json;
  const Json::Value doc = profiles::ReadJson(path);
  const Json::Value* list = json::Get(&doc, "Language");
  std::vector<LanguageEntry> out;
  if (!json::IsArray(list)) return out;
  for (Json::ArrayIndex i = 0; i < list->size(); ++i) {
    const Json::Value* e = json::Get(list, static_cast<int>(i));
    LanguageEntry entry;
    if (json::IsObject(e)) {
      entry.name = json::String(json::Get(e, "Language_name"));
      entry.file = json::String(json::Get(e, "Language_file"));
      const Json::Value* id = json::Get(e, "Language_ID");
      if (id != nullptr && id->isIntegral() && id->isUInt()) entry.id = id->asUInt();
      entry.text_key = json::String(json::Get(e, "Language_text"));
    }
    out.push_back(std::move(entry));
  }
  return out;
}

std::string LanguageListPath() { return profiles::GetProgramDataFolder() + "Language.config"; }

std::optional<int> IndexOfId(const std::vector<LanguageEntry>& list, std::uint32_t id) {
  for (std::size_t i = 0; i < list.size(); ++i)
    if (list[i].id == id) return static_cast<int>(i);
  return std::nullopt;
}

std::optional<int> FindLanguage(const std::vector<LanguageEntry>& list, std::string_view name_or_index) {
  int index = -1;
  const char* end = name_or_index.data() + name_or_index.size();
  if (const auto [p, ec] = std::from_chars(name_or_index.data(), end, index); ec == std::errc() && p == end) {
    if (index >= 0 && static_cast<std::size_t>(index) < list.size()) return index;
    return std::nullopt;
  }
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  for (std::size_t i = 0; i < list.size(); ++i) {
    const std::string& n = list[i].name;
    if (n.empty() || n.size() != name_or_index.size()) continue;
    bool same = true;
    for (std::size_t k = 0; k < n.size() && same; ++k) same = lower(n[k]) == lower(name_or_index[k]);
    if (same) return static_cast<int>(i);
  }
  return std::nullopt;
}

}  // namespace brimvex::appearance
