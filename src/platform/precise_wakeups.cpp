#include "platform/precise_wakeups.h"

#include <sys/prctl.h>

namespace brimvex::platform {

// 1 ns: a slack of 0 would mean "the default" to the kernel.
PreciseWakeups::PreciseWakeups() {
  const int slack = prctl(PR_GET_TIMERSLACK, 0UL, 0UL, 0UL, 0UL);
  if (slack > 1 && prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL) == 0) previous_ = slack;
}

PreciseWakeups::~PreciseWakeups() {
  if (previous_ > 1) prctl(PR_SET_TIMERSLACK, static_cast<unsigned long>(previous_), 0UL, 0UL, 0UL);
}

}  // namespace brimvex::platform
