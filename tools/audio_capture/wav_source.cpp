#include "wav_source.h"

#include <algorithm>

#include "fft_levels.h"

namespace brimvex::capture {
namespace {

// --fast reads this many samples per turn of the loop, so commands still get through.
constexpr std::size_t kFastChunk = 16 * SpectrumAnalyzer::kHop;
// A paced source that fell more than a second behind takes up the pace from where it is.
constexpr std::uint64_t kMaxLagUsec = 1000000;

}  // namespace

WavSource::WavSource(pa_mainloop_api* api, WavOptions options, AudioSourceListener& listener)
    : api_(api), options_(std::move(options)), listener_(listener), timer_(api, [this] { OnHopDue(); }) {}

WavSource::~WavSource() { Close(); }

bool WavSource::Check(const std::string& path, std::string* error) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) {
    *error = "cannot read " + path + ": " + sf_strerror(nullptr);
    return false;
  }
  sf_close(file);
  if (info.frames <= 0 || info.channels <= 0 || info.samplerate <= 0) {
    *error = path + " holds no samples";
    return false;
  }
  return true;
}

bool WavSource::Open() {
  if (file_ != nullptr) return true;
  info_ = SF_INFO{};
  file_ = sf_open(options_.path.c_str(), SFM_READ, &info_);
  if (file_ == nullptr || info_.frames <= 0 || info_.channels <= 0 || info_.samplerate <= 0) {
    Close();
    return false;
  }
  interleaved_.assign(kFastChunk * static_cast<std::size_t>(info_.channels), 0.0f);
  mono_.assign(kFastChunk, 0.0f);
  return true;
}

void WavSource::Close() {
  StopReading();
  if (file_ != nullptr) sf_close(file_);
  file_ = nullptr;
}

void WavSource::SetRunning(bool running) {
  StopReading();
  if (!running || file_ == nullptr) return;
  started_usec_ = MonotonicNowUsec();
  samples_done_ = 0;
  ArmNextHop();
}

void WavSource::StopReading() { timer_.Disarm(); }

void WavSource::ArmNextHop() {
  if (options_.fast) {
    timer_.Arm(MonotonicNowUsec());
    return;
  }
  // A hop is due once its last sample has played.
  const auto rate = static_cast<std::uint64_t>(info_.samplerate);
  timer_.Arm(started_usec_ + (samples_done_ + SpectrumAnalyzer::kHop) * 1000000u / rate);
}

void WavSource::OnHopDue() {
  if (file_ == nullptr) return;
  if (options_.fast) {
    if (Pump(kFastChunk)) ArmNextHop();
    return;
  }
  const auto rate = static_cast<std::uint64_t>(info_.samplerate);
  const std::uint64_t now = MonotonicNowUsec();
  if (now > started_usec_ + samples_done_ * 1000000u / rate + kMaxLagUsec)
    started_usec_ = now - samples_done_ * 1000000u / rate;
  const std::uint64_t due = (now - started_usec_) * rate / 1000000u;
  if (due > samples_done_ && !Pump(static_cast<std::size_t>(due - samples_done_))) return;
  ArmNextHop();
}

bool WavSource::Pump(std::size_t frames) {
  const auto channels = static_cast<std::size_t>(info_.channels);
  while (frames > 0) {
    const auto want = static_cast<sf_count_t>(std::min(frames, kFastChunk));
    sf_count_t got = sf_readf_float(file_, interleaved_.data(), want);
    if (got <= 0 && options_.loop && sf_seek(file_, 0, SEEK_SET) == 0)
      got = sf_readf_float(file_, interleaved_.data(), want);
    if (got <= 0) {
      // Also a file that gives nothing right after a rewind: it would spin otherwise.
      Close();
      listener_.OnSourceEnded();
      return false;
    }
    const auto n = static_cast<std::size_t>(got);
    for (std::size_t i = 0; i < n; ++i) {
      float sum = 0.0f;
      for (std::size_t c = 0; c < channels; ++c) sum += interleaved_[i * channels + c];
      mono_[i] = sum / static_cast<float>(channels);
    }
    listener_.OnSamples(std::span<const float>(mono_.data(), n));
    frames -= n;
    samples_done_ += n;
  }
  return true;
}

}  // namespace brimvex::capture
