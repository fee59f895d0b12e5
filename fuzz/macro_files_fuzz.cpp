// Arbitrary bytes as a macro file, a recoil file and a macro store: nothing crashes, an accepted
// file stays within the limits, and its macro block has 16 + 6n + 4E bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "devices/macro_block.h"
#include "macros/macro_files.h"

using namespace brimvex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  for (const macros::FileKind kind : {macros::FileKind::kMacro, macros::FileKind::kShoot}) {
    const macros::ImportCheck check = macros::CheckImportBytes(bytes, kind);
    if (!check.ok()) continue;
    const std::size_t limit = kind == macros::FileKind::kMacro ? macros::kMaxMacroEvents : macros::kMaxShootEvents;
    if (check.events.size() > limit || check.bytes != bytes) std::abort();
    const std::vector<std::vector<macros::MacroEvent>> one{check.events};
    const devices::MacroBlock block = devices::BuildMacroBlock(one, 4096);
    if (block.result != 0 || block.bytes.size() != 16 + 6 + 4 * check.events.size()) std::abort();
  }
  const macros::StoreContent store = macros::ParseStore(bytes, true);
  for (const macros::StoreEntry& e : store.entries)
    if (e.usable && (e.guid.find('/') != std::string::npos || e.guid.find('.') != std::string::npos)) std::abort();
  return 0;
}
