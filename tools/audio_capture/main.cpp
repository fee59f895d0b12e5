// brimvex-audio-capture: measures the spectrum of what the computer plays (or of a WAV file) and
// sends it to Brimvex, which lights the keyboard after it. Brimvex starts and stops it.
//   brimvex-audio-capture [--wav FILE [--loop] [--fast]] [--parent PID]
// Exit codes: 0 told to exit (or SIGTERM), 1 the hub is not usable, 2 bad arguments or a WAV file
// that cannot be read, 3 another copy runs.
#include <sys/prctl.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <csignal>
#include <cstdio>
#include <exception>

#include "app/audio_capture_protocol.h"
#include "capture_program.h"
#include "platform/single_instance.h"

int main(int argc, char** argv) {
  using namespace brimvex;
  CLI::App cli{"brimvex-audio-capture: the spectrum of the sound output, for Brimvex"};
  capture::CaptureOptions options;
  pid_t parent = 0;
  auto* wav = cli.add_option("--wav", options.wav, "read this WAV file instead of the default output's monitor");
  cli.add_flag("--loop", options.loop, "start the WAV file over at its end")->needs(wav);
  cli.add_flag("--fast", options.fast, "read the WAV file as fast as possible (benchmarks)")->needs(wav);
  cli.add_option("--parent", parent, "end at once when this process is no longer the parent");
  try {
    cli.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return cli.exit(e) == 0 ? 0 : app::kCaptureExitBadSource;
  }
  // Never outlive the program that started it (the signal comes when the spawning thread ends).
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (parent != 0 && ::getppid() != parent) return app::kCaptureExitOk;
  std::signal(SIGPIPE, SIG_IGN);

  platform::SingleInstanceLock::Status status{};
  std::string error;
  const auto lock = platform::SingleInstanceLock::Acquire(std::string(app::kCaptureLockName),
                                                          platform::IpcHub::DefaultDirectory(), &status, &error);
  if (lock == nullptr) {
    if (status == platform::SingleInstanceLock::Status::kHeldElsewhere) {
      std::fprintf(stderr, "brimvex-audio-capture: another copy is running\n");
      return app::kCaptureExitRunning;
    }
    std::fprintf(stderr, "brimvex-audio-capture: %s\n", error.c_str());
    return app::kCaptureExitNoHub;
  }
  if (!options.wav.empty() && !capture::WavSource::Check(options.wav, &error)) {
    std::fprintf(stderr, "brimvex-audio-capture: %s\n", error.c_str());
    return app::kCaptureExitBadSource;
  }
  try {
    capture::CaptureProgram program(options);
    return program.Run();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "brimvex-audio-capture: %s\n", e.what());
    return app::kCaptureExitNoHub;
  }
}
