#pragma once
// The local wall-clock time, broken down, with milliseconds.

namespace brimvex::platform {

struct LocalTime {
  int year = 0;   // e.g. 2024
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

LocalTime LocalTimeNow();

}  // namespace brimvex::platform
