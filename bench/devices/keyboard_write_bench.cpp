// WriteSettings + WriteProfileKeyMap against the emulated keyboard answering after 1 ms, beside
// the same requests sent as bare exchanges on the channel (with the 10 ms pause before each
// CMD_END). On the cable that is 13 packets, through the receiver 24; the wire minimum is one
// millisecond a packet plus 10 ms before each of the two CMD_ENDs (33 and 44 ms).
#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

#include "devices/keyboard_rig.h"
#include "hid/command_codes.h"

namespace brimvex::devices::test {
namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void BM_KeyboardSettingsAndKeyMap(benchmark::State& state) {
  const Link link = state.range(0) == 0 ? Link::kCable : Link::kReceiver;
  KeyboardRig k(link);
  k.Open();
  k.Sync();
  k.kb().SetLatency(platform::Millis(1));
  hid::CommandChannel& channel = k.device().CommandChannelRef();
  // The requests of one run, to replay as bare exchanges.
  k.kb().ClearExchangeLog();
  k.device().WriteSettings(0, 0, 1, 0, 0);
  k.device().WriteProfileKeyMap();
  std::vector<std::vector<std::uint8_t>> requests;
  for (const auto& ex : k.kb().ExchangeLog()) requests.push_back(ex.request);
  double device_ms = 0;
  double bare_ms = 0;
  for (auto _ : state) {
    auto t0 = Clock::now();
    const int a = k.device().WriteSettings(0, 0, 1, 0, 0);
    const int b = k.device().WriteProfileKeyMap();
    device_ms += Ms(Clock::now() - t0);
    if (a != hid::RESULT_OK || b != hid::RESULT_OK) state.SkipWithError("a write failed");
    t0 = Clock::now();
    std::array<std::uint8_t, 64> answer{};
    for (const auto& r : requests) {
      if (r[3] == hid::CMD_END) std::this_thread::sleep_for(std::chrono::milliseconds(10));
      channel.Exchange(r, answer, nullptr);
    }
    bare_ms += Ms(Clock::now() - t0);
  }
  const auto n = static_cast<double>(state.iterations());
  state.counters["packets"] = static_cast<double>(requests.size());
  state.counters["wire_min_ms"] = static_cast<double>(requests.size()) + 20;
  state.counters["device_ms"] = device_ms / n;
  state.counters["bare_ms"] = bare_ms / n;
  state.counters["ratio"] = device_ms / bare_ms;
}
BENCHMARK(BM_KeyboardSettingsAndKeyMap)->Arg(0)->Arg(1)->Iterations(30)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brimvex::devices::test
