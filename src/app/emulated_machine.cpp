#include "app/emulated_machine.h"

#include "emulator/emulator_control.h"
#include "platform/trace.h"

namespace brimvex::app {

EmulatedMachine::EmulatedMachine() : backend_(machine_) { machine_.AddDefaultSet(); }

EmulatedMachine::~EmulatedMachine() {
  if (hub_ != nullptr) hub_->Stop();
}

bool EmulatedMachine::Listen(std::string* error) {
  hub_ = std::make_unique<platform::IpcHub>();
  if (!hub_->ready()) {
    if (error != nullptr) *error = hub_->error();
    return false;
  }
  // Runs on the hub's thread; the emulated devices may be turned from any thread, as real ones are
  // plugged while the program runs.
  const bool ok = hub_->Listen(std::string(emulator::kEmulatorPeer), [this](const platform::IpcMessage& m) {
    if (m.name != emulator::kEmulatorCommandName) return;  // broadcasts meant for other programs
    std::string why;
    const auto command = emulator::DecodeEmuCommand(m, &why);
    if (command && emulator::ApplyEmuCommand(machine_, *command, &why)) {
      platform::Trace("emu: " + m.payload);
    } else {
      platform::Trace("emu: refused \"" + m.payload + "\": " + why);
    }
  });
  if (!ok && error != nullptr) *error = "the peer name " + std::string(emulator::kEmulatorPeer) + " is taken";
  return ok;
}

}  // namespace brimvex::app
