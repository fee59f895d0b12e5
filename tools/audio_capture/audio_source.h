#pragma once
// Where the samples come from: the sound server's monitor of the default output, or a WAV file.
// Sources run on the program's main loop and hand mono samples to their listener there.
#include <span>

namespace brimvex::capture {

class AudioSourceListener {
 public:
  virtual ~AudioSourceListener() = default;
  virtual void OnSamples(std::span<const float> mono) = 0;
  // The source has nothing more to give (a WAV file without --loop reached its end).
  virtual void OnSourceEnded() = 0;
};

class AudioSource {
 public:
  virtual ~AudioSource() = default;
  // False when the source cannot be used at all (a WAV file that went away).
  virtual bool Open() = 0;
  virtual void Close() = 0;
  // Samples flow only while running; a stopped source costs nothing.
  virtual void SetRunning(bool running) = 0;
};

}  // namespace brimvex::capture
