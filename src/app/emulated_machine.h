#pragma once
// `brimvex --emulate`: the program runs on the emulator's default set (keyboard on its cable,
// mouse through its receiver, mouse pad, headset) instead of the machine's hidraw devices, and
// takes `brimvexctl emu` commands for that set over the IPC hub.
#include <memory>
#include <string>

#include "emulator/emulated_hid_backend.h"
#include "emulator/emulator.h"
#include "platform/ipc_hub.h"

namespace brimvex::app {

class EmulatedMachine {
 public:
  EmulatedMachine();
  ~EmulatedMachine();
  EmulatedMachine(const EmulatedMachine&) = delete;
  EmulatedMachine& operator=(const EmulatedMachine&) = delete;

  platform::HidBackend& Backend() { return backend_; }
  emulator::Emulator& Machine() { return machine_; }
  // Listens for `brimvexctl emu` as the peer "BrimvexEmulator"; false (with the reason) when the
  // name is taken or the hub folder was refused.
  bool Listen(std::string* error);

 private:
  emulator::Emulator machine_;
  emulator::EmulatedHidBackend backend_;
  std::unique_ptr<platform::IpcHub> hub_;
};

}  // namespace brimvex::app
