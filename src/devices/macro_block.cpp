#include "devices/macro_block.h"

#include <new>

namespace brimvex::devices {
namespace {

void PutLe16(std::vector<std::uint8_t>& b, std::size_t at, std::size_t v) {
  b[at] = static_cast<std::uint8_t>(v & 0xFF);
  b[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}

}  // namespace

std::size_t MacroBlockLength(const std::vector<std::vector<macros::MacroEvent>>& macros) {
  std::size_t total = 16 + 6 * macros.size();
  for (const auto& m : macros) total += 4 * m.size();
  return total;
}

MacroBlock BuildMacroBlock(const std::vector<std::vector<macros::MacroEvent>>& macros, std::size_t capacity,
                           std::size_t max_events) {
  MacroBlock out;
  // A macro too long is named before the capacity: its count then tells the caller which limit
  // was hit (both counts can lie in 251-380).
  for (const auto& events : macros) {
    if (max_events != 0 && events.size() > max_events) {
      out.result = static_cast<int>(events.size());
      return out;
    }
  }
  const std::size_t total = MacroBlockLength(macros);
  if (total > capacity) {
    out.result = static_cast<int>((total - capacity) / 4 + 1);
    return out;
  }
  try {
    out.bytes.assign(total, 0);
  } catch (const std::bad_alloc&) {
    out.result = kMacroBlockAllocationFailed;
    return out;
  }
  std::vector<std::uint8_t>& b = out.bytes;
  b[0] = 0xAA;
  b[1] = 0x55;
  PutLe16(b, 2, total);
  PutLe16(b, 4, macros.size());
  std::size_t at = 16 + 2 * macros.size();
  for (std::size_t k = 0; k < macros.size(); ++k) {
    const auto& events = macros[k];
    PutLe16(b, 16 + 2 * k, at);
    PutLe16(b, at, events.size());
    at += 4;
    for (const macros::MacroEvent& e : events) {
      b[at] = static_cast<std::uint8_t>(e.delay & 0xFF);
      b[at + 1] = static_cast<std::uint8_t>(e.delay >> 8);
      b[at + 2] = static_cast<std::uint8_t>((e.type & 0x7F) | (e.down ? 0x80 : 0));
      b[at + 3] = e.code;
      at += 4;
    }
  }
  return out;
}

}  // namespace brimvex::devices
