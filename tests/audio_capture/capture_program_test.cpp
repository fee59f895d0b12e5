// brimvex-audio-capture as a process on generated WAVs, read --fast so every hop is a frame.
#include <gtest/gtest.h>
#include <sys/prctl.h>

#include <cmath>

#include "audio_capture/capture_rig.h"

namespace brimvex::test {
namespace {

using app::CaptureCommand;
using capture::BinFrequency;
using capture::SignalBuilder;

constexpr int kRate = 48000;

TEST(CaptureProgram, TonesPeakOnTheirBins) {
  CaptureRig rig;
  ASSERT_TRUE(rig.listening());
  static constexpr int kBins[] = {10, 20, 40, 80, 160};
  constexpr std::size_t kToneSamples = kRate / 4;
  SignalBuilder signal(kRate);
  for (int bin : kBins) signal.Tone(BinFrequency(bin, kRate), 0.5, 0.25);
  const auto frames = rig.FramesOf(rig.Wav("tones.wav", signal));
  ASSERT_EQ(frames.size(), signal.samples().size() / 256);
  // Frame j is the window of samples [256 (j + 1) - 1024, 256 (j + 1)).
  for (std::size_t i = 0; i < std::size(kBins); ++i) {
    const std::size_t first = (i * kToneSamples + 1024 + 255) / 256 - 1;
    const std::size_t last = ((i + 1) * kToneSamples) / 256 - 1;
    for (std::size_t j = first; j <= last; ++j) EXPECT_EQ(PeakBin(frames[j]), kBins[i]) << "frame " << j;
  }
  // A sine of amplitude 0.5 (-6.02 dBFS) centred on its bin.
  EXPECT_NEAR(frames[20][10], 8192 * (80 + 20 * std::log10(0.5)) / 80, 1);
}

TEST(CaptureProgram, SilenceGivesSixteenZeroFramesThenQuiet) {
  CaptureRig rig;
  ASSERT_TRUE(rig.listening());
  SignalBuilder signal(kRate);
  signal.Silence(0.5).Tone(BinFrequency(40, kRate), 0.5, 0.1).Silence(0.5).Tone(BinFrequency(40, kRate), 0.5, 0.1);
  signal.Silence(0.5);
  const auto frames = rig.FramesOf(rig.Wav("gaps.wav", signal));
  // Runs of all-zero frames between the sounds: each silence sends 16, then nothing until sound.
  std::vector<int> zero_runs;
  int run = 0;
  for (const auto& f : frames) {
    if (AllZero(f)) {
      ++run;
    } else if (run > 0) {
      zero_runs.push_back(run);
      run = 0;
    }
  }
  zero_runs.push_back(run);
  EXPECT_EQ(zero_runs, (std::vector<int>{16, 16, 16}));
}

TEST(CaptureProgram, StyleChangesTheFrameAsStated) {
  CaptureRig rig;
  ASSERT_TRUE(rig.listening());
  // -20 dBFS on bin 40 with a -60 dBFS tone on bin 100.
  SignalBuilder signal(kRate);
  signal.Silence(0.05).Tone(BinFrequency(40, kRate), 0.1, 0.2).MixTone(BinFrequency(100, kRate), 0.001, 0.2);
  const std::string wav = rig.Wav("tone.wav", signal);
  const auto plain = rig.FramesOf(wav);
  ASSERT_GT(plain.size(), 30u);
  const std::size_t steady = plain.size() - 1;
  ASSERT_NEAR(plain[steady][40], 6144, 2);
  ASSERT_NEAR(plain[steady][100], 2048, 2);

  // R: 2 dB a step, 80 dB spread over 8192.
  const auto loud = rig.FramesOf(wav, app::CaptureStyle{5, 1, 0});
  ASSERT_EQ(loud.size(), plain.size());
  EXPECT_NEAR(loud[steady][40], 6144 + 1024, 2);
  EXPECT_NEAR(loud[steady][100], 2048 + 1024, 2);

  // G: each value moves 1/G of the way from the last frame's value to the new one.
  const auto smooth = rig.FramesOf(wav, app::CaptureStyle{0, 4, 0});
  ASSERT_EQ(smooth.size(), plain.size());
  double expected = 0;
  for (std::size_t n = 0; n < plain.size(); ++n) {
    expected += (plain[n][40] - expected) / 4;
    EXPECT_NEAR(smooth[n][40], expected, 2) << "frame " << n;
  }

  // B: values below B x 400 go out as 0, the others unchanged.
  const auto floored = rig.FramesOf(wav, app::CaptureStyle{0, 1, 9});
  ASSERT_EQ(floored.size(), plain.size());
  EXPECT_EQ(floored[steady][100], 0);
  for (std::size_t k = 0; k < app::kSpectrumValues; ++k)
    EXPECT_EQ(floored[steady][k], plain[steady][k] < 3600 ? 0 : plain[steady][k]) << "bin " << k;

  // A style that is not 40 bytes is dropped; a G of 0 counts as 1.
  EXPECT_EQ(rig.FramesOf(wav, std::string(39, '\5')), plain);
  EXPECT_EQ(rig.FramesOf(wav, std::string(40, '\0')), plain);
}

TEST(CaptureProgram, CarriesOutTheCommandsInOrder) {
  CaptureRig rig;
  ASSERT_TRUE(rig.listening());
  SignalBuilder signal(kRate);
  signal.Tone(BinFrequency(20, kRate), 0.5, 0.5);
  const pid_t pid = rig.Start({"--wav", rig.Wav("loop.wav", signal), "--loop", "--fast"});
  ASSERT_TRUE(rig.WaitHello());
  // Open and start without "send to Brimvex": the frames have nowhere to go yet.
  rig.Commands({CaptureCommand::kOpenSource, CaptureCommand::kStartSending, CaptureCommand::kSendToProgram});
  ASSERT_TRUE(rig.WaitAnswer(CaptureCommand::kSendToProgram, app::kCaptureDone));
  ASSERT_TRUE(rig.WaitFrame([](const Frame& f) { return PeakBin(f) == 20; }));
  rig.Commands({CaptureCommand::kStopSending, CaptureCommand::kCloseSource, CaptureCommand::kStartSending,
                CaptureCommand::kStopSending, CaptureCommand::kOpenSource, CaptureCommand::kExit});
  EXPECT_EQ(rig.WaitExit(pid), 0);
  // Sent before the exit; maybe not read yet.
  ASSERT_TRUE(rig.WaitAnswer(CaptureCommand::kExit, app::kCaptureDone));

  // Frames only between the answer to "send to Brimvex" and the answer to "stop sending": a
  // closed source gives none while sending, an open one none while not.
  std::vector<std::string> seen;
  for (const auto& e : rig.Events()) {
    const std::string item = e.is_frame ? "frame" : std::to_string(e.command) + "/" + std::to_string(e.result);
    if (item == "frame" && !seen.empty() && seen.back() == "frame") continue;
    seen.push_back(item);
  }
  EXPECT_EQ(seen,
            (std::vector<std::string>{"0/0", "3/1", "1/1", "0/1", "frame", "2/1", "4/1", "1/1", "2/1", "3/1", "5/1"}));
}

TEST(CaptureProgram, ASecondCopyExitsWithThree) {
  CaptureRig rig;
  ASSERT_TRUE(rig.listening());
  const pid_t first = rig.Start({});
  ASSERT_TRUE(rig.WaitHello());
  EXPECT_EQ(rig.WaitExit(rig.Start({})), app::kCaptureExitRunning);
  rig.Command(CaptureCommand::kExit);
  EXPECT_EQ(rig.WaitExit(first), 0);
}

TEST(CaptureProgram, RefusesWhatItCannotRead) {
  CaptureRig rig;
  struct Case {
    std::vector<std::string> args;
    int exit_code;
  };
  const std::string empty = rig.Wav("empty.wav", SignalBuilder(kRate));
  const Case cases[] = {
      {{"--wav", rig.runtime().folder() + "missing.wav"}, app::kCaptureExitBadSource},
      {{"--wav", empty, "--loop"}, app::kCaptureExitBadSource},
      {{"--loop"}, app::kCaptureExitBadSource},
      {{"--unknown"}, app::kCaptureExitBadSource},
  };
  for (const auto& c : cases) EXPECT_EQ(rig.WaitExit(rig.Start(c.args)), c.exit_code) << c.args[0];
}

TEST(CaptureProgram, EndsWithTheProgramThatStartedIt) {
  CaptureRig rig;
  ASSERT_TRUE(rig.listening());
  // The capture program's parent is a go-between; its orphan comes to this process to be reaped.
  ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
  int to_parent[2];
  ASSERT_EQ(pipe(to_parent), 0);
  CaptureRig::Launch launch = rig.Prepare({});
  const pid_t parent = fork();
  if (parent == 0) {
    ::close(to_parent[1]);
    if (launch.Spawn() < 0) _exit(1);
    char byte = 0;
    [[maybe_unused]] const auto n = ::read(to_parent[0], &byte, 1);  // until told to end
    _exit(0);
  }
  ::close(to_parent[0]);
  ASSERT_TRUE(rig.WaitHello());
  ::close(to_parent[1]);
  EXPECT_EQ(rig.WaitExit(parent), 0);
  // The orphaned capture program is ours now; it ends on its own.
  int status = 0;
  const pid_t ended = ::waitpid(-1, &status, 0);
  EXPECT_GT(ended, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  prctl(PR_SET_CHILD_SUBREAPER, 0);
}

}  // namespace
}  // namespace brimvex::test
