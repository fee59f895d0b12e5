#include "hid_backend_choice.h"

#include "emulator/emulated_hid_backend.h"
#include "platform/hidraw/hidraw_backend.h"

namespace brimvex::tools {

std::unique_ptr<platform::HidBackend> MakeHidBackend(bool emulate, const emulator::Emulator& emulator) {
  if (emulate) return std::make_unique<emulator::EmulatedHidBackend>(emulator);
  return std::make_unique<platform::hidraw::HidrawBackend>();
}

}  // namespace brimvex::tools
