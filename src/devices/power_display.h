#pragma once
// The power display of a device page, as the device sees it: it is handed the status block the
// device read (battery %, charge state, -, wireless mark, -, phone type).
#include <cstdint>
#include <span>

namespace brimvex::devices {

class PowerDisplay {
 public:
  virtual ~PowerDisplay() = default;
  virtual void ShowStatus(std::span<const std::uint8_t> status) = 0;
};

}  // namespace brimvex::devices
