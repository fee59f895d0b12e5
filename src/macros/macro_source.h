#pragma once
// What the devices need of the macro store: the names of the stored macros, in store order (a
// key's macro number is a position in this list), and the events of one macro. The store itself
// implements it; until then a device has NoMacros.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brimvex::macros {

// One recorded event as a device plays it: the delay before it, press or release, and the kind
// and code of the key or button.
struct MacroEvent {
  std::uint16_t delay = 0;
  bool down = false;
  std::uint8_t type = 0;  // 7 bits; the device form adds the press flag as bit 7
  std::uint8_t code = 0;
  friend bool operator==(const MacroEvent&, const MacroEvent&) = default;
};

class MacroSource {
 public:
  virtual ~MacroSource() = default;
  // The names of the stored macros; nullopt when the store cannot be read.
  virtual std::optional<std::vector<std::string>> Names() const = 0;
  // The events of macro `index` (empty when its file cannot be read or the index is unknown).
  virtual std::vector<MacroEvent> Events(int index) const = 0;
};

// A store without macros.
class NoMacros : public MacroSource {
 public:
  std::optional<std::vector<std::string>> Names() const override { return std::vector<std::string>{}; }
  std::vector<MacroEvent> Events(int /*index*/) const override { return {}; }
};

}  // namespace brimvex::macros
