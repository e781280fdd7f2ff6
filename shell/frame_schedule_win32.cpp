#include "shell/frame_schedule.h"

#include <windows.h>

long long WallClockNanosecondsIntoSecond() {
  // 100-nanosecond units since 1601, a whole number of seconds before 1970.
  FILETIME now;
  GetSystemTimePreciseAsFileTime(&now);
  const unsigned long long units =
      (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  return static_cast<long long>(units % 10000000ULL) * 100;
}
