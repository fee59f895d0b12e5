#include "hid_backend_choice.h"

#include "emulator/emulated_hid_backend.h"

namespace brimvex::tools {

std::unique_ptr<platform::HidBackend> MakeHidBackend(bool emulate, const emulator::Emulator& emulator) {
  // The hidraw adapter joins here once it is built.
  (void)emulate;
  return std::make_unique<emulator::EmulatedHidBackend>(emulator);
}

}  // namespace brimvex::tools
