#include "shell/frame_schedule.h"

#include <time.h>

long long WallClockNanosecondsIntoSecond() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return now.tv_nsec;
}
