#include "platform/input_stamps.h"

#include <algorithm>

namespace brimvex::platform {
namespace {

constexpr std::uint64_t k32 = std::uint64_t{1} << 32;

// b - a, across one wrap of 32-bit stamps.
std::int64_t StampDifference(std::uint64_t a, std::uint64_t b) {
  if (a < k32 && b < k32) return static_cast<std::int32_t>(static_cast<std::uint32_t>(b - a));
  return static_cast<std::int64_t>(b - a);
}

}  // namespace

void StampClock::Reset() {
  placed_ = false;
  last_given_.reset();
}

Millis StampClock::Map(std::uint64_t stamp, Millis now) {
  Millis at = now;
  if (stamp != 0) {
    if (placed_) {
      const std::int64_t d = StampDifference(last_stamp_, stamp);
      if (d >= 0) at = std::min(now, last_placed_ + Millis(d));
    } else if (expected_) {
      // How long ago the event happened if the stamps are on the expected clock (32-bit stamps
      // are that clock's low 32 bits).
      std::uint64_t clock_now = static_cast<std::uint64_t>((now - *expected_).count());
      if (stamp < k32) clock_now &= k32 - 1;
      const std::int64_t lag = StampDifference(stamp, clock_now);
      if (lag >= 0 && Millis(lag) <= kTrustedLag) at = now - Millis(lag);
    }
    placed_ = true;
    last_stamp_ = stamp;
    last_placed_ = at;
  }
  if (last_given_) at = std::max(at, *last_given_);
  last_given_ = at;
  return at;
}

}  // namespace brimvex::platform
