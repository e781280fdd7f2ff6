// Where a frame's instant comes from: the local clock, or a source of the
// caller's own in its place (a test's, a stopped clock).
#pragma once

#include <ctime>

// Fills `out` with the local broken-down time of this instant. Returns false
// when the clock cannot be converted (out of the conversion's range).
using ClockSourceFn = bool (*)(std::tm* out);

// The system clock: `time` and the local-time conversion, in the system's
// time zone of this moment.
bool ReadSystemClock(std::tm* out);

// Local-time conversion of a calendar time; false when out of range.
bool ToLocalTime(long long seconds, std::tm* out);
