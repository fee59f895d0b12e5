#pragma once
// The controller's table of 20 worker-thread slots, each with its manual-reset stop event, its
// thread and its parameter record {owner, stop event}.
#include <array>
#include <cstddef>

#include "platform/worker_thread.h"

namespace brimvex::app {

inline constexpr std::size_t kWorkerSlotCount = 20;
inline constexpr std::size_t kSlotDiscovery = 0;
inline constexpr std::size_t kSlotAudioWatchdog = 1;
inline constexpr std::size_t kSlotSyncLighting = 8;

class WorkerSlots {
 public:
  explicit WorkerSlots(void* owner) : owner_(owner) {}
  ~WorkerSlots();
  WorkerSlots(const WorkerSlots&) = delete;
  WorkerSlots& operator=(const WorkerSlots&) = delete;

  // Starts the body in the slot; false for a bad slot or one that holds a running thread.
  bool Start(std::size_t slot, platform::WorkerThread::Body body);
  bool HoldsThread(std::size_t slot) const;
  // Sets all 20 stop events, then waits for each slot's thread in slot order (up to `timeout`
  // each) and traces the outcome; a thread that does not end is left detached.
  void StopAll(platform::Millis timeout = platform::Millis(1000));

 private:
  void* owner_;
  std::array<platform::WorkerThread, kWorkerSlotCount> slots_;
  std::array<bool, kWorkerSlotCount> started_{};
};

}  // namespace brimvex::app
