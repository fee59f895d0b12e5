#pragma once
// The desktop's input devices as live input records: the key and button events of evdev in the
// order libevdev hands them (auto-repeats as presses; after SYN_DROPPED the deltas that bring the
// state up to date, then a SYN_REPORT), each stamped with its own time on the loop's clock.
#include <linux/input.h>

#include <functional>
#include <optional>
#include <set>
#include <variant>

#include "platform/event_loop.h"
#include "platform/input_capture.h"

namespace brimvex::platform {

using LiveRecord = std::variant<KeyRecord, MouseRecord>;

class EvdevRecordMaker {
 public:
  // Whether the pointer is over the recording's stop button, asked at each button event.
  using StopProbe = std::function<bool()>;
  explicit EvdevRecordMaker(StopProbe over_stop = {}) : over_stop_(std::move(over_stop)) {}

  // The record of one event (`time` is the event's stamp on the loop's clock); nullopt for
  // events that are no key or button change, keys a macro cannot hold and buttons without a
  // message. Between a SYN_DROPPED and the sync's SYN_REPORT only changes against the state
  // known before it are taken (libevdev's deltas; a repeat of a key already down is no change).
  std::optional<LiveRecord> Take(const input_event& event, Millis time);

  // The keys and buttons down, as Linux codes.
  const std::set<int>& Down() const { return down_; }

 private:
  StopProbe over_stop_;
  std::set<int> down_;
  bool syncing_ = false;
};

}  // namespace brimvex::platform
