// make_demo_wav FILE: the 16 s loop of beats and tones that `brimvex --emulate` plays to its
// capture program: a kick on every half second under a rising and falling run of tones, then a
// second of silence so the lights also show the sound stopping.
#include <cstdio>
#include <string>

#include "wav_writer.h"

int main(int argc, char** argv) {
  using brimvex::capture::SignalBuilder;
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_demo_wav FILE\n");
    return 2;
  }
  constexpr int kRate = 48000;
  constexpr double kBeat = 0.5;
  static constexpr double kRun[] = {220,  330,  440,  660,  880, 1320, 1760, 2640,
                                    3520, 2640, 1760, 1320, 880, 660,  440,  330};
  SignalBuilder signal(kRate);
  for (int bar = 0; bar < 2; ++bar) {
    for (double hz : kRun) {
      signal.Beat(0.8, kBeat).MixTone(hz, 0.3, kBeat);
      if (bar == 1) signal.MixTone(hz * 1.5, 0.15, kBeat);
    }
  }
  signal.Silence(1.0);
  std::string error;
  if (!brimvex::capture::WriteWav(argv[1], signal, brimvex::capture::WavEncoding::kPcm16, &error)) {
    std::fprintf(stderr, "make_demo_wav: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
