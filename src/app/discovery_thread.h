#pragma once
// The discovery thread (worker slot 0): every 100 ms it enumerates the HID interfaces while some
// slot is free, recognises the supported ones with a trial open, and checks that every found
// interface is still there. Each change is handed to the UI thread, which handles it before the
// thread goes on.
#include <cstddef>
#include <cstdint>

#include "app/slot_table.h"
#include "platform/event.h"
#include "platform/hid_backend.h"
#include "platform/worker_thread.h"

namespace brimvex::app {

// What the thread needs of the controller.
class DiscoveryHost {
 public:
  virtual ~DiscoveryHost() = default;
  // Hands the slot message (0x0C12 found, 0x0C13 lost) to the UI thread and waits until it has
  // been handled. False when `abort` was set first or the UI loop has ended.
  virtual bool SendSlotMessage(std::uint32_t message, std::size_t slot, platform::Event* abort) = 0;
  // Posts the first-pass message (UWM_APP_INSTANCE with 0, 0) to the main window.
  virtual void PostFirstPass() = 0;
};

struct DiscoveryContext {
  SlotTable* slot_table = nullptr;
  platform::HidBackend* backend = nullptr;
  DiscoveryHost* host = nullptr;
  platform::Millis period{100};
};

// The thread body. Ends when the stop event is set (with the trace "抓取设备线程设定退出"), when
// an enumeration fails (silently) or when a hand-over to the UI thread is refused.
void DiscoveryThread(const platform::ThreadParam& param, const DiscoveryContext& context);

}  // namespace brimvex::app
