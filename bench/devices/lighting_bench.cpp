// The light workers of the four emulated devices in animated modes at speed 4, with the page
// shown and hidden, beside the literal design (every worker waking each 1 ms and counting passes,
// the pad counting every pass); and one keyboard preview frame: the heaviest steps over the 126
// keys, the scaling to device bytes and the hand-over to the page's buttons (beside the 5 ms of
// the cable's frame timer).
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <mutex>
#include <thread>
#include <vector>

#include "devices/device_rig.h"
#include "audio/ri6533_device.h"
#include "devices/keyboard_device.h"
#include "devices/keyboard_effects.h"
#include "devices/mouse_device.h"
#include "devices/mouse_pad_device.h"
#include "platform/worker_thread.h"

namespace brimvex::devices::test {
namespace {

using platform::Millis;

double CpuPercentOverOneSecond() {
  const std::clock_t c0 = std::clock();
  const auto t0 = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(Millis(1000));
  const double cpu = static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC;
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  return 100.0 * cpu / wall;
}

LightInfo Animated(std::uint8_t mode) {
  LightInfo info;
  info.mode = mode;
  info.speed = 4;
  info.brightness = 4;
  info.multi_color = 1;
  info.direction = 1;
  return info;
}

// range(0): 1 page shown (the frames reach the buttons at the display's rate), 0 hidden.
void BM_FourDevicesAnimated(benchmark::State& state) {
  const bool shown = state.range(0) != 0;
  DeviceRig<COmbrixKeyboardDevice> keyboard(Product::kKeyboard, 170, 170);
  DeviceRig<COmbrixMouseDevice> mouse(Product::kMouse, 11, 15);
  DeviceRig<COmbrixMousePadDevice> pad(Product::kMousePad, 0, 15);
  DeviceRig<audio::COmbrixRI6533Device> headset(Product::kHeadset, 0, 13);
  if (shown) {
    keyboard.BuildPage();
    pad.BuildPage();
  }
  std::vector<COmbrixUSBDevice*> all{keyboard.device.get(), mouse.device.get(), pad.device.get(), headset.device.get()};
  keyboard.OpenCommand();
  mouse.OpenCommand();
  pad.OpenCommand();
  headset.OpenCommand();
  keyboard.device->SetLightInfo(Animated(1));  // column wave
  mouse.device->SetLightInfo(Animated(1));     // spectrum
  pad.device->SetLightInfo(Animated(0));       // pad wave
  headset.device->SetLightInfo(Animated(1));
  for (COmbrixUSBDevice* d : all) {
    d->OnWindowVisibility(shown);
    d->StartLightWorker();
  }
  // Shown: the page takes a frame per display refresh, as the entries' frame timers hand them.
  platform::WorkerThread frames;
  if (shown) {
    frames.Start([&](const platform::ThreadParam& p) {
      while (!p.stop->Wait(Millis(16)))
        for (COmbrixUSBDevice* d : all) d->SendLedFrame();
    });
  }
  double percent = 0;
  for (auto _ : state) percent = CpuPercentOverOneSecond();
  frames.Stop(Millis(1000));
  for (COmbrixUSBDevice* d : all) d->StopWorkers();
  state.counters["cpu_percent"] = percent;
}
BENCHMARK(BM_FourDevicesAnimated)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond);

// The literal design: four workers that wait 1 ms on their stop event, count passes and run a
// step at the threshold (speed 4), the pad's counting every pass.
void BM_FourLiteralWorkers(benchmark::State& state) {
  struct Literal {
    platform::WorkerThread thread;
    std::mutex lock;
    std::vector<Rgba> frame = std::vector<Rgba>(170);
    PreviewState preview;
  };
  std::vector<std::unique_ptr<Literal>> workers;
  const std::uint32_t thresholds[] = {1, 7, 7, 7};
  for (std::uint32_t threshold : thresholds) {
    auto w = std::make_unique<Literal>();
    Literal* raw = w.get();
    raw->thread.Start([raw, threshold](const platform::ThreadParam& p) {
      std::uint32_t passes = 0;
      const LightInfo info = Animated(1);
      while (!p.stop->Wait(Millis(1))) {
        if (++passes < threshold) continue;
        passes = 0;
        std::lock_guard lock(raw->lock);
        PreviewSpectrum(info, raw->preview, raw->frame);
      }
    });
    workers.push_back(std::move(w));
  }
  double percent = 0;
  for (auto _ : state) percent = CpuPercentOverOneSecond();
  for (auto& w : workers) w->thread.Stop(Millis(1000));
  state.counters["cpu_percent"] = percent;
}
BENCHMARK(BM_FourLiteralWorkers)->Iterations(1)->Unit(benchmark::kMillisecond);

// One keyboard preview frame: the effect step of mode range(0) over the keys, the scaling to the
// device's bytes and the hand-over to the page's light buttons.
void BM_KeyboardPreviewFrame(benchmark::State& state) {
  DeviceRig<COmbrixKeyboardDevice> rig(Product::kKeyboard, 170, 170);
  rig.BuildPage();
  const int mode = static_cast<int>(state.range(0));
  const LightInfo info = Animated(static_cast<std::uint8_t>(mode));
  rig.device->SetLightInfo(info);
  rig.device->SetRepaintInterval(Millis(1));
  KeyboardEffectState effects;
  StartMode(mode, effects);
  std::vector<Rgba> frame(170);
  for (int k = 0; k < 20; ++k) KeyEvent(mode, k * 6, true, effects);
  for (auto _ : state) {
    KeyboardEffectStep(mode, info, effects, frame);
    benchmark::DoNotOptimize(ScaleFrame(frame));
    for (std::size_t i = 0; i < 126; ++i) rig.device->SetLedColor(static_cast<int>(i), frame[i]);
    benchmark::DoNotOptimize(rig.device->SendLedFrame());
  }
  state.counters["budget_us"] = 5000;
}
// Column wave, ripple, rain, radial wave, sweep.
BENCHMARK(BM_KeyboardPreviewFrame)->Arg(1)->Arg(9)->Arg(10)->Arg(18)->Arg(24)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace brimvex::devices::test
