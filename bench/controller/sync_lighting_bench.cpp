// CPU of the synchronised-lighting worker of slot 8 while an effect runs on four devices, and of
// the Windows-style loop it replaces (wait 1 ms on the stop event, count a tick every 2 ms, step),
// in one run over one second of wall time each; and one effect step.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <thread>
#include <vector>

#include "app/sync_effect.h"
#include "app/sync_lighting.h"
#include "devices/device_rig.h"
#include "devices/keyboard_device.h"
#include "devices/mouse_device.h"
#include "devices/mouse_pad_device.h"
#include "platform/worker_thread.h"

namespace brimvex::app {
namespace {

using platform::Millis;

template <typename F>
double CpuPercentOverOneSecond(F&& during) {
  const std::clock_t c0 = std::clock();
  const auto t0 = std::chrono::steady_clock::now();
  during();
  const double cpu = static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC;
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  return 100.0 * cpu / wall;
}

SyncSettings Effect(std::int64_t type, std::int64_t speed) {
  SyncSettings s;
  s.type = static_cast<SyncType>(type);
  s.speed = static_cast<std::uint8_t>(speed);
  s.brightness = 4;
  s.multi_color = 1;
  s.red = 200, s.green = 40, s.blue = 90;
  return s;
}

// Four devices on emulated products, open and taking part.
struct Devices {
  devices::test::DeviceRig<devices::COmbrixKeyboardDevice> keyboard{emulator::Product::kKeyboard, 126, 126};
  devices::test::DeviceRig<devices::COmbrixMouseDevice> mouse{emulator::Product::kMouse, 11, 15};
  devices::test::DeviceRig<devices::COmbrixMousePadDevice> pad{emulator::Product::kMousePad, 0, 15};
  devices::test::DeviceRig<devices::COmbrixKeyboardDevice> second{emulator::Product::kKeyboard, 126, 126};
  Devices() {
    for (devices::COmbrixUSBDevice* d : All()) d->CommandChannelRef().SetLightSync(true);
    keyboard.OpenCommand();
    mouse.OpenCommand();
    pad.OpenCommand();
    second.OpenCommand();
  }
  std::vector<devices::COmbrixUSBDevice*> All() { return {keyboard.device.get(), mouse.device.get(), pad.device.get(), second.device.get()}; }
};

// The slot-8 worker as built: it sleeps until its next step.
void BM_SyncWorker(benchmark::State& state) {
  Devices devices;
  SyncLighting sync;
  platform::WorkerThread worker;
  sync.PrepareStart();
  worker.Start([&](const platform::ThreadParam& p) { sync.Run(p); });
  sync.Publish(Effect(state.range(0), state.range(1)), devices.All());
  double percent = 0;
  const auto steps = sync.Steps();
  for (auto _ : state) percent = CpuPercentOverOneSecond([] { std::this_thread::sleep_for(Millis(1000)); });
  state.counters["steps_per_s"] = static_cast<double>(sync.Steps() - steps);
  worker.Stop(Millis(1000));
  sync.WaitUntilEnded();
  state.counters["cpu_percent"] = percent;
}

// The loop of the Windows program over the same devices: 1 ms waits, ticks of 2 ms, a step at the
// speed table's count.
void BM_OneMillisecondTickLoop(benchmark::State& state) {
  Devices devices;
  const std::vector<devices::COmbrixUSBDevice*> all = devices.All();
  platform::WorkerThread worker;
  const SyncSettings settings = Effect(state.range(0), state.range(1));
  worker.Start([&](const platform::ThreadParam& p) {
    SyncEffect effect(settings, 0);
    auto last = std::chrono::steady_clock::now();
    std::uint32_t ticks = 0;
    while (!p.stop->Wait(Millis(1))) {
      const auto now = std::chrono::steady_clock::now();
      if (now - last < Millis(2)) continue;
      last = now;
      if (++ticks < effect.TicksPerStep()) continue;
      ticks = 0;
      const auto ms = std::chrono::duration_cast<Millis>(now.time_since_epoch()).count();
      const std::uint32_t color = effect.Step(static_cast<std::uint32_t>(ms));
      for (devices::COmbrixUSBDevice* d : all) d->ShowSyncColor(color);
    }
  });
  double percent = 0;
  for (auto _ : state) percent = CpuPercentOverOneSecond([] { std::this_thread::sleep_for(Millis(1000)); });
  worker.Stop(Millis(1000));
  state.counters["cpu_percent"] = percent;
}

// type (0 breathing, 3 spectrum), speed
BENCHMARK(BM_SyncWorker)->Args({0, 4})->Args({3, 0})->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OneMillisecondTickLoop)->Args({0, 4})->Args({3, 0})->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_EffectStep(benchmark::State& state) {
  SyncEffect effect(Effect(0, 4), 0);
  std::uint32_t t = 0;
  for (auto _ : state) benchmark::DoNotOptimize(effect.Step(t += 14));
}
BENCHMARK(BM_EffectStep);

}  // namespace
}  // namespace brimvex::app
