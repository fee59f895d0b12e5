#include "wav_writer.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace brimvex::capture {

double BinFrequency(int bin, int rate) { return static_cast<double>(bin) * rate / 1024.0; }

std::size_t SignalBuilder::Count(double seconds) const {
  return static_cast<std::size_t>(std::llround(std::max(seconds, 0.0) * rate_));
}

SignalBuilder& SignalBuilder::Silence(double seconds) {
  samples_.insert(samples_.end(), Count(seconds), 0.0f);
  return *this;
}

SignalBuilder& SignalBuilder::Tone(double hz, double amplitude, double seconds) {
  const std::size_t n = Count(seconds);
  for (std::size_t i = 0; i < n; ++i)
    samples_.push_back(
        static_cast<float>(amplitude * std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(i) / rate_)));
  return *this;
}

SignalBuilder& SignalBuilder::Beat(double amplitude, double seconds) {
  const std::size_t n = Count(seconds);
  double phase = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / rate_;
    const double hz = 50.0 + 100.0 * std::exp(-t * 30.0);  // 150 Hz falling to 50 Hz
    phase += 2.0 * std::numbers::pi * hz / rate_;
    samples_.push_back(static_cast<float>(amplitude * std::exp(-t * 12.0) * std::sin(phase)));
  }
  return *this;
}

SignalBuilder& SignalBuilder::MixTone(double hz, double amplitude, double seconds) {
  const std::size_t n = std::min(Count(seconds), samples_.size());
  const std::size_t start = samples_.size() - n;
  for (std::size_t i = 0; i < n; ++i) {
    const double s = static_cast<double>(samples_[start + i]) +
                     amplitude * std::sin(2.0 * std::numbers::pi * hz * static_cast<double>(i) / rate_);
    samples_[start + i] = static_cast<float>(std::clamp(s, -1.0, 1.0));
  }
  return *this;
}

bool WriteWav(const std::string& path, const SignalBuilder& signal, WavEncoding encoding, std::string* error) {
  SF_INFO info{};
  info.samplerate = signal.rate();
  info.channels = 1;
  info.format = SF_FORMAT_WAV | (encoding == WavEncoding::kFloat ? SF_FORMAT_FLOAT : SF_FORMAT_PCM_16);
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (file == nullptr) {
    *error = "cannot write " + path + ": " + sf_strerror(nullptr);
    return false;
  }
  const auto& samples = signal.samples();
  const auto written = sf_writef_float(file, samples.data(), static_cast<sf_count_t>(samples.size()));
  const int closed = sf_close(file);
  if (written != static_cast<sf_count_t>(samples.size()) || closed != 0) {
    *error = "cannot write all of " + path;
    return false;
  }
  return true;
}

}  // namespace brimvex::capture
