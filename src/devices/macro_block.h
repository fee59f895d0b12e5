#pragma once
// The device form of macros (also the layout of the mouse's recoil block): 0xAA 0x55, the total
// length, the macro count n, ten reserved bytes, n 16-bit offsets of the entries from the start,
// then per macro its event count, two reserved bytes and 4-byte events (delay low, delay high,
// type with bit 7 set for a press, code). All 16-bit values little-endian.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "macros/macro_source.h"

namespace brimvex::devices {

inline constexpr std::size_t kMaxMacroEvents = 250;
inline constexpr int kMacroBlockAllocationFailed = -1;

struct MacroBlock {
  // 0 with the block; the event count of the first macro with more than 250 events (checked
  // first); (total - capacity) / 4 + 1 when it does not fit; kMacroBlockAllocationFailed. No
  // block unless 0.
  int result = 0;
  std::vector<std::uint8_t> bytes;
};

// Total length of the block for these macros: 16 + 6n + 4 x all events.
std::size_t MacroBlockLength(const std::vector<std::vector<macros::MacroEvent>>& macros);
// `max_events` limits the events of one entry (0: no limit).
MacroBlock BuildMacroBlock(const std::vector<std::vector<macros::MacroEvent>>& macros, std::size_t capacity,
                           std::size_t max_events = kMaxMacroEvents);

}  // namespace brimvex::devices
