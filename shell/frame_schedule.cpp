#include "shell/frame_schedule.h"

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
