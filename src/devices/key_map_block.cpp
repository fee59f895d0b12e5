#include "devices/key_map_block.h"

#include <algorithm>

#include "devices/key_slots.h"

namespace brimvex::devices {

bool IsMacroKey(const profiles::KeyCode& c) { return c.type == 0x70 || c.type == 0x71; }

KeyMapBytes BuildKeyMapBlock(const KeyMapBytes& read, const std::vector<profiles::KeyEntry>& keys, int page_keys,
                             const SlotOfKey& slot_of, int macro_count) {
  KeyMapBytes block = read;
  std::vector<int> used;
  for (int j = 0; j < page_keys && static_cast<std::size_t>(j) < keys.size(); ++j) {
    const int slot = slot_of(j);
    if (slot == kNoSlot || slot < 0 || 3 * static_cast<std::size_t>(slot) + 2 >= block.size()) continue;
    profiles::KeyCode c = keys[static_cast<std::size_t>(j)].current;
    if (IsMacroKey(c)) {
      if (c.p1 < macro_count) {
        auto at = std::find(used.begin(), used.end(), c.p1);
        if (at == used.end()) at = used.insert(used.end(), c.p1);
        c.p1 = static_cast<std::uint8_t>(at - used.begin());
      } else {
        c = keys[static_cast<std::size_t>(j)].default_code;
      }
    }
    const auto at = static_cast<std::size_t>(3 * slot);
    block[at] = c.type;
    block[at + 1] = c.p1;
    block[at + 2] = c.p2;
  }
  return block;
}

std::vector<int> UsedMacros(const std::vector<profiles::KeyEntry>& keys, int page_keys, const SlotOfKey& slot_of,
                            int macro_count) {
  std::vector<int> used;
  for (int j = 0; j < page_keys && static_cast<std::size_t>(j) < keys.size(); ++j) {
    const profiles::KeyCode& c = keys[static_cast<std::size_t>(j)].current;
    if (slot_of(j) == kNoSlot || !IsMacroKey(c) || c.p1 >= macro_count) continue;
    if (std::find(used.begin(), used.end(), c.p1) == used.end()) used.push_back(c.p1);
  }
  return used;
}

bool ResetUnknownMacroKeys(std::vector<profiles::KeyEntry>& keys, int macro_count) {
  bool changed = false;
  for (profiles::KeyEntry& e : keys) {
    if (IsMacroKey(e.current) && e.current.p1 >= macro_count) {
      e.current = e.default_code;
      changed = true;
    }
  }
  return changed;
}

}  // namespace brimvex::devices
