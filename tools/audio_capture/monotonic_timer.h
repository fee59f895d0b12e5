#pragma once
// A one-shot timer on the monotonic clock for the main loop (a timerfd watched by the loop), so
// pacing does not follow jumps of the wall clock as the loop's own time events would.
#include <pulse/mainloop-api.h>

#include <cstdint>
#include <functional>

namespace brimvex::capture {

// Microseconds of CLOCK_MONOTONIC.
std::uint64_t MonotonicNowUsec();

class MonotonicTimer {
 public:
  MonotonicTimer(pa_mainloop_api* api, std::function<void()> on_expiry);
  ~MonotonicTimer();
  MonotonicTimer(const MonotonicTimer&) = delete;
  MonotonicTimer& operator=(const MonotonicTimer&) = delete;

  // Fires once at `at_usec` (MonotonicNowUsec time); re-arming replaces the deadline.
  void Arm(std::uint64_t at_usec);
  void Disarm();

 private:
  static void OnReadable(pa_mainloop_api* api, pa_io_event* e, int fd, pa_io_event_flags_t events, void* self);

  pa_mainloop_api* api_;
  std::function<void()> on_expiry_;
  int fd_ = -1;
  pa_io_event* io_ = nullptr;
};

}  // namespace brimvex::capture
