#pragma once
// What the deletion of macro d does to key bindings, so that every binding keeps pointing at the
// same macro: a key bound to d gets its default assignment again, a key bound to a later macro
// follows it one place down, other keys stay.
#include <vector>

#include "profiles/profile_records.h"

namespace brimvex::macros {

// Whether the key is bound to macro d (type 0x70 or 0x71 with p1 = d).
bool IsBoundToMacro(const profiles::KeyEntry& key, int d);
// Applies the rule; true when an entry changed.
bool ApplyMacroDeleteRule(std::vector<profiles::KeyEntry>& keys, int d);

}  // namespace brimvex::macros
