// Latency of audio-reactive lighting, in one run: from a tone's onset in a WAV that
// brimvex-audio-capture plays in real time to the first LED frame in the emulated keyboard that
// shows it ("capture_*"), beside the same from a loud spectrum frame put straight on the hub
// ("hub_*"). Brimvex is the controller on a headless frontend with a real clock and the hub; the
// keyboard is on its emulated cable (1 ms answers, the 5 ms frame stream) in light mode 29,
// audio mode 0, white bars over black, so an LED frame shows the sound when any light is lit.
//
// The WAV: 3 s of silence, then 20 times 0.5 s of a -6 dBFS tone on bin 10 and 0.5 s of silence,
// then silence while the hub frames come.
// Sample 0 counts as played at min over the first frames i of (arrival - (i + 1) hops): a frame
// can leave only once its hop has been played. A tone's onset is that time plus its sample time.
// The hub frames: zero frames every hop for 0.5 s, then for 0.5 s frames every hop that are loud
// (bins 10-13 at 8192) and zero by turns; 20 times. The emulator's live
// frame is read every 100 us.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "app/audio_capture_protocol.h"
#include "app/control_classes.h"
#include "app/hub_peer_link.h"
#include "app/main_wnd.h"
#include "devices/usb_device.h"
#include "emulator/emulated_hid_backend.h"
#include "emulator/emulator.h"
#include "platform/ipc_hub.h"
#include "platform/paths.h"
#include "platform/registered_messages.h"
#include "platform/shell.h"
#include "platform/ui/headless_frontend.h"
#include "test_support/temp_dir.h"
#include "wav_writer.h"

namespace brimvex::app {
namespace {

using Clock = std::chrono::steady_clock;
using platform::Millis;

constexpr int kRate = 48000;
constexpr int kHop = 256;
constexpr double kLeadIn = 3.0;
constexpr double kHalf = 0.5;
constexpr int kCycles = 20;
const Clock::duration kHopTime = std::chrono::nanoseconds(1'000'000'000LL * kHop / kRate);

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The hub as Brimvex uses it, noting when each spectrum frame arrives.
class TimedPeerLink final : public PeerLink {
 public:
  explicit TimedPeerLink(std::string directory) : inner_(std::move(directory)) {}
  bool AcquireInstanceLock(const std::string& name) override { return inner_.AcquireInstanceLock(name); }
  void ReleaseInstanceLock() override { inner_.ReleaseInstanceLock(); }
  bool Listen(const std::string& window_name, std::function<void(const PeerMessage&)> on_message) override {
    return inner_.Listen(window_name, [this, f = std::move(on_message)](const PeerMessage& m) {
      if (m.name == kCopyDataName && m.lparam == kCopyDataSpectrum) {
        std::lock_guard lock(mutex_);
        arrivals_.push_back(Clock::now());
      }
      f(m);
    });
  }
  void StopListening() override { inner_.StopListening(); }
  bool Post(const std::string& window_name, const PeerMessage& message) override {
    return inner_.Post(window_name, message);
  }
  bool PostWithin(const std::string& window_name, const PeerMessage& message, std::chrono::milliseconds t) override {
    return inner_.PostWithin(window_name, message, t);
  }
  int Broadcast(const PeerMessage& message) override { return inner_.Broadcast(message); }
  std::vector<Clock::time_point> Arrivals() const {
    std::lock_guard lock(mutex_);
    return arrivals_;
  }

 private:
  HubPeerLink inner_;
  mutable std::mutex mutex_;
  std::vector<Clock::time_point> arrivals_;
};

// Notes each moment the keyboard's live frame goes from dark to lit.
class LitWatch {
 public:
  explicit LitWatch(emulator::EmulatedDevice& keyboard)
      : thread_([this, &keyboard] {
          bool lit = false;
          while (!stop_.load()) {
            const auto frame = keyboard.Memory(emulator::Area::kLiveFrame);
            const bool now_lit = std::any_of(frame.begin(), frame.end(), [](std::uint8_t b) { return b != 0; });
            if (now_lit && !lit) {
              std::lock_guard lock(mutex_);
              lit_at_.push_back(Clock::now());
            }
            lit = now_lit;
            std::this_thread::sleep_for(std::chrono::microseconds(100));
          }
        }) {}
  ~LitWatch() {
    stop_ = true;
    thread_.join();
  }
  // The first time lit at or after `t`, if any.
  std::optional<Clock::time_point> FirstLitAfter(Clock::time_point t) const {
    std::lock_guard lock(mutex_);
    for (Clock::time_point at : lit_at_)
      if (at >= t) return at;
    return std::nullopt;
  }

 private:
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<Clock::time_point> lit_at_;
  std::thread thread_;
};

struct Summary {
  double p50 = 0, p90 = 0, max = 0;
  int count = 0;
};

Summary Summarise(std::vector<double> ms) {
  Summary s;
  s.count = static_cast<int>(ms.size());
  if (ms.empty()) return s;
  std::sort(ms.begin(), ms.end());
  s.p50 = ms[ms.size() / 2];
  s.p90 = ms[std::min(ms.size() - 1, ms.size() * 9 / 10)];
  s.max = ms.back();
  return s;
}

std::string MakeWav(const std::string& folder) {
  capture::SignalBuilder signal(kRate);
  signal.Silence(kLeadIn);
  const double bin10 = 10.0 * kRate / 1024;
  for (int i = 0; i < kCycles; ++i) signal.Tone(bin10, 0.5, kHalf).Silence(kHalf);
  // Silence on through the hub frames: a program at the end of its WAV would stop, be started
  // again and play the tones into them.
  signal.Silence(2 * kHalf * kCycles + 5);
  const std::string path = folder + "tones.wav";
  std::string error;
  capture::WriteWav(path, signal, capture::WavEncoding::kFloat, &error);
  return path;
}

void BM_ToneToLedFrame(benchmark::State& state) {
  brimvex::test::TempDir home;
  brimvex::test::TempDir runtime;
  platform::SetEnv("XDG_DATA_HOME", home.folder());
  platform::SetEnv("XDG_RUNTIME_DIR", runtime.folder());
  const std::string wav = MakeWav(home.folder());
  const std::string hub_dir = platform::IpcHub::DefaultDirectory();

  emulator::Emulator emu;
  emulator::EmulatedDevice& keyboard = emu.AddDevice(emulator::Product::kKeyboard);
  keyboard.Plug(emulator::Link::kCable);
  emulator::EmulatedHidBackend backend(emu);
  ui::HeadlessFrontend frontend(platform::HeadlessEventLoop::ClockKind::kReal);
  ui::ResourceManager resources;
  if (!resources.LoadResource(std::string(BRIMVEX_RESOURCES) + "/skin/")) {
    state.SkipWithError("no skin");
    return;
  }
  resources.SetLanguageFolder(std::string(BRIMVEX_RESOURCES) + "/lang/");
  ui::ControlFactory factory;
  AppMessages messages;
  messages.app_instance = platform::RegisterWindowMessage(kAppInstanceName);
  RegisterGuidMessages(messages);
  RegisterControlClasses(factory, ControlContext{&backend, &frontend.Loop()});
  TimedPeerLink peers(hub_dir);
  platform::SystemShell shell;
  auto wnd = std::make_unique<CMainWnd>(frontend, resources, factory, messages, &peers, &backend);
  wnd->AttachShell(shell);
  wnd->SetAudioCapture({CAPTURE_PATH, "--wav", wav});
  std::string error;
  if (!wnd->Create(&error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  auto& loop = frontend.HeadlessLoop();
  // Listens on the hub under the program's own name, as the application does: the capture
  // program finds its peer there.
  CMainWnd& main = *wnd;
  if (!peers.Listen(std::string(kAppIdentifier), [&loop, &main](const PeerMessage& m) {
        loop.Post([&main, m] { main.HandlePeerMessage(m); });
      })) {
    state.SkipWithError("cannot listen on the hub");
    return;
  }
  const auto run_for = [&](Clock::duration d) {
    const auto until = Clock::now() + d;
    loop.RunUntil([&] { return Clock::now() >= until; },
                  Millis(std::chrono::duration_cast<std::chrono::milliseconds>(d).count() + 1000));
  };
  devices::COmbrixUSBDevice* k = nullptr;
  loop.RunUntil(
      [&] {
        DeviceManager* devices = wnd->Devices();
        if (devices == nullptr) return false;
        for (devices::COmbrixUSBDevice* d : devices->Keyboards())
          if (d->CommandChannelRef().IsOpen()) k = d;
        return k != nullptr;
      },
      Millis(10000));
  if (k == nullptr) {
    state.SkipWithError("no keyboard");
    return;
  }
  run_for(std::chrono::milliseconds(800));  // its first read
  profiles::LightInfo info = k->GetLightState();
  info.mode = 29;
  info.brightness = 4;
  wnd->WriteLight(*k, info);
  const devices::AudioLightState look = devices::AudioLightStateOf({0, 0, 0, 0, 255, 255, 255, 0, 1});
  k->SetAudioLightState(look.mode, look.color, look.flags);
  k->ApplyLightSettings();
  const Clock::time_point ready = Clock::now();
  LitWatch watch(keyboard);

  // The capture program's WAV, then the hub frames, while the UI loop runs on this thread.
  run_for(std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(kLeadIn + 2 * kHalf * kCycles + 1)));
  const std::vector<Clock::time_point> arrivals = peers.Arrivals();
  std::vector<double> capture_ms;
  if (arrivals.size() >= 16) {
    Clock::time_point played0 = arrivals[0] - kHopTime;
    for (std::size_t i = 0; i < 16; ++i)
      played0 = std::min(played0, arrivals[i] - static_cast<int>(i + 1) * kHopTime);
    for (int c = 0; c < kCycles; ++c) {
      const auto onset = played0 + std::chrono::duration_cast<Clock::duration>(
                                       std::chrono::duration<double>(kLeadIn + 2 * kHalf * c));
      if (onset < ready) continue;
      if (const auto lit = watch.FirstLitAfter(onset); lit && *lit - onset < std::chrono::milliseconds(400))
        capture_ms.push_back(Ms(*lit - onset));
    }
  }

  std::vector<double> hub_ms;
  std::atomic<bool> fed{false};
  std::vector<Clock::time_point> onsets;
  std::thread feeder([&] {
    platform::IpcHub hub(hub_dir);
    std::string quiet(kSpectrumBytes, '\0');
    std::string loud = quiet;
    for (std::size_t bin = 10; bin < 14; ++bin) PutInt32(loud, bin, 8192);
    auto next = Clock::now();
    for (int c = 0; c < kCycles; ++c) {
      // Quiet frames every hop for the gap, so the bands have decayed to dark before the onset.
      const auto quiet_end = next + std::chrono::milliseconds(500);
      while (next < quiet_end) {
        hub.Post(std::string(kAppIdentifier), {std::string(kCopyDataName), 1, kCopyDataSpectrum, quiet});
        next += kHopTime;
        std::this_thread::sleep_until(next);
      }
      onsets.push_back(Clock::now());
      // Loud and quiet by turns, as a sound's spectrum keeps changing: the bands follow the change
      // between frames, so a steady loud frame would light only the hand-over that meets its onset.
      const auto end = next + std::chrono::milliseconds(500);
      for (bool on = true; next < end; on = !on) {
        hub.Post(std::string(kAppIdentifier), {std::string(kCopyDataName), 1, kCopyDataSpectrum, on ? loud : quiet});
        next += kHopTime;
        std::this_thread::sleep_until(next);
      }
    }
    fed = true;
  });
  loop.RunUntil([&] { return fed.load(); }, Millis(60000));
  feeder.join();
  run_for(std::chrono::milliseconds(300));
  for (const Clock::time_point onset : onsets)
    if (const auto lit = watch.FirstLitAfter(onset); lit && *lit - onset < std::chrono::milliseconds(400))
      hub_ms.push_back(Ms(*lit - onset));

  for (auto _ : state) {
  }
  const Summary cap = Summarise(capture_ms);
  const Summary hub = Summarise(hub_ms);
  state.counters["capture_p50_ms"] = cap.p50;
  state.counters["capture_p90_ms"] = cap.p90;
  state.counters["capture_max_ms"] = cap.max;
  state.counters["capture_onsets"] = cap.count;
  state.counters["hub_p50_ms"] = hub.p50;
  state.counters["hub_p90_ms"] = hub.p90;
  state.counters["hub_max_ms"] = hub.max;
  state.counters["hub_onsets"] = hub.count;
  peers.StopListening();
  wnd->Exit();
}
BENCHMARK(BM_ToneToLedFrame)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brimvex::app
