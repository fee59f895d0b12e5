#include "devices/key_map_listing.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

#include "devices/key_slots.h"
#include "profiles/default_tables.h"

namespace brimvex::devices {
namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string Hex(KeyCode code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%06x", static_cast<unsigned>(code.ToInteger()));
  return text;
}

}  // namespace

std::string PageKeyName(int key, const TextLookup& text) {
  if (key >= 0 && key < profiles::kKeyboardPageKeyCount) {
    const int row = FindKeyRow(profiles::kKeyboardPageKeys[static_cast<std::size_t>(key)].code);
    if (row >= 0) return text(kKeyTable[static_cast<std::size_t>(row)].text_key);
  }
  return "key" + std::to_string(key);
}

std::string KeyMapLine(int key, int slot, std::span<const std::uint8_t> key_map, const TextLookup& text,
                       std::span<const std::string> macro_names) {
  std::string line = std::to_string(key) + "\t" + PageKeyName(key, text) + "\t";
  const auto at = static_cast<std::size_t>(3 * std::max(slot, 0));
  if (slot == kNoSlot || slot < 0 || at + 3 > key_map.size()) return line + "-\tunknown\n";
  const KeyCode code{key_map[at], key_map[at + 1], key_map[at + 2]};
  const auto name = KeyCodeName(code, text, macro_names);
  return line + Hex(code) + "\t" + (name && !name->empty() ? *name : std::string("unknown")) + "\n";
}

std::string KeyMapLines(std::span<const int> slots, std::span<const std::uint8_t> key_map, const TextLookup& text,
                        std::span<const std::string> macro_names) {
  std::string out;
  for (int j = 0; j < profiles::kKeyboardPageKeyCount; ++j) {
    const int slot = static_cast<std::size_t>(j) < slots.size() ? slots[static_cast<std::size_t>(j)] : kNoSlot;
    out += KeyMapLine(j, slot, key_map, text, macro_names);
  }
  return out;
}

std::optional<KeyCode> ParseKeyFunction(std::string_view word, KeyCode default_code, const TextLookup& text) {
  if (SameIgnoringCase(word, "default")) return default_code;
  if (word.size() > 2 && word.size() <= 8 && word[0] == '0' && (word[1] == 'x' || word[1] == 'X')) {
    std::uint32_t value = 0;
    const char* end = word.data() + word.size();
    const auto [p, ec] = std::from_chars(word.data() + 2, end, value, 16);
    if (ec == std::errc() && p == end) return KeyCode::FromInteger(value);
    return std::nullopt;
  }
  for (const KeyTableRow& row : kKeyTable)
    if (SameIgnoringCase(word, text(row.text_key))) return row.code;
  return std::nullopt;
}

}  // namespace brimvex::devices
