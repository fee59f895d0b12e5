#pragma once
// The HID backend port served in process by the emulator's devices. Interface paths follow the
// hidraw grammar with the scheme "emu:" and the node name: "emu:keyboard#vid_05ac&pid_024e&mi_01&col04",
// "emu:mouse-receiver#vid_5e1d&pid_4a11&mi_01&col03", "emu:headset#vid_0c76&pid_1630&mi_03".
// An open collection sees only the input reports whose report ID belongs to it; reading a closed
// or unplugged interface fails at once.
//
// A host test drives a device like this:
//   emulator::Emulator machine;
//   machine.AddDefaultSet();                       // or AddDevice(...) and Plug(...)
//   emulator::EmulatedHidBackend backend(machine);
//   hid::HidInterface wired(backend);
//   wired.Open(backend.InterfacePath("keyboard", 4), true, true, true, false);  // command collection
//   ... WriteReport / ReadReport ..., then machine.Find("keyboard")->Memory(emulator::Area::kKeyMap)
#include <string>
#include <string_view>

#include "emulator/emulator.h"
#include "platform/hid_backend.h"

namespace brimvex::emulator {

class EmulatedHidBackend : public platform::HidBackend {
 public:
  // The emulator must outlive the backend's handles.
  explicit EmulatedHidBackend(const Emulator& emulator) : emulator_(emulator) {}

  bool Enumerate(std::vector<std::string>& paths) override;
  std::unique_ptr<platform::HidHandle> Open(const std::string& path, const platform::HidOpenFlags& flags) override;

  // The path Enumerate gives for collection `collection` (1-based, as "&col"; 0 for the only one)
  // of a plugged node ("keyboard", "mouse-receiver"); "" when the node is not plugged or has no
  // such collection.
  std::string InterfacePath(std::string_view node, std::size_t collection) const;

 private:
  const Emulator& emulator_;
};

}  // namespace brimvex::emulator
