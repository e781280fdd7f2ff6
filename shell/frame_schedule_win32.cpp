#include "shell/frame_schedule.h"

#include <windows.h>

long long WallClockNanosecondsIntoSecond() {
  // 100-nanosecond units since 1601, a whole number of seconds before 1970.
  // The clock the face's own reading of the time comes from (the C library's
  // time()), so both agree on which second it is.
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const unsigned long long units =
      (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  return static_cast<long long>(units % 10000000ULL) * 100;
}

long long WallClockStepNanoseconds() {
  // Windows' clock moves in timer ticks (64 a second unless a program asks
  // for more); the increment is in 100-nanosecond units.
  DWORD adjustment = 0, increment = 0;
  BOOL disabled = FALSE;
  if (!GetSystemTimeAdjustment(&adjustment, &increment, &disabled) || increment == 0) {
    increment = 156250;
  }
  return static_cast<long long>(increment) * 100;
}
