#pragma once
// The keyboard's key map as brimvexctl prints it: one line per page key in page order, four
// tab-separated fields INDEX, NAME (its factory key's name; "key" + INDEX for a key the tables
// cannot name), CODE (the slot's bytes as the profile integer "0xTTPPQQ", "-" without a slot) and
// FUNCTION (CODE's name as the key list gives it, "unknown" when the tables cannot name it);
// and the function words `keymap set` takes.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "devices/key_tables.h"

namespace brimvex::devices {

// The name of page key `key` of the keyboard by its factory code.
std::string PageKeyName(int key, const TextLookup& text);

// The line of page key `key` whose slot is `slot` (kNoSlot: none) in `key_map`, with its "\n".
// A slot whose bytes lie past the map counts as none.
std::string KeyMapLine(int key, int slot, std::span<const std::uint8_t> key_map, const TextLookup& text,
                       std::span<const std::string> macro_names = {});
// The lines of every page key; `slots[j]` is page key j's slot.
std::string KeyMapLines(std::span<const int> slots, std::span<const std::uint8_t> key_map, const TextLookup& text,
                        std::span<const std::string> macro_names = {});

// The code a function word names: "0x" and up to six hex digits (the profile integer),
// "default" (`default_code`), or the name of a key table row in any case ("B", "lctrl",
// "Num Enter"); nullopt for anything else.
std::optional<KeyCode> ParseKeyFunction(std::string_view word, KeyCode default_code, const TextLookup& text);

}  // namespace brimvex::devices
