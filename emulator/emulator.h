#pragma once
// The emulated machine: a set of emulated peripherals and the HID interfaces they present.
//
// Each device is one product with one or two identities (EmulatedDevice); each plugged identity
// presents one HID interface, named by a node: the device's name for its cable, the name plus
// "-receiver" for its receiver. The HID backends turn nodes into interface paths (one per
// top-level collection): "emu:keyboard#vid_05ac&pid_024e&mi_01&col04" in process
// (EmulatedHidBackend), "hidraw:/dev/hidrawN#..." through a fake sysfs tree (FakeHidrawTree).
//
// Thread safety: all members may be called from any thread. Devices live as long as the
// emulator; connections keep their device alive.
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "emulator/emulated_device.h"

namespace brimvex::emulator {

struct PresentInterface {
  std::string node;
  std::shared_ptr<EmulatedDevice> device;
  Link link = Link::kCable;
  UsbIdentity identity;
};

class Emulator {
 public:
  Emulator();
  ~Emulator();
  Emulator(const Emulator&) = delete;
  Emulator& operator=(const Emulator&) = delete;

  // Adds a device with every identity unplugged. The name defaults to "keyboard", "mouse",
  // "mousepad" or "headset", followed by a number from 2 when taken.
  EmulatedDevice& AddDevice(Product product, std::string name = "");
  // The built-in set of the demos and of `brimvexctl list --emulate`: the keyboard on its
  // cable, the mouse through its receiver and switched on, the mouse pad and the headset.
  void AddDefaultSet();

  EmulatedDevice* Find(std::string_view name) const;
  std::vector<std::shared_ptr<EmulatedDevice>> Devices() const;

  // The interfaces plugged now: devices in the order added, the cable before the receiver.
  std::vector<PresentInterface> PresentInterfaces() const;
  // The plugged interface of a node, or nullptr.
  std::shared_ptr<HidConnection> Connect(std::string_view node, bool read, bool write) const;
  bool NodeIdentity(std::string_view node, PresentInterface& out) const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::shared_ptr<EmulatedDevice>> devices_;
};

}  // namespace brimvex::emulator
