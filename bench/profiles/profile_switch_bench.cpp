// A full profile switch against the emulated device answering after 1 ms: from the drop-down
// timer's expiry (the switch to the chosen entry) to the last CMD_END (switch_ms; with_list_ms
// adds the list file's stored selection that follows), beside the same requests sent as bare
// exchanges on the channel (with the 10 ms pause before each CMD_END). The wire minimum is what
// the emulator's timing makes of the same requests: each answer readable one latency (1 ms)
// after its request arrives, plus the 10 ms pause before each CMD_END; it leaves no time for
// the host.
//
// Each device holds two profiles with the same content and the runs go back and forth between
// them, so every run is a real switch (the list's stored selection changes) with the same
// requests.
//   keyboard: cable, two bound macros, custom colours;
//   mouse: one bound macro, on its cable and through its receiver (a link query before each
//   command).
#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

#include "app/profile_switch.h"
#include "devices/keyboard_device.h"
#include "devices/keyboard_rig.h"
#include "devices/mouse_rig.h"
#include "hid/command_codes.h"

namespace brimvex::devices::test {
namespace {

using Clock = std::chrono::steady_clock;

constexpr platform::Millis kLatency{1};

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Copies the selected profile (its content set up by the caller) and measures the switches
// between the two.
void MeasureSwitches(benchmark::State& state, COmbrixUSBDevice& device, emulator::EmulatedDevice& emulated) {
  profiles::CDeviceProfileUI* list = device.ProfileList();
  if (list == nullptr || list->Copy() != profiles::CDeviceProfileUI::Change::kDone || list->Count() != 2) {
    state.SkipWithError("no second profile");
    return;
  }
  emulated.SetLatency(kLatency);
  int next = 1;
  // A switch as SwitchToEntry runs it, in its halves: the entry chosen, the writes (the last
  // CMD_END answered when they return), the selection stored. `to_end` and `whole` get the times.
  const auto run = [&](double& to_end, double& whole) {
    const auto t0 = Clock::now();
    list->SelectWithoutStoring(next, false);
    const auto writes = app::WriteProfileToDevice(device, 1920, 1080);
    to_end += Ms(Clock::now() - t0);
    const bool stored = list->StoreSelection();
    whole += Ms(Clock::now() - t0);
    next = 1 - next;
    return !writes.Failure() && stored;
  };
  // The requests of one switch, to replay as bare exchanges.
  emulated.ClearExchangeLog();
  double unused = 0;
  if (!run(unused, unused)) {
    state.SkipWithError("a write failed");
    return;
  }
  std::vector<std::vector<std::uint8_t>> requests;
  std::size_t ends = 0;
  for (const auto& ex : emulated.ExchangeLog()) {
    requests.push_back(ex.request);
    if (ex.request[3] == hid::CMD_END) ++ends;
  }
  hid::CommandChannel& channel = device.CommandChannelRef();
  double switch_ms = 0;
  double whole_ms = 0;
  double bare_ms = 0;
  for (auto _ : state) {
    if (!run(switch_ms, whole_ms)) state.SkipWithError("a write failed");
    const auto t0 = Clock::now();
    std::array<std::uint8_t, 64> answer{};
    for (const auto& r : requests) {
      if (r[3] == hid::CMD_END) std::this_thread::sleep_for(std::chrono::milliseconds(10));
      channel.Exchange(r, answer, nullptr);
    }
    bare_ms += Ms(Clock::now() - t0);
  }
  const auto n = static_cast<double>(state.iterations());
  const double wire = static_cast<double>(requests.size()) * static_cast<double>(kLatency.count()) +
                      10.0 * static_cast<double>(ends);
  state.counters["requests"] = static_cast<double>(requests.size());
  state.counters["wire_min_ms"] = wire;
  state.counters["switch_ms"] = switch_ms / n;
  state.counters["with_list_ms"] = whole_ms / n;
  state.counters["bare_ms"] = bare_ms / n;
  state.counters["switch_to_wire"] = switch_ms / n / wire;
  state.counters["switch_to_bare"] = switch_ms / bare_ms;
}

void BM_KeyboardProfileSwitch(benchmark::State& state) {
  KeyboardRig k(Link::kCable);
  if (!k.Open() || k.Sync() != hid::RESULT_OK) {
    state.SkipWithError("the keyboard did not open");
    return;
  }
  COmbrixKeyboardDevice& keyboard = k.device();
  keyboard.SetMacroSource(FixtureMacros::Make(3, {12, 20, 8}));
  profiles::LightInfo light = keyboard.Profile().GetLightInfo();
  light.mode = kCustomColorsMode;
  keyboard.Profile().SetLightInfo(light);
  keyboard.SetLightInfo(light);
  keyboard.FillCustomColors(true);
  keyboard.StoreKeyAssignment(1, {0x70, 2, 0});
  keyboard.StoreKeyAssignment(3, {0x70, 0, 0});
  if (!keyboard.SaveProfile()) {
    state.SkipWithError("the profile was not saved");
    return;
  }
  MeasureSwitches(state, keyboard, k.kb());
}
BENCHMARK(BM_KeyboardProfileSwitch)->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_MouseProfileSwitch(benchmark::State& state) {
  MouseRig m(state.range(0) != 0 ? Link::kReceiver : Link::kCable);
  if (!m.Open() || m.Sync() != hid::RESULT_OK) {
    state.SkipWithError("the mouse did not open");
    return;
  }
  COmbrixMouseDevice& mouse = m.device();
  mouse.SetMacroSource(FixtureMacros::Make(2, {12, 20}));
  mouse.StoreKeyAssignment(3, {0x70, 1, 0});
  if (!mouse.SaveProfile()) {
    state.SkipWithError("the profile was not saved");
    return;
  }
  MeasureSwitches(state, mouse, m.mouse());
}
// 0: cable, 1: receiver.
BENCHMARK(BM_MouseProfileSwitch)->ArgName("receiver")->Arg(0)->Arg(1)->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brimvex::devices::test
