#include "face/clock_source.h"

ClockSourceFn ClockSource = ReadSystemClock;
