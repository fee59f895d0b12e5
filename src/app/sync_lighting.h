#pragma once
// Synchronised lighting: the worker of slot 8 and what it reads. The UI thread publishes each
// effect with the devices it may reach (a copy made under a lock, so hot-plug on the UI thread
// never races the worker). The worker steps the effect only while some of those devices take part
// (command channel open, light-sync flag set) and hands each step's colour to them alone; it
// sleeps until its next step is due, and while nobody takes part it sleeps on its stop event and
// the wake event until a new effect or a reopened channel wakes it.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "app/sync_effect.h"
#include "platform/event.h"
#include "platform/worker_thread.h"

namespace brimvex::devices {
class COmbrixUSBDevice;
}

namespace brimvex::app {

class SyncLighting {
 public:
  // UI thread: a new effect over these devices. Wakes the worker.
  void Publish(const SyncSettings& settings, std::vector<devices::COmbrixUSBDevice*> devices);
  // Any thread: look again at who takes part.
  void Wake() { wake_.Set(); }

  // Before the worker is started (UI thread).
  void PrepareStart() { ended_.Reset(); }
  // The body of slot 8; traces "同步灯光线程设定退出" when its stop event is set.
  void Run(const platform::ThreadParam& param);
  // Waits for the body to have returned, also one that was let go after its stop time-out:
  // the devices it reaches must outlive it.
  void WaitUntilEnded() { ended_.Wait(); }
  // Steps shown since the start (tests, benchmarks).
  std::uint64_t Steps() const { return steps_.load(); }

 private:
  std::mutex mutex_;  // guards the published effect
  SyncSettings settings_;
  std::vector<devices::COmbrixUSBDevice*> devices_;
  std::uint64_t generation_ = 0;
  platform::Event wake_{platform::Event::Mode::kAutoReset};
  platform::Event ended_{platform::Event::Mode::kManualReset, true};
  std::atomic<std::uint64_t> steps_{0};
};

}  // namespace brimvex::app
