#include "lighting/audio_bands.h"

#include <algorithm>
#include <limits>

namespace brimvex::lighting {

void ComputeAudioBands(const SpectrumFrame& frame, SpectrumFrame& previous, AudioBands& bands) {
  for (std::size_t j = 0; j < kAudioBandCount; ++j) {
    std::uint64_t sum = 0;
    for (std::size_t i = 5 * j; i < 5 * j + 4; ++i) {
      const std::int64_t d = static_cast<std::int64_t>(frame[i]) - previous[i];
      sum += static_cast<std::uint64_t>(d < 0 ? -d : d);
    }
    // The running value is never negative: it only ever gets sums of magnitudes.
    const std::uint64_t value = (static_cast<std::uint64_t>(std::max(bands[j], 0)) + sum) / 4;
    bands[j] = static_cast<std::int32_t>(std::min<std::uint64_t>(value, std::numeric_limits<std::int32_t>::max()));
  }
  previous = frame;
}

SpectrumFrame DecodeSpectrumFrame(std::span<const char, kSpectrumFrameValues * 4> bytes) {
  SpectrumFrame frame{};
  for (std::size_t k = 0; k < kSpectrumFrameValues; ++k) {
    std::uint32_t u = 0;
    for (std::size_t b = 0; b < 4; ++b)
      u |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[4 * k + b])) << (8 * b);
    frame[k] = static_cast<std::int32_t>(u);
  }
  return frame;
}

}  // namespace brimvex::lighting
