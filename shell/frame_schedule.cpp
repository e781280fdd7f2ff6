#include "shell/frame_schedule.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

namespace {

constexpr long long kNanosecondsPerSecond = 1000000000LL;
constexpr long long kNanosecondsPerMillisecond = 1000000LL;

}  // namespace

int MillisecondsToNextTick(long long nanosecondsIntoSecond, long long clockStepNanoseconds) {
  long long into = nanosecondsIntoSecond % kNanosecondsPerSecond;
  if (into < 0) into += kNanosecondsPerSecond;
  const long long step = clockStepNanoseconds > 0 && clockStepNanoseconds < kNanosecondsPerSecond / 2
                             ? clockStepNanoseconds
                             : 0;
  const long long wait =
      kNanosecondsPerSecond - into + step + kTickMarginMilliseconds * kNanosecondsPerMillisecond;
  return static_cast<int>((wait + kNanosecondsPerMillisecond - 1) / kNanosecondsPerMillisecond);
}

long long WallClockNanosecondsIntoSecond() {
#ifdef _WIN32
  // 100-nanosecond units since 1601, a whole number of seconds before 1970.
  // The clock the face's own reading of the time comes from (the C library's
  // time()), so both agree on which second it is.
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const unsigned long long units =
      (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  return static_cast<long long>(units % 10000000ULL) * 100;
#else
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return now.tv_nsec;
#endif
}

long long WallClockStepNanoseconds() {
#ifdef _WIN32
  // Windows' clock moves in timer ticks (64 a second unless a program asks
  // for more); the increment is in 100-nanosecond units.
  DWORD adjustment = 0, increment = 0;
  BOOL disabled = FALSE;
  if (!GetSystemTimeAdjustment(&adjustment, &increment, &disabled) || increment == 0) {
    increment = 156250;
  }
  return static_cast<long long>(increment) * 100;
#else
  return 0;  // CLOCK_REALTIME reads to the nanosecond
#endif
}
