// A 50 MB download from the loopback update service into a checked file, with the percentage
// reported (at most ten times a second) beside the same download without it. CPU time is the
// calling thread's, which runs the whole transfer.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "platform/curl/curl_http_client.h"
#include "platform/httplib/update_service.h"
#include "update/download.h"

namespace {
using namespace brimvex;

constexpr std::size_t kSize = 50 * 1024 * 1024;

platform::UpdateService& Service() {
  static platform::UpdateService* service = [] {
    platform::UpdateServiceConfig config;
    config.files["big.bin"] = std::string(kSize, '\x33');
    auto* s = new platform::UpdateService(config);
    s->Start(0, nullptr);
    return s;
  }();
  return *service;
}

void Run(benchmark::State& state, bool with_progress) {
  auto client = platform::curl::CreateCurlHttpClient();
  const std::string local = (std::filesystem::temp_directory_path() / "brimvex-bench-update.bin").string();
  const update::DownloadJob job{"/files/big.bin", Service().BaseUrl(), local, ""};
  int reports = 0;
  for (auto _ : state) {
    const update::DownloadOutcome out =
        update::Download(*client, job, nullptr, with_progress ? update::PercentSink([&](int) { ++reports; }) : nullptr);
    if (!out.ok) state.SkipWithError(out.error.c_str());
  }
  std::filesystem::remove(local);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(kSize));
  state.counters["reports"] = benchmark::Counter(reports, benchmark::Counter::kAvgIterations);
}

void BM_DownloadWithProgress(benchmark::State& state) { Run(state, true); }
void BM_DownloadWithoutProgress(benchmark::State& state) { Run(state, false); }

BENCHMARK(BM_DownloadWithoutProgress)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DownloadWithProgress)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
