#include "app/emulated_machine.h"

#include "app/emulated_light.h"
#include "app/keymap_requests.h"
#include "emulator/emulator_control.h"
#include "platform/trace.h"

namespace brimvex::app {

EmulatedMachine::EmulatedMachine(std::string hub_directory, const std::string& language_folder)
    : hub_directory_(hub_directory.empty() ? platform::IpcHub::DefaultDirectory() : std::move(hub_directory)),
      backend_(machine_) {
  machine_.AddDefaultSet();
  RegisterEmulatorRequests(requests_, machine_, language_folder);
}

EmulatedMachine::~EmulatedMachine() {
  if (hub_ != nullptr) hub_->Stop();
}

bool EmulatedMachine::Listen(std::string* error) {
  hub_ = std::make_unique<platform::IpcHub>(hub_directory_);
  if (!hub_->ready()) {
    if (error != nullptr) *error = hub_->error();
    return false;
  }
  const bool ok =
      hub_->Listen(std::string(emulator::kEmulatorPeer), [this](const platform::IpcMessage& m) { Answer(m); });
  if (!ok && error != nullptr) *error = "the peer name " + std::string(emulator::kEmulatorPeer) + " is taken";
  return ok;
}

void EmulatedMachine::Answer(const platform::IpcMessage& message) {
  if (message.name != kRequestName) return;  // broadcasts meant for other programs
  std::string why;
  const auto request = DecodeRequest(message, &why);
  if (!request) {
    platform::Trace("emu: dropped request: " + why);
    return;
  }
  if (!hub_->Post(request->reply_to, EncodeAnswer(request->id, requests_.Run(*request))))
    platform::Trace("emu: the answer did not reach " + request->reply_to);
}

void RegisterEmulatorRequests(RequestTable& requests, emulator::Emulator& machine, const std::string& language_folder) {
  // emu ACTION DEVICE [VALUE]
  requests.Add("emu", [&machine](const std::vector<std::string>& args) -> ControlAnswer {
    std::string why;
    const auto command = emulator::ParseEmuCommand(args, &why);
    if (!command) return {kExitMalformed, why};
    // A device that cannot do it (a notice no link carries) is a failure, not done.
    if (!emulator::ApplyEmuCommand(machine, *command, &why)) return {kExitFailed, why};
    std::string line = "emu:";
    for (const std::string& a : args) line += " " + a;
    platform::Trace(line);
    return {kExitDone, ""};
  });
  RegisterEmulatedKeymapRequests(requests, machine, language_folder);
  RegisterEmulatedLightRequests(requests, machine);
}

}  // namespace brimvex::app
