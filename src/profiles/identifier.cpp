#include "profiles/identifier.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace brimvex::profiles {
namespace {

namespace chr = std::chrono;

std::int64_t ToMillis(const platform::LocalTime& t) {
  const chr::sys_days day =
      chr::year{t.year} / chr::month{static_cast<unsigned>(t.month)} / chr::day{static_cast<unsigned>(t.day)};
  const auto time =
      chr::hours{t.hour} + chr::minutes{t.minute} + chr::seconds{t.second} + chr::milliseconds{t.millisecond};
  return chr::duration_cast<chr::milliseconds>(day.time_since_epoch() + time).count();
}

platform::LocalTime FromMillis(std::int64_t ms) {
  const chr::milliseconds total{ms};
  const chr::sys_days day = chr::floor<chr::days>(chr::sys_time<chr::milliseconds>{total});
  const chr::year_month_day ymd{day};
  auto rest = total - day.time_since_epoch();
  const chr::hh_mm_ss<chr::milliseconds> hms{chr::duration_cast<chr::milliseconds>(rest)};
  return platform::LocalTime{static_cast<int>(ymd.year()),
                             static_cast<int>(static_cast<unsigned>(ymd.month())),
                             static_cast<int>(static_cast<unsigned>(ymd.day())),
                             static_cast<int>(hms.hours().count()),
                             static_cast<int>(hms.minutes().count()),
                             static_cast<int>(hms.seconds().count()),
                             static_cast<int>(hms.subseconds().count())};
}

bool IsDigits(std::string_view s, std::size_t count) {
  if (s.size() != count) return false;
  for (const char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

std::string FormatIdentifier(const platform::LocalTime& t) {
  char buffer[kMaxIdentifierLength + 1];
  const int n = std::snprintf(buffer, sizeof buffer, "%d_%02d_%02d_%02d_%02d_%02d_%03d", t.year, t.month, t.day, t.hour,
                              t.minute, t.second, t.millisecond);
  if (n < 0 || static_cast<std::size_t>(n) > kMaxIdentifierLength) std::abort();  // cannot happen with real dates
  return buffer;
}

bool IsIdentifier(std::string_view text) {
  // From the end: "_" + 3 digits, then five times "_" + 2 digits; what is left is the year.
  if (text.size() > kMaxIdentifierLength || text.size() < 4 + 5 * 3 + 1) return false;
  if (!IsDigits(text.substr(text.size() - 3), 3) || text[text.size() - 4] != '_') return false;
  text.remove_suffix(4);
  for (int group = 0; group < 5; ++group) {
    if (text.size() < 3 || !IsDigits(text.substr(text.size() - 2), 2) || text[text.size() - 3] != '_') return false;
    text.remove_suffix(3);
  }
  if (text.empty()) return false;
  for (const char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

std::string IdentifierIssuer::Next(const platform::LocalTime& now) {
  std::lock_guard lock(mutex_);
  const std::int64_t ms = ToMillis(now);
  if (!last_ || ms > *last_) {
    last_ = ms;
    return FormatIdentifier(now);
  }
  last_ = *last_ + 1;
  return FormatIdentifier(FromMillis(*last_));
}

std::string NewIdentifier() {
  static IdentifierIssuer issuer;
  return issuer.Next(platform::LocalTimeNow());
}

}  // namespace brimvex::profiles
