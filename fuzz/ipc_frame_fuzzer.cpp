// Any datagram that reaches the IPC hub: decoding never crashes, and a frame it accepts encodes
// back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/ipc_frame.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view frame(reinterpret_cast<const char*>(data), size);
  const auto message = brimvex::platform::DecodeIpcFrame(frame);
  if (message) {
    const auto again = brimvex::platform::EncodeIpcFrame(*message);
    if (!again || *again != frame) std::abort();
  }
  return 0;
}
