#pragma once
// The mouse on its emulated product (cable or receiver), with its data folder in a folder of the
// test's own, and the guns' recoil files the test writes.
#include <fstream>
#include <string>
#include <vector>

#include "devices/keyboard_rig.h"
#include "devices/mouse_device.h"

namespace brimvex::devices::test {

class MouseRig {
 public:
  explicit MouseRig(Link link = Link::kCable) : rig(Product::kMouse, kMousePageKeys, kMouseLights, link) {
    device().SetDeviceFolderName("mouse");
    device().SetLightFileName("quelt_light");
    page_built = rig.BuildPage();
  }

  COmbrixMouseDevice& device() { return *rig.device; }
  emulator::EmulatedDevice& mouse() { return rig.product_device; }

  bool Open() { return page_built && rig.OpenCommand(); }
  // InitialSync with the light worker stopped afterwards.
  int Sync() {
    const int result = device().InitialSync();
    device().StopLightWorker();
    return result;
  }
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
  // Gun `gun`'s working file with `events` events (left down, Delay as text), or `text` as is.
  void WriteGun(int gun, std::size_t events) {
    std::string s = "{\"Events\":[";
    for (std::size_t e = 0; e < events; ++e)
      s += std::string(e ? "," : "") + "{\"Type\":4,\"Action\":\"down\",\"Button\":30,\"Delay\":\"10\"}";
    WriteGunText(gun, s + "]}");
  }
  void WriteGunText(int gun, const std::string& text) {
    std::ofstream(device().DataFolder() + "ShootData_" + std::to_string(gun) + ".Shoot") << text;
  }

  ScopedDataHome home;
  DeviceRig<COmbrixMouseDevice> rig;
  bool page_built = false;
};

}  // namespace brimvex::devices::test
