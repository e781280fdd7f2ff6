#include "shell/frame_schedule.h"

#include <time.h>

long long WallClockNanosecondsIntoSecond() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return now.tv_nsec;
}

long long WallClockStepNanoseconds() {
  return 0;  // CLOCK_REALTIME reads to the nanosecond
}
