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

int MillisecondsToNextTick(long long nanosecondsIntoSecond) {
  long long into = nanosecondsIntoSecond % kNanosecondsPerSecond;
  if (into < 0) into += kNanosecondsPerSecond;
  const long long wait = kNanosecondsPerSecond - into + kTickMarginMilliseconds * kNanosecondsPerMillisecond;
  return static_cast<int>((wait + kNanosecondsPerMillisecond - 1) / kNanosecondsPerMillisecond);
}

long long WallClockNanosecondsIntoSecond() {
#ifdef _WIN32
  // 100-nanosecond units since 1601, a whole number of seconds before 1970.
  FILETIME now;
  GetSystemTimePreciseAsFileTime(&now);
  const unsigned long long units =
      (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  return static_cast<long long>(units % 10000000ULL) * 100;
#else
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return now.tv_nsec;
#endif
}
