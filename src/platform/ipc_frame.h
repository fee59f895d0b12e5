#pragma once
// The IPC hub's wire format. One frame is one datagram:
//   offset  size  field
//   0       4     magic "BVX1"
//   4       4     frame length, little endian (the whole frame, header included)
//   8       2     message-name length (1..kMaxIpcNameBytes)
//   10      2     reserved, 0
//   12      8     wParam
//   20      8     lParam (two's complement)
//   28      4     payload length
//   32      ...   name bytes (UTF-8, no NUL), then payload bytes
// A frame is at most kMaxIpcFrameBytes long; anything else is malformed.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brimvex::platform {

struct IpcMessage {
  std::string name;  // the registered message name, e.g. "Brimvex" for UWM_APP_INSTANCE
  std::uint64_t wparam = 0;
  std::int64_t lparam = 0;
  std::string payload;  // optional bytes (the device-list reply, WM_COPYDATA-like)

  bool operator==(const IpcMessage&) const = default;
};

inline constexpr std::size_t kIpcFrameHeaderBytes = 32;
inline constexpr std::size_t kMaxIpcFrameBytes = 64 * 1024;
inline constexpr std::size_t kMaxIpcNameBytes = 256;
inline constexpr std::size_t kMaxIpcPayloadBytes = kMaxIpcFrameBytes - kIpcFrameHeaderBytes - kMaxIpcNameBytes;

// The frame for a message, or nullopt (with the reason) when the name or payload break the limits.
std::optional<std::string> EncodeIpcFrame(const IpcMessage& message, std::string* error = nullptr);
// The message of one received frame, or nullopt (with the reason) when the frame is malformed.
std::optional<IpcMessage> DecodeIpcFrame(std::string_view frame, std::string* error = nullptr);

}  // namespace brimvex::platform
