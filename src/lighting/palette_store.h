#pragma once
// The colour picker's palette store, "color_option_info.config" in the application folder: the
// twenty preset colours and the chosen one, the twenty collected colours and the slot that takes
// new ones. A default copy of the same name ships in the program data folder.
//
// Opening never loses collected colours: a store that cannot be read (does not parse, or its
// "coloroptioninfo" is not an object) is kept aside as "<path>.broken-<identifier>" before the
// default copy takes its place. Saving re-reads the store, replaces only its own members and
// writes it atomically, so other members survive.
#include <json/value.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace brimvex::lighting {

inline constexpr int kPaletteSlots = 20;
inline constexpr const char* kPaletteStoreName = "color_option_info.config";

struct CollectedSlot {
  std::optional<std::uint32_t> color;  // nullopt: the slot stays as the skin made it
  std::string user_data;               // "1" when the slot holds a colour
};

struct PaletteStore {
  std::array<std::optional<std::uint32_t>, kPaletteSlots> presets{};
  std::optional<int> preset_index;
  std::array<CollectedSlot, kPaletteSlots> collected{};
  std::optional<int> collected_index;
};

// A "color" string: 1 to 8 hexadecimal digits, read as 0xAARRGGBB with alpha forced to 0xFF.
// Anything else (empty, longer, signs, spaces, not a string) is nullopt.
std::optional<std::uint32_t> ParseStoreColor(const Json::Value& value);
// The members of a parsed store (missing members stay unset).
PaletteStore ReadPaletteStore(const Json::Value& document);

// Where the store lives: `folder` + kPaletteStoreName.
std::string PaletteStorePath(const std::string& folder);

// The store to show. The application folder's store when it is readable; otherwise (missing, or
// kept aside when unreadable) the default copy, which is then written to the application folder.
// Null when neither can be read.
Json::Value OpenPaletteStore(const std::string& store_path, const std::string& default_path);

// Replace the presets' members (each colour as eight upper-case hex digits) and write the store;
// false when it was not written. A present but unreadable store is kept aside first.
bool SavePalettePresets(const std::string& store_path, const std::array<std::uint32_t, kPaletteSlots>& colors,
                        int preset_index);
struct CollectedColor {
  std::uint32_t color = 0xFFFFFFFF;
  std::string user_data;
};
bool SavePaletteCollected(const std::string& store_path, const std::array<CollectedColor, kPaletteSlots>& slots,
                          int collected_index);

}  // namespace brimvex::lighting
