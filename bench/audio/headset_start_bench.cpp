// The headset's audio start on the emulated chip library: loading and looking up, endpoints,
// feature numbers, the fill and the driver state; and one level write with its read-back.
#include <benchmark/benchmark.h>

#include "audio/audio_library_path.h"
#include "audio/headset_audio.h"
#include "emulator/emulated_audio_chip.h"

namespace brimvex::audio {
namespace {

std::string File() { return AudioLibraryFile("", true, std::string(BRIMVEX_BENCH_AUDIO_SDK)); }

void BM_HeadsetStart(benchmark::State& state) {
  std::string error;
  // Held open so each start finds the library loaded, as the program's later starts do.
  auto held = platform::SystemAudioChipLoader().Load(File(), error);
  emulator::EmulatedAudioChip chip(held);
  for (auto _ : state) {
    chip.Reset();
    HeadsetAudio audio(platform::SystemAudioChipLoader());
    const auto report = audio.Start(File());
    profiles::VoiceState voice;
    Bands bands{};
    audio.ReadDriverState(voice, bands);
    benchmark::DoNotOptimize(report.available);
  }
}
BENCHMARK(BM_HeadsetStart);

void BM_HeadsetStartMissingLibrary(benchmark::State& state) {
  for (auto _ : state) {
    HeadsetAudio audio(platform::SystemAudioChipLoader());
    benchmark::DoNotOptimize(audio.Start("/nonexistent/osConfLib.so").available);
  }
}
BENCHMARK(BM_HeadsetStartMissingLibrary);

void BM_MicLevelWrite(benchmark::State& state) {
  HeadsetAudio audio(platform::SystemAudioChipLoader());
  audio.Start(File());
  int level = 0;
  for (auto _ : state) benchmark::DoNotOptimize(audio.WriteMicLevel(level++ % 101));
}
BENCHMARK(BM_MicLevelWrite);

}  // namespace
}  // namespace brimvex::audio
