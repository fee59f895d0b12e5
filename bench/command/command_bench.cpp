// Host cost of an exchange against the emulator, and the sustained exchange rate at 1 ms a wire
// exchange. Run by hand: build/bench/command/bench_command
#include <benchmark/benchmark.h>
#include <sys/prctl.h>

#include "command/channel_fixture.h"

namespace brimvex::hid {
namespace {

using test::ChannelFixture;
using test::Product;

// One streamed packet of 56 bytes with the emulator answering at once: all host time.
void BM_QuietExchange(benchmark::State& state) {
  ChannelFixture f(Product::kKeyboard);
  std::vector<std::uint8_t> colours(56, 0x30);
  for (auto _ : state) benchmark::DoNotOptimize(f.channel.StreamKeyColors(colours));
  f.device.ClearExchangeLog();
}
BENCHMARK(BM_QuietExchange);

// The same packet through the traced exchange (four formatted trace lines).
void BM_TracedExchange(benchmark::State& state) {
  ChannelFixture f(Product::kKeyboard);
  std::vector<std::uint8_t> colours(56, 0x30);
  for (auto _ : state) benchmark::DoNotOptimize(f.channel.WriteKeyColors(colours, 0));
}
BENCHMARK(BM_TracedExchange);

// Sustained quiet exchanges against a device that takes 1 ms an exchange; items/s is the rate
// to compare with the 1000/s the wire allows.
void BM_SustainedAt1ms(benchmark::State& state) {
  // The kernel's default 50 us timer slack on every wait would be counted as host time.
  prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
  ChannelFixture f(Product::kKeyboard);
  f.device.SetLatency(platform::Millis(1));
  std::vector<std::uint8_t> colours(56, 0x30);
  for (auto _ : state) benchmark::DoNotOptimize(f.channel.StreamKeyColors(colours));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_SustainedAt1ms)->UseRealTime()->MinTime(2.0);

}  // namespace
}  // namespace brimvex::hid
