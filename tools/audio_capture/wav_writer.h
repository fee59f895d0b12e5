#pragma once
// Test signals for the capture program, its tests, its bench and the demo WAV: silence, sines and
// drum-like beats, put one after another (or mixed in) and written as a mono WAV with libsndfile.
#include <string>
#include <vector>

namespace brimvex::capture {

// The centre frequency of spectrum bin k at the given rate (1024-point analysis).
double BinFrequency(int bin, int rate);

class SignalBuilder {
 public:
  explicit SignalBuilder(int rate) : rate_(rate) {}

  SignalBuilder& Silence(double seconds);
  // A sine of the given peak amplitude (1.0 is full scale), starting at phase 0.
  SignalBuilder& Tone(double hz, double amplitude, double seconds);
  // A falling low sine that dies away, like a kick drum, for `seconds`.
  SignalBuilder& Beat(double amplitude, double seconds);
  // Adds a sine to the last `seconds` already written (for chords over beats).
  SignalBuilder& MixTone(double hz, double amplitude, double seconds);

  int rate() const { return rate_; }
  const std::vector<float>& samples() const { return samples_; }

 private:
  std::size_t Count(double seconds) const;

  int rate_;
  std::vector<float> samples_;
};

enum class WavEncoding { kFloat, kPcm16 };
// False with the reason when the file cannot be written.
bool WriteWav(const std::string& path, const SignalBuilder& signal, WavEncoding encoding, std::string* error);

}  // namespace brimvex::capture
