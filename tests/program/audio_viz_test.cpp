// The real program under Xvfb on the emulated set with --audio-wav: the capture program it
// starts plays the WAV through the capture path, the peak follows the tone, hand-overs to the
// keyboard grow, a killed capture program comes back with a new pid, and the program's end
// takes the capture program with it.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/syscall.h>

#include <chrono>
#include <regex>
#include <thread>

#include "test_support/child_process.h"
#include "test_support/run_brimvexctl.h"
#include "test_support/temp_dir.h"
#include "wav_writer.h"

namespace brimvex::test {
namespace {

struct Viz {
  bool running = false;
  int pid = 0;
  int restarts = 0;
  long frames = 0;
  long handed = 0;
  int peak = -1;
};

// The status lines as numbers; running false when they do not parse.
Viz Parse(const std::string& text) {
  static const std::regex form(
      "capture: running pid (\\d+) restarts (\\d+)\nframes: (\\d+) handed: (\\d+)\npeak: (\\d+) \\d+\nbands:( \\d+){25}\n");
  std::smatch m;
  Viz v;
  if (!std::regex_match(text, m, form)) return v;
  v.running = true;
  v.pid = std::stoi(m[1]);
  v.restarts = std::stoi(m[2]);
  v.frames = std::stol(m[3]);
  v.handed = std::stol(m[4]);
  v.peak = std::stoi(m[5]);
  return v;
}

class AudioProgram {
 public:
  ~AudioProgram() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      WaitChild(pid_);
    }
    if (xvfb_ > 0) {
      ::kill(xvfb_, SIGTERM);
      WaitChild(xvfb_);
    }
  }
  bool StartDisplay() {
    int fds[2];
    if (::pipe(fds) != 0) return false;
    xvfb_ = SpawnChild({"/usr/bin/Xvfb", "-displayfd", std::to_string(fds[1]), "-nolisten", "tcp"}, {});
    ::close(fds[1]);
    char number[16] = {};
    const ssize_t n = xvfb_ > 0 ? ::read(fds[0], number, sizeof number - 1) : 0;
    ::close(fds[0]);
    if (n <= 0) return false;
    display_ = ":" + std::to_string(std::atoi(number));
    return true;
  }
  bool Start(const std::string& wav) {
    pid_ = SpawnChild({BRIMVEX_PATH, "--emulate", "--audio-wav", wav},
                      {"DISPLAY=" + display_, "QT_QPA_PLATFORM=xcb", "XDG_RUNTIME_DIR=" + runtime_.folder(),
                       "XDG_DATA_HOME=" + home_.folder() + "data", "XDG_CONFIG_HOME=" + home_.folder() + "config"});
    return pid_ > 0;
  }
  // Asks until the status satisfies `want` (the program plays in real time; the limit only
  // turns a hang into a failure).
  template <typename Want>
  Viz Until(Want want) {
    Viz v;
    for (int i = 0; i < 600; ++i) {
      const CtlRun run = RunBrimvexctl(runtime_, {"audio-viz", "status"});
      v = Parse(run.out);
      if (run.exit_code == 0 && want(v)) return v;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ADD_FAILURE() << "the status never came";
    return v;
  }
  // SIGTERM: the program's own orderly exit; its exit code.
  int Terminate() {
    ::kill(pid_, SIGTERM);
    const int code = WaitChild(pid_);
    pid_ = -1;
    return code;
  }
  const TempDir& Runtime() const { return runtime_; }

 private:
  TempDir home_;
  TempDir runtime_;
  pid_t xvfb_ = -1;
  pid_t pid_ = -1;
  std::string display_;
};

TEST(AudioVizProgram, ThePeakFollowsTheToneAndAKilledCaptureProgramComesBack) {
  AudioProgram program;
  ASSERT_TRUE(program.StartDisplay());
  TempDir dir;
  const std::string wav = dir.folder() + "tones.wav";
  capture::SignalBuilder signal(48000);
  signal.Tone(capture::BinFrequency(40, 48000), 0.5, 1.0).Tone(capture::BinFrequency(100, 48000), 0.5, 1.0);
  std::string error;
  ASSERT_TRUE(capture::WriteWav(wav, signal, capture::WavEncoding::kFloat, &error)) << error;
  ASSERT_TRUE(program.Start(wav));

  // The keyboard may come up after the first frames: wait for a hand-over as well (the WAV loops).
  const Viz first = program.Until([](const Viz& v) { return v.running && v.peak == 40 && v.handed > 0; });
  const Viz second = program.Until([&](const Viz& v) { return v.running && v.peak == 100 && v.handed > first.handed; });
  EXPECT_EQ(second.pid, first.pid);
  EXPECT_EQ(first.restarts, 0);
  EXPECT_GT(second.frames, first.frames);

  ASSERT_EQ(::kill(first.pid, SIGKILL), 0);
  const Viz again = program.Until([&](const Viz& v) { return v.running && v.pid != first.pid; });
  EXPECT_EQ(again.restarts, 1);
  const Viz playing = program.Until([&](const Viz& v) { return v.handed > again.handed && v.peak == 40; });
  EXPECT_EQ(playing.pid, again.pid);

  // The program's end leaves no capture program: its pidfd turns readable.
  const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, playing.pid, 0));
  ASSERT_GE(pidfd, 0);
  EXPECT_EQ(program.Terminate(), 0);
  pollfd p{pidfd, POLLIN, 0};
  EXPECT_EQ(::poll(&p, 1, 0), 1);
  ::close(pidfd);
}

}  // namespace
}  // namespace brimvex::test
