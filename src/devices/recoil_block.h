#pragma once
// The mouse's recoil block: the macro block layout over the four guns' events. The block's
// lengths and offsets are 16-bit and the mouse keeps it in its recoil area, so a block larger
// than either is refused before anything is sent.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "devices/macro_block.h"
#include "hid/command_codes.h"
#include "macros/recoil_source.h"

namespace brimvex::devices {

// The most a block may hold: the recoil area, and never past a 16-bit length.
inline constexpr std::size_t kRecoilBlockLimit = hid::kMouseRecoilCapacity < 0xFFFF ? hid::kMouseRecoilCapacity : 0xFFFF;

// The events of one ".Shoot" file in the device form (macros/macro_files.h): an element that is
// not an object is a zero event; a missing file, or "Events" missing or not an array, gives none.
std::vector<macros::MacroEvent> ReadRecoilFile(const std::string& path);
// The guns' working files "ShootData_<n>.Shoot" of a folder (with its trailing '/').
std::shared_ptr<macros::RecoilSource> RecoilFolder(std::string folder);

struct RecoilBlock {
  // 0 with the block; (length - limit) / 4 + 1 when too large; kMacroBlockAllocationFailed.
  int result = 0;
  std::size_t length = 0;  // the block's length, also when refused
  std::vector<std::uint8_t> bytes;
};
RecoilBlock BuildRecoilBlock(const macros::RecoilSource& source);

}  // namespace brimvex::devices
