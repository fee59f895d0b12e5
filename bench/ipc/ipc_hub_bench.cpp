// Round trip through the IPC hub: post a frame and wait until the listener's thread has it.
#include <benchmark/benchmark.h>

#include <condition_variable>
#include <mutex>

#include "platform/ipc_hub.h"
#include "test_support/temp_dir.h"

namespace brimvex::platform {
namespace {

void BM_PostRoundTrip(benchmark::State& state) {
  test::TempDir root;
  std::mutex mutex;
  std::condition_variable cv;
  std::size_t received = 0;
  IpcHub listener(root.folder() + "brimvex/");
  IpcHub sender(root.folder() + "brimvex/");
  listener.Listen("Brimvex", [&](const IpcMessage&) {
    std::lock_guard lock(mutex);
    ++received;
    cv.notify_one();
  });
  const IpcMessage message{"Brimvex", 0, 1, std::string(static_cast<std::size_t>(state.range(0)), 'p')};
  std::size_t sent = 0;
  for (auto _ : state) {
    if (!sender.Post("Brimvex", message)) state.SkipWithError("post failed");
    ++sent;
    std::unique_lock lock(mutex);
    cv.wait(lock, [&] { return received == sent; });
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_PostRoundTrip)->Arg(0)->Arg(1024)->Arg(static_cast<std::int64_t>(kMaxIpcPayloadBytes));

void BM_BroadcastToFourPeers(benchmark::State& state) {
  test::TempDir root;
  std::vector<std::unique_ptr<IpcHub>> peers;
  for (const char* name : {"Brimvex", "VudiRuvu", "AudioRecord", "Game"}) {
    peers.push_back(std::make_unique<IpcHub>(root.folder() + "brimvex/"));
    peers.back()->Listen(name, [](const IpcMessage&) {});
  }
  IpcHub sender(root.folder() + "brimvex/");
  const IpcMessage message{"{4695579F-999A-41d4-9FAF-EFFCE93EBF16}", 1, 1, ""};
  for (auto _ : state) benchmark::DoNotOptimize(sender.Broadcast(message));
}
BENCHMARK(BM_BroadcastToFourPeers);

}  // namespace
}  // namespace brimvex::platform
