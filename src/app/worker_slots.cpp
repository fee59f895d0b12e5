#include "app/worker_slots.h"

#include "platform/trace.h"

namespace brimvex::app {

WorkerSlots::~WorkerSlots() { StopAll(); }

bool WorkerSlots::Start(std::size_t slot, platform::WorkerThread::Body body) {
  if (slot >= kWorkerSlotCount || slots_[slot].Running()) return false;
  slots_[slot].Stop(platform::Millis(0));  // joins an ended earlier run
  if (!slots_[slot].Start(std::move(body), owner_)) return false;
  started_[slot] = true;
  return true;
}

bool WorkerSlots::HoldsThread(std::size_t slot) const { return slot < kWorkerSlotCount && started_[slot]; }

void WorkerSlots::StopAll(platform::Millis timeout) {
  for (auto& s : slots_) s.RequestStop();
  for (std::size_t i = 0; i < kWorkerSlotCount; ++i) {
    if (!started_[i]) continue;
    started_[i] = false;
    switch (slots_[i].Stop(timeout)) {
      case platform::WorkerThread::StopResult::kEnded:
      case platform::WorkerThread::StopResult::kNotRunning:
        platform::Trace("所有对象处于激发状态\n");
        break;
      case platform::WorkerThread::StopResult::kTimedOut:
        // The thread cannot be killed safely; it is left detached and ends on its own.
        platform::Trace("所有对象处于非激发状态，超时\n");
        break;
    }
  }
}

}  // namespace brimvex::app
