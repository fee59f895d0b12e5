#include "app/sync_light_thread.h"

#include "platform/trace.h"

namespace brimvex::app {

void SyncLightThread(const platform::ThreadParam& param, const SyncLighting& sync) {
  // The slot hands over a cleared stop event; resetting it here could swallow an early stop.
  for (;;) {
    const bool active = sync.active && sync.active();
    // 1 ms ticks only while an effect runs; otherwise check again after a second.
    if (param.stop->Wait(platform::Millis(active ? 1 : 1000))) {
      platform::Trace("同步灯光线程设定退出");
      return;
    }
    if (active && sync.step) sync.step();
  }
}

}  // namespace brimvex::app
