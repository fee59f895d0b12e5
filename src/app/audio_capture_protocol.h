#pragma once
// What Brimvex and its capture program, brimvex-audio-capture, say to each other over the hub.
//
// Brimvex -> "BrimvexAUDIORECORD", UWM_AUDIO_RECORDER with wParam the command:
//   0 send to the peer "Brimvex" (lParam: the sender's pid), 3 open the source, 1 start sending,
//   2 stop sending, 4 close the source, 5 exit.
// Brimvex -> "BrimvexAUDIORECORD", copy data of kind 10: the style, exactly 40 bytes.
// capture program -> "Brimvex":
//   UWM_AUDIO_RECORDER (0, 0) once it listens: "connect me";
//   UWM_AUDIO_RECORDER (command, 1) after each command was carried out, (3, 2) when the source
//   could not be opened, and (4, 1) when a WAV source ended on its own. Frames and answers leave
//   one thread in order, so a reader knows which frames came before a command took effect;
//   copy data of kind 1: one spectrum frame, exactly 500 little-endian int32.
// Copy data travels as {"WM_COPYDATA", wParam the sender's pid, lParam the kind, payload}.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/app_messages.h"

namespace brimvex::app {

inline constexpr std::string_view kCapturePeerName = "BrimvexAUDIORECORD";
inline constexpr std::string_view kCaptureLockName = "BrimvexAudioRecord";

enum class CaptureCommand : std::uint64_t {
  kSendToProgram = 0,
  kStartSending = 1,
  kStopSending = 2,
  kOpenSource = 3,
  kCloseSource = 4,
  kExit = 5,
};
inline constexpr std::int64_t kCaptureHello = 0;
inline constexpr std::int64_t kCaptureDone = 1;
inline constexpr std::int64_t kCaptureFailed = 2;

inline constexpr std::int64_t kCopyDataSpectrum = 1;
inline constexpr std::int64_t kCopyDataColor = 2;
inline constexpr std::int64_t kCopyDataStyle = 10;

inline constexpr std::size_t kSpectrumValues = 500;
inline constexpr std::size_t kSpectrumBytes = kSpectrumValues * 4;
inline constexpr std::size_t kColorBytes = 24;
inline constexpr std::size_t kStyleBytes = 40;

// Exit codes of the capture program.
inline constexpr int kCaptureExitOk = 0;
inline constexpr int kCaptureExitNoHub = 1;
inline constexpr int kCaptureExitBadSource = 2;
inline constexpr int kCaptureExitRunning = 3;

// R: gain, 2 dB a step; G: smoothing, each value moves 1/G of the way to the new one; B: floor,
// values below B x 400 go out as 0. Each 0 to 9.
struct CaptureStyle {
  int r = 0;
  int g = 1;
  int b = 0;
  friend bool operator==(const CaptureStyle&, const CaptureStyle&) = default;
};

inline void PutInt32(std::span<char> out, std::size_t index, std::int32_t value) {
  const auto u = static_cast<std::uint32_t>(value);
  for (std::size_t i = 0; i < 4; ++i) out[index * 4 + i] = static_cast<char>((u >> (8 * i)) & 0xFF);
}

inline std::int32_t GetInt32(std::string_view bytes, std::size_t index) {
  std::uint32_t u = 0;
  for (std::size_t i = 0; i < 4; ++i)
    u |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[index * 4 + i])) << (8 * i);
  return static_cast<std::int32_t>(u);
}

// R, G, B as three little-endian int32 followed by zeros; a G of 0 goes as 1.
inline std::string EncodeCaptureStyle(const CaptureStyle& style) {
  std::string bytes(kStyleBytes, '\0');
  PutInt32(bytes, 0, style.r);
  PutInt32(bytes, 1, style.g == 0 ? 1 : style.g);
  PutInt32(bytes, 2, style.b);
  return bytes;
}

// The style of a 40-byte payload, each value kept to 0..9 (G at least 1); nullopt otherwise.
inline std::optional<CaptureStyle> DecodeCaptureStyle(std::string_view bytes) {
  if (bytes.size() != kStyleBytes) return std::nullopt;
  auto clamp = [](std::int32_t v, int low) { return v < low ? low : v > 9 ? 9 : static_cast<int>(v); };
  return CaptureStyle{clamp(GetInt32(bytes, 0), 0), clamp(GetInt32(bytes, 1), 1), clamp(GetInt32(bytes, 2), 0)};
}

}  // namespace brimvex::app
