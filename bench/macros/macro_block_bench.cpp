// WriteMacros with a block that fills the keyboard's 2048 bytes (macros of 250, 250, 1 and 1
// events: 16 + 6 x 4 + 4 x 502) against the emulated keyboard answering after 1 ms, on the cable
// and through the receiver, beside the same requests sent as bare exchanges on the channel. The
// wire minimum is one millisecond a request in the emulator's log plus the 10 ms pause before
// CMD_END; bare_instant_ms is the bare transfer with the emulator answering at once (the host's
// and the emulator's own time, and the pause).
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <thread>

#include "devices/keyboard_rig.h"
#include "hid/command_codes.h"

namespace brimvex::devices::test {
namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void BM_FullKeyboardMacroBlock(benchmark::State& state) {
  const Link link = state.range(0) == 0 ? Link::kCable : Link::kReceiver;
  KeyboardRig k(link);
  if (!k.page_built) {
    // The rig builds the page as the program does: a layout class it does not register fails it.
    state.SkipWithError("the keyboard page could not be built");
    return;
  }
  k.Open();
  k.Sync();
  k.device().SetMacroSource(FixtureMacros::Make(4, {250, 250, 1, 1}));
  k.kb().SetLatency(platform::Millis(1));
  hid::CommandChannel& channel = k.device().CommandChannelRef();
  const std::vector<int> used{0, 1, 2, 3};
  k.kb().ClearExchangeLog();
  if (const int r = k.device().WriteMacros(used); r != 0 || k.kb().Macros().total_length != 2048) {
    const std::string why = "the block did not reach the keyboard whole: WriteMacros " + std::to_string(r) +
                            ", total " + std::to_string(k.kb().Macros().total_length);
    state.SkipWithError(why.c_str());
    return;
  }
  std::vector<std::vector<std::uint8_t>> requests;
  for (const auto& ex : k.kb().ExchangeLog()) requests.push_back(ex.request);
  double device_ms = 0;
  double bare_ms = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    const int r = k.device().WriteMacros(used);
    device_ms += Ms(Clock::now() - t0);
    if (r != 0) state.SkipWithError("a write failed");
    t0 = Clock::now();
    std::array<std::uint8_t, 64> answer{};
    for (const auto& q : requests) {
      if (q[3] == hid::CMD_END) std::this_thread::sleep_for(std::chrono::milliseconds(10));
      channel.Exchange(q, answer, nullptr);
    }
    bare_ms += Ms(Clock::now() - t0);
  }
  // The same requests with the emulator answering at once: what the host and the emulator cost
  // beside the wire (the 10 ms pause included).
  k.kb().SetLatency(platform::Millis(0));
  double instant_ms = 0;
  for (int round = 0; round < 5; ++round) {
    const auto t0 = Clock::now();
    std::array<std::uint8_t, 64> answer{};
    for (const auto& q : requests) {
      if (q[3] == hid::CMD_END) std::this_thread::sleep_for(std::chrono::milliseconds(10));
      channel.Exchange(q, answer, nullptr);
    }
    instant_ms += Ms(Clock::now() - t0) / 5;
  }
  state.counters["bare_instant_ms"] = instant_ms;
  const auto n = static_cast<double>(state.iterations());
  const double wire_min = static_cast<double>(requests.size()) + 10;
  state.counters["requests"] = static_cast<double>(requests.size());
  state.counters["wire_min_ms"] = wire_min;
  state.counters["device_ms"] = device_ms / n;
  state.counters["bare_ms"] = bare_ms / n;
  state.counters["to_wire_min"] = device_ms / n / wire_min;
  state.counters["to_bare"] = device_ms / bare_ms;
}
BENCHMARK(BM_FullKeyboardMacroBlock)->Arg(0)->Arg(1)->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brimvex::devices::test
