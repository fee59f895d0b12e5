#pragma once
// The keyboard on its emulated product, with its data folder in a folder of the test's own and
// a macro store the test fills.
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "devices/device_rig.h"
#include "devices/keyboard_device.h"
#include "macros/macro_source.h"
#include "platform/paths.h"
#include "test_support/temp_dir.h"

namespace brimvex::devices::test {

// $XDG_DATA_HOME points at a fresh folder while the object lives.
class ScopedDataHome {
 public:
  ScopedDataHome() : old_(platform::GetEnv("XDG_DATA_HOME")) { platform::SetEnv("XDG_DATA_HOME", dir_.folder()); }
  ~ScopedDataHome() { platform::SetEnv("XDG_DATA_HOME", old_); }
  const brimvex::test::TempDir& dir() const { return dir_; }

 private:
  brimvex::test::TempDir dir_;
  std::optional<std::string> old_;
};

// A macro store of names and event lists; `readable` false is a store that cannot be read.
class FixtureMacros : public macros::MacroSource {
 public:
  std::vector<std::string> names;
  std::map<int, std::vector<macros::MacroEvent>> events;
  bool readable = true;

  std::optional<std::vector<std::string>> Names() const override {
    if (!readable) return std::nullopt;
    return names;
  }
  std::vector<macros::MacroEvent> Events(int index) const override {
    const auto it = events.find(index);
    return it == events.end() ? std::vector<macros::MacroEvent>{} : it->second;
  }
  // `count` macros named m0, m1, ...; macro k gets `sizes[k]` events (none past the list).
  static std::shared_ptr<FixtureMacros> Make(int count, std::vector<std::size_t> sizes = {}) {
    auto m = std::make_shared<FixtureMacros>();
    for (int k = 0; k < count; ++k) {
      m->names.push_back("m" + std::to_string(k));
      const std::size_t n = static_cast<std::size_t>(k) < sizes.size() ? sizes[static_cast<std::size_t>(k)] : 0;
      for (std::size_t e = 0; e < n; ++e)
        m->events[k].push_back({static_cast<std::uint16_t>(e), e % 2 == 0, 1, static_cast<std::uint8_t>(k)});
    }
    return m;
  }
};

// A request as the product received it: command, length and offset.
struct Packet {
  std::uint8_t code = 0;
  std::uint8_t length = 0;
  std::uint16_t offset = 0;
  friend bool operator==(const Packet&, const Packet&) = default;
};

class KeyboardRig {
 public:
  // The page is built as the device manager builds it: its profile list names the profile.
  explicit KeyboardRig(Link link = Link::kCable) : rig(Product::kKeyboard, 170, 170, link) {
    device().SetDeviceFolderName("keyboard");
    device().SetLightFileName("quelt_light");
    page_built = rig.BuildPage();
  }

  COmbrixKeyboardDevice& device() { return *rig.device; }
  emulator::EmulatedDevice& kb() { return rig.product_device; }

  // InitialSync with the light worker stopped afterwards, so the frame stays as the test sets it.
  int Sync() {
    const int result = device().InitialSync();
    device().StopLightWorker();
    return result;
  }
  // Opens the command interface as discovery does; false (also) when the page did not build.
  bool Open() { return page_built && rig.OpenCommand(); }

  // Every request since the log was cleared.
  std::vector<Packet> Packets() const {
    std::vector<Packet> out;
    for (const auto& ex : rig.product_device.ExchangeLog())
      out.push_back({ex.request[3], ex.request[4], static_cast<std::uint16_t>(ex.request[5] | ex.request[6] << 8)});
    return out;
  }
  std::vector<std::uint8_t> Codes() const { return rig.Codes(); }
  std::size_t CountOf(std::uint8_t code) const {
    std::size_t n = 0;
    for (auto c : Codes()) n += c == code ? 1 : 0;
    return n;
  }
  std::vector<std::uint8_t> Memory(emulator::Area area, std::size_t offset, std::size_t n) const {
    const auto m = rig.product_device.Memory(area);
    return {m.begin() + static_cast<std::ptrdiff_t>(offset), m.begin() + static_cast<std::ptrdiff_t>(offset + n)};
  }
  void SetMemory(emulator::Area area, std::size_t offset, std::vector<std::uint8_t> bytes) {
    rig.product_device.SetMemory(area, offset, bytes);
  }
  // The key slot bytes of slot `k` in the product's key map.
  profiles::KeyCode SlotCode(int k) const {
    const auto b = Memory(emulator::Area::kKeyMap, static_cast<std::size_t>(3 * k), 3);
    return {b[0], b[1], b[2]};
  }

  ScopedDataHome home;
  DeviceRig<COmbrixKeyboardDevice> rig;
  bool page_built = false;
};

}  // namespace brimvex::devices::test
