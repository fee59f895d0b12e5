#include "platform/local_time.h"

#include <chrono>
#include <ctime>

namespace brimvex::platform {

LocalTime LocalTimeNow() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  std::tm tm{};
  ::localtime_r(&t, &tm);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
  return LocalTime{tm.tm_year + 1900,           tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec,
                   static_cast<int>(ms.count())};
}

}  // namespace brimvex::platform
