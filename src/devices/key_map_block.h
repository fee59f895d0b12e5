#pragma once
// The key map a keyboard or mouse is written: the bytes it reported, with the current code of
// each page key at that key's slot. Slots no page key owns keep what was read; a key bound to a
// macro the store lacks gets its default; macro numbers become positions among the macros the
// keys use, in page-key order.
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "profiles/profile_records.h"

namespace brimvex::devices {

using KeyMapBytes = std::array<std::uint8_t, 512>;
// Slot of a page key, or kNoSlot.
using SlotOfKey = std::function<int(int)>;

bool IsMacroKey(const profiles::KeyCode& code);
KeyMapBytes BuildKeyMapBlock(const KeyMapBytes& read, const std::vector<profiles::KeyEntry>& keys, int page_keys,
                             const SlotOfKey& slot_of, int macro_count);
// The store positions of the macros the page keys with a slot use, in first-use order.
std::vector<int> UsedMacros(const std::vector<profiles::KeyEntry>& keys, int page_keys, const SlotOfKey& slot_of,
                            int macro_count);
// Keys bound to a macro at or past `macro_count` take their default code again; true when any did.
bool ResetUnknownMacroKeys(std::vector<profiles::KeyEntry>& keys, int macro_count);

}  // namespace brimvex::devices
