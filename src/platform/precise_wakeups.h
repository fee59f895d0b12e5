#pragma once
// While a PreciseWakeups lives, the calling thread's timed waits wake at their deadline instead of
// up to the kernel's timer slack (50 us by default) after it; the thread's own slack is restored
// when it ends. For waits whose deadline is the event itself: an answer due at a known time, a
// pause of a fixed length.

namespace brimvex::platform {

class PreciseWakeups {
 public:
  PreciseWakeups();
  ~PreciseWakeups();
  PreciseWakeups(const PreciseWakeups&) = delete;
  PreciseWakeups& operator=(const PreciseWakeups&) = delete;

 private:
  long previous_ = -1;  // the slack to restore; -1 when it was not changed
};

}  // namespace brimvex::platform
