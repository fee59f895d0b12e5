#pragma once
// The synchronised-lighting worker of slot 8. While no device takes part in synchronised
// lighting it sleeps on its stop event; it ends when the event is set.
#include <functional>

#include "platform/worker_thread.h"

namespace brimvex::app {

// `active` tells whether any open device has its light-sync flag set; `step` runs one effect
// tick while it does.
struct SyncLighting {
  std::function<bool()> active;
  std::function<void()> step;
};

void SyncLightThread(const platform::ThreadParam& param, const SyncLighting& sync);

}  // namespace brimvex::app
