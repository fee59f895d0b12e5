#pragma once
// Input events carry the time they happened: the window system's milliseconds (X11 and Wayland
// give 32 bits, which wrap after 49.7 days), or 0 when an event has none. StampClock maps them
// onto the loop's clock, so that the pauses between records are the pauses between the events and
// not between the moments the UI thread got to them.
#include <cstdint>
#include <optional>

#include "platform/event_loop.h"

namespace brimvex::platform {

class StampClock {
 public:
  // A lag this long is still taken for the stamp clock matching the expected one.
  static constexpr Millis kTrustedLag{5000};

  // Starts over: the next stamped event is placed afresh.
  void Reset();
  // The loop clock less the stamp clock, when the stamps are likely on a known clock (the X
  // server's and most compositors' are CLOCK_MONOTONIC). The first stamped event takes it when it
  // places the event no later than `now` and at most kTrustedLag before; otherwise that event is
  // placed at `now`.
  void Expect(Millis offset) { expected_ = offset; }

  // The loop time of an event stamped `stamp`, taken from the queue at loop time `now`. Each
  // stamped event lies the stamps' difference after the one before; an event never lies after
  // `now` (the placement moves back to `now` and later events follow it), a stamp before the last
  // one (another clock) is placed at `now`, an event without a stamp is placed at `now`, and the
  // times handed out never go back.
  Millis Map(std::uint64_t stamp, Millis now);

 private:
  std::optional<Millis> expected_;
  bool placed_ = false;          // a stamped event was placed since Reset
  std::uint64_t last_stamp_ = 0;
  Millis last_placed_{0};        // where the last stamped event was placed
  std::optional<Millis> last_given_;  // the last time handed out
};

}  // namespace brimvex::platform
