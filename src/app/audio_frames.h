#pragma once
// What the controller does with the capture program's copy data: a spectrum frame goes through
// the band computation (lighting/audio_bands.h) and every third one hands the 25 bands to the
// first connected keyboard; a colour frame goes to that keyboard at once. Runs on the UI thread.
#include <cstdint>
#include <functional>
#include <span>

#include "app/copy_data.h"
#include "lighting/audio_bands.h"

namespace brimvex::devices {
class COmbrixUSBDevice;
}

namespace brimvex::app {

inline constexpr int kFramesPerHandover = 3;

struct AudioFrameStats {
  std::uint64_t received = 0;
  std::uint64_t handed = 0;
  // Lowest bin of the last frame's largest value; -1 before the first frame.
  int peak_bin = -1;
  std::int32_t peak_value = 0;
  lighting::AudioBands bands{};
};

// "frames: R handed: H", "peak: BIN VALUE" (or "peak: none") and "bands: B0 ... B24", each ended
// by a line end.
std::string AudioFrameStatusText(const AudioFrameStats& stats);

class AudioFrames final : public AudioLightInput {
 public:
  // `keyboard`: the first connected keyboard, or nullptr.
  explicit AudioFrames(std::function<devices::COmbrixUSBDevice*()> keyboard) : keyboard_(std::move(keyboard)) {}

  void OnSpectrumBuffer(std::span<const std::uint8_t, kAudioBuffer1Bytes> buffer) override;
  void OnColorBuffer(std::span<const std::uint8_t, kAudioBuffer2Bytes> buffer) override;
  // Each frame as it came (the spectrum bars).
  void SetFrameSink(std::function<void(const lighting::SpectrumFrame&)> sink) { sink_ = std::move(sink); }

  const AudioFrameStats& Stats() const { return stats_; }

 private:
  std::function<devices::COmbrixUSBDevice*()> keyboard_;
  std::function<void(const lighting::SpectrumFrame&)> sink_;
  lighting::SpectrumFrame previous_{};
  AudioFrameStats stats_;
  int since_handover_ = 0;
};

}  // namespace brimvex::app
