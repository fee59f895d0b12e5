#pragma once
// A WAV file (anything libsndfile reads) as the source: mixed down to mono and paced in real time,
// one hop of 256 samples at a time, or read as fast as the loop goes (--fast). With --loop it
// starts over at its end; otherwise the end closes the source.
#include <pulse/mainloop-api.h>
#include <sndfile.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio_source.h"
#include "monotonic_timer.h"

namespace brimvex::capture {

struct WavOptions {
  std::string path;
  bool loop = false;
  bool fast = false;
};

class WavSource final : public AudioSource {
 public:
  // The listener must not destroy the source from its callbacks.
  WavSource(pa_mainloop_api* api, WavOptions options, AudioSourceListener& listener);
  ~WavSource() override;
  WavSource(const WavSource&) = delete;
  WavSource& operator=(const WavSource&) = delete;

  // Whether the file opens and holds samples; the reason when not.
  static bool Check(const std::string& path, std::string* error);

  bool Open() override;
  void Close() override;
  void SetRunning(bool running) override;

 private:
  // Reads, mixes down and hands on up to `frames` samples; false once a file that does not loop
  // has ended (the source is closed then).
  bool Pump(std::size_t frames);
  void ArmNextHop();
  void OnHopDue();
  void StopReading();

  pa_mainloop_api* api_;
  WavOptions options_;
  AudioSourceListener& listener_;
  SNDFILE* file_ = nullptr;
  SF_INFO info_{};
  std::vector<float> interleaved_;
  std::vector<float> mono_;
  // Paced: due when the next hop has played. --fast: due at once after each chunk, so the loop
  // still polls (the loop's deferred events would starve its commands and signals).
  MonotonicTimer timer_;
  std::uint64_t started_usec_ = 0;  // when pacing began
  std::uint64_t samples_done_ = 0;  // samples handed on since then
};

}  // namespace brimvex::capture
