#pragma once
// The 25 band values the keyboard's audio effects read, from the capture program's spectrum frames.
// Per frame: the change of each of the 500 values against the previous frame; each band j adds the
// changes of values 5j to 5j+3 to its running value and takes a quarter of the result (values from
// 125 on, and the fifth of each group, are not used). Differences and sums are 64-bit, so
// -2^31 against 2^31 - 1 cannot overflow; a band above 2^31 - 1 stays at 2^31 - 1.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace brimvex::lighting {

inline constexpr std::size_t kSpectrumFrameValues = 500;
inline constexpr std::size_t kAudioBandCount = 25;

using SpectrumFrame = std::array<std::int32_t, kSpectrumFrameValues>;
using AudioBands = std::array<std::int32_t, kAudioBandCount>;

// One frame: updates the bands from (frame, previous), then previous = frame.
void ComputeAudioBands(const SpectrumFrame& frame, SpectrumFrame& previous, AudioBands& bands);

// A kind-1 payload (500 little-endian int32) as a frame.
SpectrumFrame DecodeSpectrumFrame(std::span<const char, kSpectrumFrameValues * 4> bytes);

}  // namespace brimvex::lighting
