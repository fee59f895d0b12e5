#pragma once
// What the mouse needs of the recoil data: the events of each of the four guns, in the device's
// event form (a null event of a file is an all-zero event). The mouse reads the working files of
// its data folder (macros/recoil_files.h) unless a test sets another.
#include <vector>

#include "macros/macro_source.h"

namespace brimvex::macros {

inline constexpr int kRecoilGuns = 4;

class RecoilSource {
 public:
  virtual ~RecoilSource() = default;
  virtual std::vector<MacroEvent> GunEvents(int gun) const = 0;
};

}  // namespace brimvex::macros
