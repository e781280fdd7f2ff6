// When the next regular frame is due: just after the next whole second of the
// wall clock, so every second is shown once and as it begins. Worked out
// afresh after every frame, so a drawing time, a late wake-up or a step of the
// clock never accumulates.
#pragma once

// How long after the whole second a frame is due, so the time it reads lies
// inside the new second even when the wake-up is a little early or the wall
// clock and the timer's clock disagree by a millisecond.
inline constexpr int kTickMarginMilliseconds = 5;

// Milliseconds from an instant `nanosecondsIntoSecond` past a whole second of
// the wall clock (any value: it is taken modulo one second) to the next whole
// second plus the margin, rounded up: from kTickMarginMilliseconds + 1 just
// before a second to 1000 + kTickMarginMilliseconds exactly on one. A clock
// that moves in steps of `clockStepNanoseconds` reads up to a step behind:
// the wait is a step longer, so the frame's reading is past the second too
// (steps of half a second or more are taken for a broken report: none).
int MillisecondsToNextTick(long long nanosecondsIntoSecond, long long clockStepNanoseconds = 0);

// Nanoseconds past the current whole second of the real wall clock (never the
// stopped clock of the tests).
long long WallClockNanosecondsIntoSecond();
// How far the wall clock may read behind the real time: the length of its
// steps (0 where it reads to the nanosecond).
long long WallClockStepNanoseconds();
