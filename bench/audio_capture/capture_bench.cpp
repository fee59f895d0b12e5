// CPU of brimvex-audio-capture per second of audio at 48 kHz: the program itself on a WAV read
// with --fast (every hop analysed and sent), beside reading the same WAV and sending a frame per
// hop without the FFT, and the analysis of one hop alone. "% of a core" is CPU time over audio
// time: what the capture costs while music plays.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <condition_variable>
#include <ctime>
#include <mutex>
#include <string>
#include <vector>

#include "app/app_messages.h"
#include "app/audio_capture_protocol.h"
#include "frame_shaper.h"
#include "platform/ipc_hub.h"
#include "fft_levels.h"
#include "test_support/temp_dir.h"
#include "wav_writer.h"

extern char** environ;

namespace brimvex::capture {
namespace {

constexpr int kRate = 48000;
constexpr double kAudioSeconds = 30.0;

// Music-like sound: beats under a run of tones, never silent, so every hop gives a frame.
std::string MakeWav(const test::TempDir& dir) {
  SignalBuilder signal(kRate);
  static constexpr double kRun[] = {220, 440, 880, 1760, 3520, 1760, 880, 440};
  while (signal.samples().size() < static_cast<std::size_t>(kAudioSeconds * kRate))
    for (double hz : kRun) signal.Beat(0.7, 0.25).MixTone(hz, 0.3, 0.25).MixTone(hz * 3, 0.05, 0.25);
  const std::string path = dir.folder() + "music.wav";
  std::string error;
  WriteWav(path, signal, WavEncoding::kFloat, &error);
  return path;
}

// Listens as "Brimvex" and counts what arrives.
class Receiver {
 public:
  explicit Receiver(const std::string& folder) : hub_(folder) {
    hub_.Listen(std::string(app::kAppIdentifier), [this](const platform::IpcMessage& m) {
      std::lock_guard lock(mutex_);
      if (m.name == app::kCopyDataName) ++frames_;
      if (m.name == app::kAudioRecorderName) answers_.emplace_back(m.wparam, m.lparam);
      cv_.notify_all();
    });
  }
  bool WaitAnswer(std::uint64_t command, std::int64_t result, std::size_t seen_before) {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, std::chrono::seconds(60), [&] {
      std::size_t n = 0;
      for (const auto& a : answers_)
        if (a.first == command && a.second == result) ++n;
      return n > seen_before;
    });
  }
  bool WaitFrames(std::size_t count) {
    std::unique_lock lock(mutex_);
    return cv_.wait_for(lock, std::chrono::seconds(60), [&] { return frames_ >= count; });
  }
  std::size_t Frames() {
    std::lock_guard lock(mutex_);
    return frames_;
  }
  platform::IpcHub& Hub() { return hub_; }

 private:
  platform::IpcHub hub_;
  std::mutex mutex_;
  std::condition_variable cv_;
  std::size_t frames_ = 0;
  std::vector<std::pair<std::uint64_t, std::int64_t>> answers_;
};

void Post(platform::IpcHub& hub, app::CaptureCommand c) {
  hub.Post(std::string(app::kCapturePeerName),
           {std::string(app::kAudioRecorderName), static_cast<std::uint64_t>(c), 0, {}});
}

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }

void BM_CaptureProgramFast(benchmark::State& state) {
  test::TempDir dir;
  const std::string wav = MakeWav(dir);
  Receiver receiver(dir.folder() + "brimvex/");
  std::vector<std::string> env{"XDG_RUNTIME_DIR=" + dir.folder()};
  for (char** e = environ; *e != nullptr; ++e)
    if (!std::string_view(*e).starts_with("XDG_RUNTIME_DIR=")) env.emplace_back(*e);
  std::vector<std::string> args{CAPTURE_PATH, "--wav", wav, "--fast"};
  auto pointers = [](std::vector<std::string>& v) {
    std::vector<char*> p;
    for (auto& s : v) p.push_back(s.data());
    p.push_back(nullptr);
    return p;
  };
  auto argv = pointers(args);
  auto envp = pointers(env);
  double cpu_total = 0;
  std::size_t runs = 0;
  for (auto _ : state) {
    pid_t pid = -1;
    if (posix_spawn(&pid, CAPTURE_PATH, nullptr, nullptr, argv.data(), envp.data()) != 0) {
      state.SkipWithError("cannot start the capture program");
      return;
    }
    receiver.WaitAnswer(0, app::kCaptureHello, runs);
    Post(receiver.Hub(), app::CaptureCommand::kSendToProgram);
    Post(receiver.Hub(), app::CaptureCommand::kOpenSource);
    Post(receiver.Hub(), app::CaptureCommand::kStartSending);
    receiver.WaitAnswer(static_cast<std::uint64_t>(app::CaptureCommand::kCloseSource), app::kCaptureDone, runs);
    Post(receiver.Hub(), app::CaptureCommand::kExit);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const double cpu = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    state.SetIterationTime(cpu);
    cpu_total += cpu;
    ++runs;
  }
  state.counters["core_%_while_playing"] = 100.0 * cpu_total / (kAudioSeconds * static_cast<double>(runs));
  state.counters["frames"] = static_cast<double>(receiver.Frames()) / static_cast<double>(runs);
}
BENCHMARK(BM_CaptureProgramFast)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

double ThreadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// The same reading and sending, with a constant frame in place of the spectrum.
void BM_ReadAndSendWithoutFft(benchmark::State& state) {
  test::TempDir dir;
  const std::string wav = MakeWav(dir);
  Receiver receiver(dir.folder() + "brimvex/");
  platform::IpcHub sender(dir.folder() + "brimvex/");
  const platform::IpcMessage frame{std::string(app::kCopyDataName), 1, app::kCopyDataSpectrum,
                                   std::string(app::kSpectrumBytes, '\1')};
  std::vector<float> block(SpectrumAnalyzer::kHop);
  double cpu_total = 0;
  std::size_t sent = 0;
  for (auto _ : state) {
    const double start = ThreadCpuSeconds();
    SF_INFO info{};
    SNDFILE* file = sf_open(wav.c_str(), SFM_READ, &info);
    while (sf_readf_float(file, block.data(), static_cast<sf_count_t>(block.size())) ==
           static_cast<sf_count_t>(block.size())) {
      benchmark::DoNotOptimize(block.data());
      sender.Post(std::string(app::kAppIdentifier), frame);
      ++sent;
    }
    sf_close(file);
    const double cpu = ThreadCpuSeconds() - start;  // the sender only, as for the program
    receiver.WaitFrames(sent);
    state.SetIterationTime(cpu);
    cpu_total += cpu;
  }
  state.counters["core_%_while_playing"] =
      100.0 * cpu_total / (kAudioSeconds * static_cast<double>(state.iterations()));
}
BENCHMARK(BM_ReadAndSendWithoutFft)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

// One hop: window, FFT, dBFS mapping and style, in this thread only.
void BM_AnalyseOneHop(benchmark::State& state) {
  SpectrumAnalyzer analyzer;
  FrameShaper shaper;
  shaper.SetStyle({3, 4, 2});
  SignalBuilder signal(kRate);
  signal.Beat(0.7, 0.1).MixTone(880, 0.3, 0.1);
  std::size_t at = 0;
  const auto& samples = signal.samples();
  for (auto _ : state) {
    if (at + SpectrumAnalyzer::kHop > samples.size()) at = 0;
    analyzer.Feed(std::span<const float>(samples.data() + at, SpectrumAnalyzer::kHop),
                  [&](std::span<const float> levels) { benchmark::DoNotOptimize(shaper.Shape(levels).data()); });
    at += SpectrumAnalyzer::kHop;
  }
  // 187.5 hops a second at 48 kHz.
  state.counters["hops_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AnalyseOneHop);

}  // namespace
}  // namespace brimvex::capture
