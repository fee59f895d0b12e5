#include "appearance/language_switcher.h"

#include "appearance/font_table.h"
#include "platform/paths.h"
#include "platform/trace.h"

namespace brimvex::appearance {

std::uint32_t LocaleLanguageId() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const auto value = platform::GetEnv(name);
    if (!value || value->empty()) continue;
    return value->starts_with("zh") ? kChineseId : kEnglishId;
  }
  return kEnglishId;
}

LanguageSwitcher::LanguageSwitcher(ui::ResourceManager& resources, platform::RegistryStore* store,
                                   std::vector<LanguageEntry> list)
    : resources_(resources), store_(store), list_(std::move(list)) {}

int LanguageSwitcher::SavedIndex() {
  std::optional<platform::RegistryValue> stored;
  if (store_ != nullptr) stored = store_->ReadValue(kLanguageKey, kLanguageValue);
  if (stored && std::holds_alternative<std::uint32_t>(*stored))
    return IndexOfId(list_, std::get<std::uint32_t>(*stored)).value_or(0);
  // First start on this desktop (or a value that is not an identifier): the locale decides, and
  // applying the choice stores it.
  if (auto index = IndexOfId(list_, LocaleLanguageId())) return *index;
  return IndexOfId(list_, kEnglishId).value_or(0);
}

bool LanguageSwitcher::Apply(int k) {
  if (k == current_) return false;
  if (const auto face = FaceForLanguage(k, current_)) RebuildFontTable(resources_, *face);
  current_ = k;
  if (k >= 0 && static_cast<std::size_t>(k) < list_.size()) {
    const LanguageEntry& entry = list_[static_cast<std::size_t>(k)];
    resources_.SetLanguage(entry.name);
    if (!resources_.LoadLanguage(entry.file)) platform::Trace(resources_.LastError());
    resources_.ReloadText();
    SaveLanguageId(entry.id);
  } else {
    platform::TraceF("language %d is not in the language list", k);
  }
  resources_.RelayoutWindows();
  return true;
}

bool LanguageSwitcher::SaveLanguageId(std::uint32_t id) {
  if (store_ == nullptr) return false;
  if (!store_->CreateKey(kLanguageKey) || !store_->WriteValue(kLanguageKey, kLanguageValue, id)) {
    platform::Trace("the language choice could not be stored");
    return false;
  }
  platform::Trace("写成功！");
  return true;
}

}  // namespace brimvex::appearance
