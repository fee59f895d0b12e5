// A full profile switch to the keyboard on its cable (two bound macros, custom colours) against
// the emulated keyboard answering after 1 ms: from the drop-down timer's expiry (the list's
// Select) to the last CMD_END, beside the same requests sent as bare exchanges on the channel
// (with the 10 ms pause before each CMD_END). The wire minimum is one millisecond a request plus
// 10 ms before each CMD_END.
#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

#include "app/profile_switch.h"
#include "devices/keyboard_device.h"
#include "devices/keyboard_rig.h"
#include "hid/command_codes.h"

namespace brimvex::devices::test {
namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void BM_KeyboardProfileSwitch(benchmark::State& state) {
  KeyboardRig k(Link::kCable);
  if (!k.Open() || k.Sync() != hid::RESULT_OK) {
    state.SkipWithError("the keyboard did not open");
    return;
  }
  COmbrixKeyboardDevice& keyboard = k.device();
  keyboard.SetMacroSource(FixtureMacros::Make(3, {12, 20, 8}));
  profiles::LightInfo light = keyboard.GetLightState();
  light.mode = kCustomColorsMode;
  keyboard.SetLightInfo(light);
  keyboard.FillCustomColors(true);
  keyboard.StoreKeyAssignment(1, {0x70, 2, 0});
  keyboard.StoreKeyAssignment(3, {0x70, 0, 0});
  keyboard.SaveProfile();
  profiles::CDeviceProfileUI* list = keyboard.ProfileList();
  if (list == nullptr) {
    state.SkipWithError("no profile list");
    return;
  }
  k.kb().SetLatency(platform::Millis(1));
  const auto run = [&] {
    list->Select(0, false);
    return app::WriteProfileToDevice(keyboard, 1920, 1080).Failure();
  };
  // The requests of one switch, to replay as bare exchanges.
  k.kb().ClearExchangeLog();
  if (run()) {
    state.SkipWithError("a write failed");
    return;
  }
  std::vector<std::vector<std::uint8_t>> requests;
  std::size_t ends = 0;
  for (const auto& ex : k.kb().ExchangeLog()) {
    requests.push_back(ex.request);
    if (ex.request[3] == hid::CMD_END) ++ends;
  }
  hid::CommandChannel& channel = keyboard.CommandChannelRef();
  double switch_ms = 0;
  double bare_ms = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    if (run()) state.SkipWithError("a write failed");
    switch_ms += Ms(Clock::now() - t0);
    t0 = Clock::now();
    std::array<std::uint8_t, 64> answer{};
    for (const auto& r : requests) {
      if (r[3] == hid::CMD_END) std::this_thread::sleep_for(std::chrono::milliseconds(10));
      channel.Exchange(r, answer, nullptr);
    }
    bare_ms += Ms(Clock::now() - t0);
  }
  const auto n = static_cast<double>(state.iterations());
  const double wire = static_cast<double>(requests.size()) + 10.0 * static_cast<double>(ends);
  state.counters["requests"] = static_cast<double>(requests.size());
  state.counters["wire_min_ms"] = wire;
  state.counters["switch_ms"] = switch_ms / n;
  state.counters["bare_ms"] = bare_ms / n;
  state.counters["switch_to_wire"] = switch_ms / n / wire;
  state.counters["switch_to_bare"] = switch_ms / bare_ms;
}
BENCHMARK(BM_KeyboardProfileSwitch)->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brimvex::devices::test
