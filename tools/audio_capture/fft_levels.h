#pragma once
// The spectrum of the last 1024 samples, taken every 256 samples through a Hann window and a real
// FFT. Each bin's level is its magnitude relative to a full-scale sine centred on that bin (1.0 is
// 0 dBFS); bin k lies at k x rate / 1024 Hz.
#include <kiss_fftr.h>

#include <array>
#include <cstddef>
#include <span>
#include <vector>

namespace brimvex::capture {

class SpectrumAnalyzer {
 public:
  static constexpr std::size_t kWindow = 1024;
  static constexpr std::size_t kHop = 256;
  static constexpr std::size_t kBins = 500;

  SpectrumAnalyzer();
  ~SpectrumAnalyzer();
  SpectrumAnalyzer(const SpectrumAnalyzer&) = delete;
  SpectrumAnalyzer& operator=(const SpectrumAnalyzer&) = delete;

  // Takes mono samples; after every 256th sample the levels of bins 0..499 are ready and
  // `on_hop` is called with them. The history starts as silence.
  template <typename OnHop>
  void Feed(std::span<const float> samples, OnHop&& on_hop) {
    while (!samples.empty()) {
      const std::size_t take = Take(samples);
      samples = samples.subspan(take);
      if (pending_ == kHop) on_hop(std::span<const float>(Analyse()));
    }
  }
  // Back to a silent history.
  void Reset();

 private:
  // Copies up to the rest of a hop into the history; how many samples it took.
  std::size_t Take(std::span<const float> samples);
  const std::array<float, kBins>& Analyse();

  kiss_fftr_cfg fft_ = nullptr;
  std::array<float, kWindow> hann_{};
  std::array<float, kWindow> history_{};  // oldest first
  std::array<float, kWindow> windowed_{};
  std::vector<kiss_fft_cpx> spectrum_;
  std::array<float, kBins> levels_{};
  std::size_t pending_ = 0;  // new samples since the last hop, at the end of the history
};

}  // namespace brimvex::capture
