// CPU taken by a device's light worker over one second of wall time, beside a thread that wakes
// every millisecond with nothing to do; and the cost of one SendLedFrame on the cable.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <thread>

#include "devices/device_rig.h"
#include "devices/keyboard_device.h"
#include "devices/mouse_device.h"
#include "platform/worker_thread.h"

namespace brimvex::devices::test {
namespace {

using platform::Millis;

// Process CPU over one second, as a percentage of one core.
template <typename F>
double CpuPercentOverOneSecond(F&& during) {
  const std::clock_t c0 = std::clock();
  const auto t0 = std::chrono::steady_clock::now();
  during();
  const double cpu = static_cast<double>(std::clock() - c0) / CLOCKS_PER_SEC;
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  return 100.0 * cpu / wall;
}

template <typename Device>
void LightWorker(benchmark::State& state, Product product, int lights, std::uint8_t mode) {
  DeviceRig<Device> rig(product, 0, lights);
  rig.OpenCommand();
  LightInfo info;
  info.mode = mode;
  info.speed = static_cast<std::uint8_t>(state.range(0));
  info.brightness = 4;
  info.multi_color = 1;
  rig.device->SetLightInfo(info);
  rig.device->StartLightWorker();
  double percent = 0;
  for (auto _ : state) percent = CpuPercentOverOneSecond([] { std::this_thread::sleep_for(Millis(1000)); });
  rig.device->StopWorkers();
  state.counters["cpu_percent"] = percent;
}

void BM_KeyboardBreathing(benchmark::State& s) { LightWorker<COmbrixKeyboardDevice>(s, Product::kKeyboard, 126, 5); }
void BM_MouseBreathing(benchmark::State& s) { LightWorker<COmbrixMouseDevice>(s, Product::kMouse, 15, 2); }
void BM_MouseModeWithoutRow(benchmark::State& s) { LightWorker<COmbrixMouseDevice>(s, Product::kMouse, 15, 42); }
BENCHMARK(BM_KeyboardBreathing)->Arg(0)->Arg(4)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MouseBreathing)->Arg(0)->Arg(4)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MouseModeWithoutRow)->Arg(0)->Iterations(1)->Unit(benchmark::kMillisecond);

// What a worker that waits 1 ms on its stop event in a loop costs with nothing to do.
void BM_OneMillisecondPolling(benchmark::State& state) {
  platform::WorkerThread worker;
  worker.Start([](const platform::ThreadParam& p) {
    while (!p.stop->Wait(Millis(1))) {
    }
  });
  double percent = 0;
  for (auto _ : state) percent = CpuPercentOverOneSecond([] { std::this_thread::sleep_for(Millis(1000)); });
  worker.Stop(Millis(1000));
  state.counters["cpu_percent"] = percent;
}
BENCHMARK(BM_OneMillisecondPolling)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_SendLedFrameOnTheCable(benchmark::State& state) {
  DeviceRig<COmbrixKeyboardDevice> rig(Product::kKeyboard, 170, 170);
  rig.OpenCommand();
  LightInfo info;
  info.mode = 30;  // host colours: the keyboard streams its frame
  rig.device->SetLightInfo(info);
  for (int i = 0; i < 126; ++i) rig.device->SetLedColor(i, Rgba{200, 100, 50, 200});
  for (auto _ : state) benchmark::DoNotOptimize(rig.device->SendLedFrame());
}
BENCHMARK(BM_SendLedFrameOnTheCable)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace brimvex::devices::test
