#pragma once
// A command channel opened on an emulated device, and the packets the device received.
#include <string>
#include <utility>
#include <vector>

#include "emulator/emulated_hid_backend.h"
#include "emulator/emulator.h"
#include "hid/command_channel.h"

namespace brimvex::hid::test {

using emulator::Link;
using emulator::Product;

inline std::string CommandPath(const emulator::EmulatedDevice& d, Link link) {
  const auto id = d.Identity(link);
  char keys[64];
  const bool headset = d.product() == Product::kHeadset;
  std::snprintf(keys, sizeof keys, headset ? "#vid_%04x&pid_%04x&mi_%02x" : "#vid_%04x&pid_%04x&mi_%02x&col04",
                id.vendor_id, id.product_id, id.interface_number);
  return "emu:" + d.name() + (link == Link::kReceiver ? "-receiver" : "") + keys;
}

class ChannelFixture {
 public:
  explicit ChannelFixture(Product product, Link link = Link::kCable)
      : device(emu.AddDevice(product)), backend(emu), channel(backend), link_(link) {
    device.SetLatency(platform::Millis(0));
    device.Plug(link);
    Open();
  }

  // Opens the identity's command interface as discovery does, with the link mode.
  bool Open() {
    std::lock_guard lock(channel.TransactionLock());
    HidInterface& hid = link_ == Link::kReceiver ? channel.Receiver() : channel.Wired();
    const bool ok = hid.Open(CommandPath(device, link_), true, true, true, false);
    channel.SetOpen(ok);
    if (device.product() == Product::kKeyboard || device.product() == Product::kMouse)
      channel.SetLinkMode(link_ == Link::kReceiver ? 2 : 1);
    return ok;
  }

  // (length, offset) of every request the device received since the last clear.
  std::vector<std::pair<int, int>> Packets(std::uint8_t code = 0) const {
    std::vector<std::pair<int, int>> out;
    for (const auto& ex : device.ExchangeLog()) {
      const auto& r = ex.request;
      if (r.size() < 8 || (code != 0 && r[3] != code)) continue;
      out.emplace_back(r[4], r[5] | (r[6] << 8));
    }
    return out;
  }

  emulator::Emulator emu;
  emulator::EmulatedDevice& device;
  emulator::EmulatedHidBackend backend;
  CommandChannel channel;

 private:
  Link link_;
};

}  // namespace brimvex::hid::test
