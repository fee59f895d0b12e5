// Audio-reactive lighting in the running controller: spectrum frames go through the bands and
// every third reaches the first connected keyboard, the status answers what happened, the layout
// timer and the capture program's hello connect, and a capture program that cannot start shows
// one message box per failing streak.
#include <gtest/gtest.h>

#include "app/audio_capture_protocol.h"
#include "controller/watchdog_time.h"
#include "discovery/controller_fixture.h"
#include "platform/process.h"

namespace brimvex::app::test {
namespace {

struct Step {
  int frames;  // in all so far
  int handed;
};

class AudioLightingTest : public ControllerFixture {
 protected:
  void StartWithCapture(std::vector<std::string> argv, WatchdogTime* time) {
    wnd_ = std::make_unique<CMainWnd>(frontend_, resources_, factory_, messages_, &peers_, &backend_);
    wnd_->AttachShell(shell_);
    wnd_->SetAudioCapture(std::move(argv), time);
    std::string error;
    ASSERT_TRUE(wnd_->Create(&error)) << error;
    ASSERT_TRUE(WaitFor([&] { return host().IsVisible(); }));
  }
  void Deliver(const PeerMessage& m) {
    wnd_->HandlePeerMessage(m);
    loop().RunPending();
  }
  // A spectrum frame with these (bin, value) pairs, the rest 0.
  void Frame(std::initializer_list<std::pair<std::size_t, std::int32_t>> values) {
    std::string payload(kSpectrumBytes, '\0');
    for (const auto& [bin, value] : values) PutInt32(payload, bin, value);
    Deliver({std::string(kCopyDataName), 77, kCopyDataSpectrum, payload});
  }
  ControlAnswer Status() { return wnd_->Requests().Run(ControlRequest{1, "brimvexctl-1", {"audio-viz", "status"}}); }
  std::vector<PeerMessage> ToCapture() { return peers_.PostedTo(std::string(kCapturePeerName)); }
  void SendSteps(const std::vector<Step>& steps);

  platform::SystemShell shell_;
};

std::string Bands(const std::string& first) {
  std::string text = "bands: " + first;
  for (int i = 1; i < 25; ++i) text += " 0";
  return text + "\n";
}

void AudioLightingTest::SendSteps(const std::vector<Step>& steps) {
  int sent = 0;
  for (const Step& step : steps) {
    for (; sent < step.frames; ++sent) Frame({{0, 4000 * (sent % 2)}});
    const AudioFrameStats& s = wnd_->Audio()->Frames().Stats();
    EXPECT_EQ(s.received, static_cast<std::uint64_t>(step.frames));
    EXPECT_EQ(s.handed, static_cast<std::uint64_t>(step.handed)) << step.frames;
  }
}

TEST_F(AudioLightingTest, WithoutAKeyboardFramesAreProcessedAndNoneHanded) {
  Start();  // the default keyboard page, no keyboard connected
  SendSteps({{3, 0}, {7, 0}});
}

TEST_F(AudioLightingTest, EveryThirdFrameGoesToTheConnectedKeyboard) {
  StartConnected({Product::kKeyboard});
  SendSteps({{2, 0}, {3, 1}, {5, 1}, {6, 2}, {7, 2}});
}

TEST_F(AudioLightingTest, TheStatusNamesTheCaptureProgramFramesPeakAndBands) {
  Start();
  ControlAnswer a = Status();
  EXPECT_EQ(a.exit_code, kExitDone);
  EXPECT_EQ(a.text, "capture: stopped (not started)\nframes: 0 handed: 0\npeak: none\n" + Bands("0"));
  // Bin 0 changes by 4000 (band 0: 4000 / 4); the peak is the lowest bin of the largest value.
  Frame({{0, 4000}, {160, 8192}, {200, 8192}});
  a = Status();
  EXPECT_EQ(a.text, "capture: stopped (not started)\nframes: 1 handed: 0\npeak: 160 8192\n" +
                        Bands("1000"));
  // The identical frame quarters it.
  Frame({{0, 4000}, {160, 8192}, {200, 8192}});
  EXPECT_NE(Status().text.find(Bands("250")), std::string::npos) << Status().text;
  EXPECT_EQ(wnd_->Requests().Run(ControlRequest{2, "brimvexctl-2", {"audio-viz"}}).exit_code, kExitMalformed);
  EXPECT_EQ(wnd_->Requests().Run(ControlRequest{3, "brimvexctl-3", {"audio-viz", "start"}}).exit_code, kExitMalformed);
}

TEST_F(AudioLightingTest, TheLayoutTimerAndTheHelloConnect) {
  Start();
  EXPECT_TRUE(ToCapture().empty());
  Advance(Millis(100));
  const std::uint64_t pid = static_cast<std::uint64_t>(platform::CurrentProcessId());
  auto to = ToCapture();
  ASSERT_EQ(to.size(), 4u);
  EXPECT_EQ(to[0].name, kAudioRecorderName);
  EXPECT_EQ(to[0].lparam, static_cast<std::int64_t>(pid));
  EXPECT_EQ(to[1].wparam, 3u);
  EXPECT_EQ(to[2].wparam, 1u);
  EXPECT_EQ(to[3].name, kCopyDataName);
  // The selected style of the default "AudioFile.json".
  const lighting::AudioStyle& style = wnd_->Audio()->Styles().Selected();
  EXPECT_EQ(style.name, "第一组");
  EXPECT_EQ(to[3].payload, EncodeCaptureStyle(CaptureStyle{style.r, style.g, style.b}));
  // The name is admitted from the hub; an answer is not a hello.
  Deliver({std::string(kAudioRecorderName), 1, kCaptureDone, {}});
  EXPECT_EQ(ToCapture().size(), 4u);
  Deliver({std::string(kAudioRecorderName), 0, kCaptureHello, {}});
  EXPECT_EQ(ToCapture().size(), 8u);
  EXPECT_FALSE(traces_.Contains("ipc: dropped unknown message " + std::string(kAudioRecorderName)));
}

TEST_F(AudioLightingTest, ACaptureProgramThatCannotStartShowsOneMessageBox) {
  std::vector<std::string> texts;
  frontend_.SetModalHandler([&](ui::Window& w) {
    if (auto* t = w.FindControl("MessageText")) texts.push_back(t->Text());
  });
  SteppedWatchdogTime time(3);
  StartWithCapture({"/nonexistent/brimvex-audio-capture"}, &time);
  // Three more failed starts, then the watchdog waits until the window goes.
  time.WaitForBlockingWaits(1);
  loop().RunPending();
  EXPECT_EQ(texts, std::vector<std::string>{resources_.Text("audio_record_open_failed")});
  EXPECT_EQ(time.Timed(), (std::vector<Millis>{Millis(1000), Millis(2000), Millis(4000)}));
  wnd_->Exit();
  EXPECT_TRUE(traces_.Contains("AudioDaemonThreadPrc stop"));
}

TEST_F(AudioLightingTest, ExitTellsTheCaptureProgramAndReapsIt) {
  SteppedWatchdogTime time;
  StartWithCapture({"sleep", "1000"}, &time);
  time.WaitForBlockingWaits(1);
  const CaptureLinkStatus s = wnd_->Audio()->Link().Status();
  ASSERT_TRUE(s.running);
  EXPECT_EQ(Status().text.rfind("capture: running pid " + std::to_string(s.pid) + " restarts 0\n", 0), 0u);
  wnd_->Exit();
  std::vector<std::uint64_t> codes;
  for (const auto& m : ToCapture())
    if (m.name == kAudioRecorderName) codes.push_back(m.wparam);
  EXPECT_EQ(codes, (std::vector<std::uint64_t>{2, 4, 5}));
  siginfo_t info{};
  EXPECT_EQ(::waitid(P_PID, static_cast<id_t>(s.pid), &info, WEXITED | WNOHANG), -1);
}

}  // namespace
}  // namespace brimvex::app::test
