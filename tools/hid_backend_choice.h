#pragma once
// The HID backend a command runs on: the machine's hidraw devices, or the emulator's.
#include <memory>

#include "emulator/emulator.h"
#include "platform/hid_backend.h"

namespace brimvex::tools {

// `emulator` must outlive the backend.
std::unique_ptr<platform::HidBackend> MakeHidBackend(bool emulate, const emulator::Emulator& emulator);

}  // namespace brimvex::tools
