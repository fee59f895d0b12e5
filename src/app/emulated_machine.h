#pragma once
// `brimvex --emulate`: the program runs on the emulator's default set (keyboard on its cable,
// mouse through its receiver, mouse pad, headset) instead of the machine's hidraw devices, and
// answers brimvexctl's requests about that set as the peer "BrimvexEmulator" (`emu` turns the
// devices; later verbs read the emulated memory). Requests run on the hub's thread: the emulated
// devices may be turned and read from any thread, as real ones are plugged while the program runs.
#include <memory>
#include <string>

#include "app/control_request.h"
#include "emulator/emulated_hid_backend.h"
#include "emulator/emulator.h"
#include "platform/ipc_hub.h"

namespace brimvex::app {

class EmulatedMachine {
 public:
  // An empty hub folder means the hub's default folder; the language folder holds the English
  // texts the answers name keys with.
  explicit EmulatedMachine(std::string hub_directory = {}, const std::string& language_folder = {});
  ~EmulatedMachine();
  EmulatedMachine(const EmulatedMachine&) = delete;
  EmulatedMachine& operator=(const EmulatedMachine&) = delete;

  platform::HidBackend& Backend() { return backend_; }
  emulator::Emulator& Machine() { return machine_; }
  RequestTable& Requests() { return requests_; }
  // Listens as "BrimvexEmulator"; false (with the reason) when the name is taken or the hub
  // folder was refused.
  bool Listen(std::string* error);

 private:
  void Answer(const platform::IpcMessage& message);

  std::string hub_directory_;
  emulator::Emulator machine_;
  emulator::EmulatedHidBackend backend_;
  RequestTable requests_;
  std::unique_ptr<platform::IpcHub> hub_;
};

// The one place that adds the emulator's request verbs ("emu", then those of the features).
void RegisterEmulatorRequests(RequestTable& requests, emulator::Emulator& machine, const std::string& language_folder);

}  // namespace brimvex::app
