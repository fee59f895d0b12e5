#include "appearance/language_combo.h"

namespace brimvex::appearance {

void FillLanguageCombo(ui::Combo& combo, const std::vector<LanguageEntry>& list, int current) {
  combo.RemoveAll();
  for (const LanguageEntry& entry : list) combo.AddItem(entry.name, entry.name, entry.text_key);
  combo.SelectItem(current >= 0 && static_cast<std::size_t>(current) < list.size() ? current : -1, false);
}

}  // namespace brimvex::appearance
