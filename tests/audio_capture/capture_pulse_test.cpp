// brimvex-audio-capture on a private PulseAudio daemon: the default output's monitor, a new
// default sink followed, and a server that goes and comes back.
#include <gtest/gtest.h>

#include "audio_capture/capture_rig.h"
#include "audio_capture/private_pulse.h"

namespace brimvex::test {
namespace {

using app::CaptureCommand;
using capture::BinFrequency;
using capture::SignalBuilder;

constexpr int kRate = 48000;

// Plays a tone on `bin` into the sink, a tenth of a second at a time, until a frame peaks there.
// Playing takes real time, so this waits for the capture program without spinning. (A null sink
// that was idle renders its first block only after 2 s.)
bool PlayUntilSeen(PrivatePulse& pulse, CaptureRig& rig, const std::string& sink, int bin) {
  SignalBuilder tone(kRate);
  tone.Tone(BinFrequency(bin, kRate), 0.5, 0.1);
  auto seen = [&] {
    for (const auto& f : rig.Frames())
      if (!AllZero(f) && PeakBin(f) == bin) return true;
    return false;
  };
  for (int round = 0; round < 300 && !seen(); ++round) {
    std::string error;
    if (!pulse.Play(sink, tone.samples(), kRate, &error)) {
      ADD_FAILURE() << "cannot play into " << sink << ": " << error;
      return false;
    }
  }
  return seen();
}

TEST(CapturePulse, FollowsTheDefaultOutputAndComesBackWithTheServer) {
  PrivatePulse pulse({"first", "second"});
  ASSERT_TRUE(pulse.Start()) << "pulseaudio did not start";
  CaptureRig rig;
  ASSERT_TRUE(rig.listening());
  const pid_t pid = rig.Start({}, {"PULSE_SERVER=" + pulse.Server()});
  ASSERT_TRUE(rig.WaitHello());
  rig.Commands({CaptureCommand::kSendToProgram, CaptureCommand::kOpenSource, CaptureCommand::kStartSending});
  ASSERT_TRUE(rig.WaitAnswer(CaptureCommand::kStartSending, app::kCaptureDone));
  EXPECT_TRUE(PlayUntilSeen(pulse, rig, "first", 40));
  ASSERT_TRUE(pulse.Control({"set-default-sink", "second"}));
  EXPECT_TRUE(PlayUntilSeen(pulse, rig, "second", 80));

  pulse.Stop();
  ASSERT_TRUE(pulse.Start()) << "pulseaudio did not start again";
  EXPECT_TRUE(PlayUntilSeen(pulse, rig, "first", 20));

  rig.Command(CaptureCommand::kExit);
  EXPECT_EQ(rig.WaitExit(pid), 0);
}

}  // namespace
}  // namespace brimvex::test
