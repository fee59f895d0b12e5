#include "platform/ipc_frame.h"

#include <cstring>

namespace brimvex::platform {
namespace {

constexpr char kMagic[4] = {'B', 'V', 'X', '1'};

void PutLe(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::uint64_t GetLe(std::string_view in, std::size_t offset, int bytes) {
  std::uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) {
    value = (value << 8) | static_cast<unsigned char>(in[offset + static_cast<std::size_t>(i)]);
  }
  return value;
}

bool Fail(std::string* error, std::string text) {
  if (error != nullptr) *error = std::move(text);
  return false;
}

bool NameIsValid(std::string_view name, std::string* error) {
  if (name.empty()) return Fail(error, "empty message name");
  if (name.size() > kMaxIpcNameBytes) {
    return Fail(error, "message name of " + std::to_string(name.size()) + " bytes (limit " +
                           std::to_string(kMaxIpcNameBytes) + ")");
  }
  if (name.find('\0') != std::string_view::npos) return Fail(error, "NUL in message name");
  return true;
}

}  // namespace

std::optional<std::string> EncodeIpcFrame(const IpcMessage& message, std::string* error) {
  if (!NameIsValid(message.name, error)) return std::nullopt;
  const std::size_t total = kIpcFrameHeaderBytes + message.name.size() + message.payload.size();
  if (total > kMaxIpcFrameBytes) {
    Fail(error, "frame of " + std::to_string(total) + " bytes (limit " + std::to_string(kMaxIpcFrameBytes) + ")");
    return std::nullopt;
  }
  std::string out;
  out.reserve(total);
  out.append(kMagic, sizeof kMagic);
  PutLe(out, total, 4);
  PutLe(out, message.name.size(), 2);
  PutLe(out, 0, 2);
  PutLe(out, message.wparam, 8);
  PutLe(out, static_cast<std::uint64_t>(message.lparam), 8);
  PutLe(out, message.payload.size(), 4);
  out += message.name;
  out += message.payload;
  return out;
}

std::optional<IpcMessage> DecodeIpcFrame(std::string_view frame, std::string* error) {
  if (frame.size() < kIpcFrameHeaderBytes) {
    Fail(error, "short frame of " + std::to_string(frame.size()) + " bytes");
    return std::nullopt;
  }
  if (frame.size() > kMaxIpcFrameBytes) {
    Fail(error,
         "frame of " + std::to_string(frame.size()) + " bytes (limit " + std::to_string(kMaxIpcFrameBytes) + ")");
    return std::nullopt;
  }
  if (std::memcmp(frame.data(), kMagic, sizeof kMagic) != 0) {
    Fail(error, "bad magic");
    return std::nullopt;
  }
  const std::uint64_t length = GetLe(frame, 4, 4);
  const std::uint64_t name_length = GetLe(frame, 8, 2);
  const std::uint64_t payload_length = GetLe(frame, 28, 4);
  if (length != frame.size() || kIpcFrameHeaderBytes + name_length + payload_length != frame.size()) {
    Fail(error, "length fields do not match the frame of " + std::to_string(frame.size()) + " bytes");
    return std::nullopt;
  }
  if (GetLe(frame, 10, 2) != 0) {
    Fail(error, "reserved field not zero");
    return std::nullopt;
  }
  IpcMessage message;
  message.name = std::string(frame.substr(kIpcFrameHeaderBytes, name_length));
  if (!NameIsValid(message.name, error)) return std::nullopt;
  message.wparam = GetLe(frame, 12, 8);
  message.lparam = static_cast<std::int64_t>(GetLe(frame, 20, 8));
  message.payload = std::string(frame.substr(kIpcFrameHeaderBytes + name_length));
  return message;
}

}  // namespace brimvex::platform
