#include "app/audio_frames.h"

#include <algorithm>
#include <array>
#include <string>

#include "devices/usb_device.h"

namespace brimvex::app {

std::string AudioFrameStatusText(const AudioFrameStats& s) {
  std::string text = "frames: " + std::to_string(s.received) + " handed: " + std::to_string(s.handed) + "\n";
  text += s.peak_bin < 0 ? std::string("peak: none\n")
                         : "peak: " + std::to_string(s.peak_bin) + " " + std::to_string(s.peak_value) + "\n";
  text += "bands:";
  for (std::int32_t b : s.bands) text += " " + std::to_string(b);
  return text + "\n";
}

void AudioFrames::OnSpectrumBuffer(std::span<const std::uint8_t, kAudioBuffer1Bytes> buffer) {
  const auto bytes = std::span<const char, kAudioBuffer1Bytes>(reinterpret_cast<const char*>(buffer.data()), buffer.size());
  const lighting::SpectrumFrame frame = lighting::DecodeSpectrumFrame(bytes);
  ++stats_.received;
  lighting::ComputeAudioBands(frame, previous_, stats_.bands);
  const auto peak = std::max_element(frame.begin(), frame.end());
  stats_.peak_bin = static_cast<int>(peak - frame.begin());
  stats_.peak_value = *peak;
  if (sink_) sink_(frame);
  if (++since_handover_ < kFramesPerHandover) return;
  devices::COmbrixUSBDevice* keyboard = keyboard_ ? keyboard_() : nullptr;
  if (keyboard == nullptr) return;
  since_handover_ = 0;
  std::array<int, lighting::kSpectrumFrameValues> values{};
  std::copy(stats_.bands.begin(), stats_.bands.end(), values.begin());
  keyboard->AudioLevels(values);
  ++stats_.handed;
}

void AudioFrames::OnColorBuffer(std::span<const std::uint8_t, kAudioBuffer2Bytes> buffer) {
  devices::COmbrixUSBDevice* keyboard = keyboard_ ? keyboard_() : nullptr;
  if (keyboard == nullptr) return;
  std::array<int, kAudioBuffer2Bytes / 4> values{};
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::uint32_t u = 0;
    for (std::size_t b = 0; b < 4; ++b) u |= static_cast<std::uint32_t>(buffer[4 * i + b]) << (8 * b);
    values[i] = static_cast<int>(u);
  }
  keyboard->AudioColor(values);
}

}  // namespace brimvex::app
