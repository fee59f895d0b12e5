#include "fft_levels.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <numbers>

namespace brimvex::capture {
namespace {

// A Hann window sums to N/2, so a sine of amplitude 1 centred on bin k gives |X[k]| = N/4.
constexpr float kFullScaleMagnitude = static_cast<float>(SpectrumAnalyzer::kWindow) / 4.0f;

}  // namespace

SpectrumAnalyzer::SpectrumAnalyzer()
    : fft_(kiss_fftr_alloc(static_cast<int>(kWindow), 0, nullptr, nullptr)), spectrum_(kWindow / 2 + 1) {
  if (fft_ == nullptr) throw std::bad_alloc();
  for (std::size_t n = 0; n < kWindow; ++n) {
    const double phase = 2.0 * std::numbers::pi * static_cast<double>(n) / static_cast<double>(kWindow);
    hann_[n] = static_cast<float>(0.5 - 0.5 * std::cos(phase));
  }
}

SpectrumAnalyzer::~SpectrumAnalyzer() { kiss_fftr_free(fft_); }

void SpectrumAnalyzer::Reset() {
  history_.fill(0.0f);
  pending_ = 0;
}

std::size_t SpectrumAnalyzer::Take(std::span<const float> samples) {
  if (pending_ == kHop) {
    // The last hop was analysed: make room for the next one.
    std::copy(history_.begin() + kHop, history_.end(), history_.begin());
    pending_ = 0;
  }
  const std::size_t take = std::min(samples.size(), kHop - pending_);
  std::copy_n(samples.begin(), take, history_.end() - static_cast<std::ptrdiff_t>(kHop - pending_));
  pending_ += take;
  return take;
}

const std::array<float, SpectrumAnalyzer::kBins>& SpectrumAnalyzer::Analyse() {
  for (std::size_t n = 0; n < kWindow; ++n) windowed_[n] = history_[n] * hann_[n];
  kiss_fftr(fft_, windowed_.data(), spectrum_.data());
  for (std::size_t k = 0; k < kBins; ++k) levels_[k] = std::hypot(spectrum_[k].r, spectrum_[k].i) / kFullScaleMagnitude;
  return levels_;
}

}  // namespace brimvex::capture
