#pragma once
// The HID backend port served in process by the emulator's devices. Interface paths follow the
// hidraw grammar with the scheme "emu:" and the node name: "emu:keyboard#vid_05ac&pid_024e&mi_01&col04",
// "emu:mouse-receiver#vid_5e1d&pid_4a11&mi_01&col03", "emu:headset#vid_0c76&pid_1630&mi_03".
// An open collection sees only the input reports whose report ID belongs to it; reading a closed
// or unplugged interface fails at once.
#include "emulator/emulator.h"
#include "platform/hid_backend.h"

namespace brimvex::emulator {

class EmulatedHidBackend : public platform::HidBackend {
 public:
  // The emulator must outlive the backend's handles.
  explicit EmulatedHidBackend(const Emulator& emulator) : emulator_(emulator) {}

  bool Enumerate(std::vector<std::string>& paths) override;
  std::unique_ptr<platform::HidHandle> Open(const std::string& path, const platform::HidOpenFlags& flags) override;

 private:
  const Emulator& emulator_;
};

}  // namespace brimvex::emulator
