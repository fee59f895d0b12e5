#pragma once
// Which device key slot belongs to which page key. A keyboard or mouse reports its key map (three
// bytes a slot) in its own order; the page key whose factory code a slot holds owns it, and one
// slot belongs to one page key only (page keys that share a factory code take the next free slot
// with it). Once a key is remapped its slot no longer holds the factory code, so the map learned
// from a fresh device is kept in "KeySlots.json" in the device data folder with the key count,
// the key positions and the interface kind it was learned on; later syncs take the kept slots
// and match only the page keys that had none. A device whose count, positions or interface kind
// differ is learned again.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "profiles/profile_records.h"

namespace brimvex::devices {

inline constexpr int kNoSlot = -1;
inline constexpr const char* kKeySlotsFileName = "KeySlots.json";

// Slot of each page key (kNoSlot: none). `kept`, when given, holds slots taken as they are (a
// kept slot at or past `key_count` counts as none); the page keys without one are matched among
// the slots nobody else owns.
std::vector<int> MatchKeySlots(std::span<const profiles::KeyCode> factory_codes, std::span<const std::uint8_t> key_map,
                               int key_count, std::span<const int> kept = {});

struct KeptKeySlots {
  int key_count = 0;
  std::string source;                   // interface kind of the path ("emu", "hidraw", ...)
  std::vector<std::uint8_t> positions;  // one byte per slot
  std::vector<int> slots;               // per page key
};

// The interface kind of an interface path: the part before its first ':' ("" when none).
std::string InterfaceKind(const std::string& path);
// The kept map in `path`; nullopt when there is none or it cannot be used. An unparsable file is
// kept aside before it is replaced.
std::optional<KeptKeySlots> ReadKeptKeySlots(const std::string& path);
bool WriteKeptKeySlots(const std::string& path, const KeptKeySlots& kept);
// Whether the kept map was learned on a device like this one.
bool KeptSlotsFit(const KeptKeySlots& kept, int key_count, std::span<const std::uint8_t> positions,
                  const std::string& source, std::size_t page_keys);

}  // namespace brimvex::devices

namespace brimvex::devices {

// The slots of the page keys for a device whose key map was just read (`usable`): the kept map
// when it fits, else matched afresh and kept in `path`. An unusable key map matches without
// keeping anything.
std::vector<int> LearnKeySlots(const std::string& path, std::span<const profiles::KeyCode> factory_codes,
                               std::span<const std::uint8_t> key_map, int key_count,
                               std::span<const std::uint8_t> positions, const std::string& source, bool usable);

}  // namespace brimvex::devices
