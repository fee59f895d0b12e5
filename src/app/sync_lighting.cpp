#include "app/sync_lighting.h"

#include <chrono>
#include <optional>

#include "devices/usb_device.h"
#include "platform/trace.h"

namespace brimvex::app {
namespace {

using Clock = std::chrono::steady_clock;

std::uint32_t TickMs(Clock::time_point t) {
  return static_cast<std::uint32_t>(std::chrono::duration_cast<platform::Millis>(t.time_since_epoch()).count());
}

}  // namespace

void SyncLighting::Publish(const SyncSettings& settings, std::vector<devices::COmbrixUSBDevice*> devices) {
  {
    std::lock_guard lock(mutex_);
    settings_ = settings;
    devices_ = std::move(devices);
    ++generation_;
  }
  wake_.Set();
}

void SyncLighting::Run(const platform::ThreadParam& param) {
  // The slot hands over a cleared stop event; resetting it here could swallow an early stop.
  std::uint64_t seen = 0;
  std::optional<SyncEffect> effect;
  std::vector<devices::COmbrixUSBDevice*> devices;
  std::vector<devices::COmbrixUSBDevice*> taking_part;
  Clock::time_point last_step{};
  for (;;) {
    {
      std::lock_guard lock(mutex_);
      if (generation_ != seen) {
        seen = generation_;
        const auto now = Clock::now();
        effect.emplace(settings_, TickMs(now));
        devices = devices_;
        last_step = now;
      }
    }
    platform::Millis wait = platform::kInfinite;
    if (effect) {
      taking_part.clear();
      for (devices::COmbrixUSBDevice* d : devices) {
        const hid::CommandChannel& channel = d->CommandChannelRef();
        if (channel.IsOpen() && channel.LightSync()) taking_part.push_back(d);
      }
      if (!taking_part.empty()) {
        const auto period = effect->TicksPerStep() * devices::kLightTickPeriod;
        const auto now = Clock::now();
        if (now - last_step >= period) {
          const std::uint32_t color = effect->Step(TickMs(now));
          for (devices::COmbrixUSBDevice* d : taking_part) d->ShowSyncColor(color);
          steps_.fetch_add(1);
          // Late by less than a step: keep the pace; later: start again from now.
          last_step = now - last_step < 2 * period ? last_step + period : now;
        }
        wait = std::chrono::ceil<platform::Millis>(last_step + period - now);
        if (wait < platform::Millis(0)) wait = platform::Millis(0);
      }
    }
    if (platform::Event::WaitAny({param.stop, &wake_}, wait) == 0) {
      platform::Trace("同步灯光线程设定退出");
      ended_.Set();
      return;
    }
  }
}

}  // namespace brimvex::app
