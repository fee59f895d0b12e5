#include "macros/macro_key_rule.h"

namespace brimvex::macros {
namespace {

constexpr std::uint8_t kMacroKey = 0x70, kMacroRepeatKey = 0x71;

bool IsMacroKey(const profiles::KeyCode& c) { return c.type == kMacroKey || c.type == kMacroRepeatKey; }

}  // namespace

bool IsBoundToMacro(const profiles::KeyEntry& key, int d) { return IsMacroKey(key.current) && key.current.p1 == d; }

bool ApplyMacroDeleteRule(std::vector<profiles::KeyEntry>& keys, int d) {
  bool changed = false;
  for (profiles::KeyEntry& e : keys) {
    if (!IsMacroKey(e.current)) continue;
    if (e.current.p1 == d) {
      e.current = e.default_code;
      e.index = e.default_index;
      changed = true;
    } else if (e.current.p1 > d) {
      --e.current.p1;
      changed = true;
    }
  }
  return changed;
}

}  // namespace brimvex::macros
