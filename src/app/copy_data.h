#pragma once
// The copy-data frames other programs send the main window: kind 1 is a spectrum frame of the
// capture process (exactly 2000 bytes) for the first audio buffer, kind 2 a colour (exactly 24
// bytes) for the second. A frame replaces its buffer, which is handed to the audio light. A frame
// of another length is dropped with a trace (a short one is never mixed into the last frame);
// empty frames and other kinds are ignored.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace brimvex::app {

inline constexpr std::size_t kAudioBuffer1Bytes = 2000;
inline constexpr std::size_t kAudioBuffer2Bytes = 24;

// What the audio-reactive lighting takes from the controller.
class AudioLightInput {
 public:
  virtual ~AudioLightInput() = default;
  // The first buffer after a kind-1 frame.
  virtual void OnSpectrumBuffer(std::span<const std::uint8_t, kAudioBuffer1Bytes> buffer) = 0;
  // The second buffer after a kind-2 frame.
  virtual void OnColorBuffer(std::span<const std::uint8_t, kAudioBuffer2Bytes> buffer) = 0;
};

class CopyDataBuffers {
 public:
  void SetAudioLight(AudioLightInput* input) { audio_light_ = input; }
  // Takes one frame; true when it went into a buffer.
  bool Take(std::int64_t kind, std::string_view payload);
  std::span<const std::uint8_t, kAudioBuffer1Bytes> First() const { return first_; }
  std::span<const std::uint8_t, kAudioBuffer2Bytes> Second() const { return second_; }

 private:
  AudioLightInput* audio_light_ = nullptr;
  std::array<std::uint8_t, kAudioBuffer1Bytes> first_{};
  std::array<std::uint8_t, kAudioBuffer2Bytes> second_{};
};

}  // namespace brimvex::app
