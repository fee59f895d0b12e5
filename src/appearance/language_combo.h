#pragma once
// The language drop-down of the settings window ("Language_combox_info"): one item per entry of
// the language list, its caption the entry's "Language_text" key, the current language selected
// without a notification. The window sends the chosen index to its owner as the language change
// message.
#include <vector>

#include "appearance/language_list.h"
#include "platform/ui/list_controls.h"

namespace brimvex::appearance {

inline constexpr const char* kLanguageComboName = "Language_combox_info";

void FillLanguageCombo(ui::Combo& combo, const std::vector<LanguageEntry>& list, int current);

}  // namespace brimvex::appearance
