#pragma once
// Identifiers of profiles and macros: the local time when the item was made, formatted
// "%d_%02d_%02d_%02d_%02d_%02d_%03d" (2023_05_07_14_03_09_042). An identifier names its file for
// good, so identifiers handed out by one process never repeat and always ascend.
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "platform/local_time.h"

namespace brimvex::profiles {

inline constexpr std::size_t kMaxIdentifierLength = 199;

// The identifier of a given time.
std::string FormatIdentifier(const platform::LocalTime& t);

// Whether a string has the shape of an identifier: digits, then five groups "_" + two digits,
// then "_" + three digits, at most 199 characters. Only such a string may become a file name.
bool IsIdentifier(std::string_view text);

// Hands out strictly ascending identifiers: a time not after the last one issued becomes the
// last one plus 1 ms (carried through seconds, days, months and years).
class IdentifierIssuer {
 public:
  std::string Next(const platform::LocalTime& now);

 private:
  std::mutex mutex_;
  std::optional<std::int64_t> last_;  // milliseconds of local time since 1970-01-01
};

// The next identifier of the process-wide issuer, from the current local time.
std::string NewIdentifier();

}  // namespace brimvex::profiles
