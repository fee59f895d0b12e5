#include "monotonic_timer.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <stdexcept>
#include <string>

namespace brimvex::capture {

std::uint64_t MonotonicNowUsec() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * 1000000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000u;
}

MonotonicTimer::MonotonicTimer(pa_mainloop_api* api, std::function<void()> on_expiry)
    : api_(api), on_expiry_(std::move(on_expiry)), fd_(timerfd_create(CLOCK_MONOTONIC, TFD_CLOEXEC | TFD_NONBLOCK)) {
  if (fd_ < 0) throw std::runtime_error(std::string("timerfd_create: ") + std::strerror(errno));
  io_ = api_->io_new(api_, fd_, PA_IO_EVENT_INPUT, &MonotonicTimer::OnReadable, this);
}

MonotonicTimer::~MonotonicTimer() {
  if (io_ != nullptr) api_->io_free(io_);
  ::close(fd_);
}

void MonotonicTimer::Arm(std::uint64_t at_usec) {
  itimerspec spec{};
  // 0 would disarm: a deadline at the clock's origin is long past anyway.
  if (at_usec == 0) at_usec = 1;
  spec.it_value.tv_sec = static_cast<time_t>(at_usec / 1000000u);
  spec.it_value.tv_nsec = static_cast<long>(at_usec % 1000000u) * 1000;
  timerfd_settime(fd_, TFD_TIMER_ABSTIME, &spec, nullptr);
}

void MonotonicTimer::Disarm() {
  const itimerspec off{};
  timerfd_settime(fd_, 0, &off, nullptr);
}

void MonotonicTimer::OnReadable(pa_mainloop_api*, pa_io_event*, int fd, pa_io_event_flags_t, void* self) {
  std::uint64_t expirations = 0;
  if (::read(fd, &expirations, sizeof expirations) != static_cast<ssize_t>(sizeof expirations)) return;
  static_cast<MonotonicTimer*>(self)->on_expiry_();
}

}  // namespace brimvex::capture
