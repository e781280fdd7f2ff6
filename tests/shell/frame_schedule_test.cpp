// The frame schedule: every tick lands just after a whole second of the wall
// clock, whatever the drawing costs, however late the wake-ups, and after any
// step of the clock.
#include "shell/frame_schedule.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

constexpr long long kSecond = 1000000000LL;
constexpr long long kMs = 1000000LL;

TEST(FrameSchedule, WaitsUntilJustAfterTheNextWholeSecond) {
  EXPECT_EQ(MillisecondsToNextTick(0), 1000 + kTickMarginMilliseconds);  // exactly on a second
  EXPECT_EQ(MillisecondsToNextTick(1), 1000 + kTickMarginMilliseconds);  // rounded up, never early
  EXPECT_EQ(MillisecondsToNextTick(1 * kMs), 999 + kTickMarginMilliseconds);
  EXPECT_EQ(MillisecondsToNextTick(500 * kMs), 500 + kTickMarginMilliseconds);
  EXPECT_EQ(MillisecondsToNextTick(999 * kMs), 1 + kTickMarginMilliseconds);
  EXPECT_EQ(MillisecondsToNextTick(kSecond - 1), 1 + kTickMarginMilliseconds);  // just before
}

TEST(FrameSchedule, AnyReadingIsTakenWithinItsSecond) {
  // A clock before 1970 gives negative remainders; a reading of several
  // seconds (or of the largest number) is still a place within a second.
  EXPECT_EQ(MillisecondsToNextTick(-1), MillisecondsToNextTick(kSecond - 1));
  EXPECT_EQ(MillisecondsToNextTick(-kSecond), MillisecondsToNextTick(0));
  EXPECT_EQ(MillisecondsToNextTick(7 * kSecond + 250 * kMs), MillisecondsToNextTick(250 * kMs));
  for (long long reading : {LLONG_MIN, LLONG_MIN + 1, LLONG_MAX, -3600 * kSecond - 1}) {
    const int wait = MillisecondsToNextTick(reading);
    EXPECT_GT(wait, kTickMarginMilliseconds) << reading;
    EXPECT_LE(wait, 1000 + kTickMarginMilliseconds) << reading;
  }
}

// The saver's loop, simulated: each frame reads the wall clock, takes a while
// to draw, and sleeps until the schedule's deadline plus some lateness. The
// seconds shown must run on one by one, never skipping or repeating one.
struct SimulatedLoop {
  long long wall = 0;       // wall clock, nanoseconds
  std::vector<long long> shown;

  void Frame(long long drawing, long long lateness) {
    shown.push_back(FloorSecond(wall));
    wall += drawing;
    wall += MillisecondsToNextTick(wall) * kMs + lateness;
  }
  static long long FloorSecond(long long t) { return t >= 0 ? t / kSecond : -((-t + kSecond - 1) / kSecond); }
};

TEST(FrameSchedule, NoSecondIsSkippedOrRepeatedWhateverTheDrawingCosts) {
  SimulatedLoop run;
  run.wall = 1765275000LL * kSecond + 123 * kMs;
  unsigned pseudo = 12345;
  for (int i = 0; i < 20000; ++i) {
    pseudo = pseudo * 1103515245u + 12345u;
    const long long drawing = (pseudo >> 8) % (40 * kMs);  // up to 40 ms a frame
    const long long lateness = (pseudo >> 4) % (4 * kMs);   // woken up to 4 ms late
    run.Frame(drawing, lateness);
  }
  for (std::size_t i = 1; i < run.shown.size(); ++i) ASSERT_EQ(run.shown[i], run.shown[i - 1] + 1) << i;
}

TEST(FrameSchedule, AClockThatMovesInStepsSkipsNoSecondEither) {
  // Windows' clock moves 64 times a second: the frame and the schedule both
  // read it up to a step behind the real time, whatever the phase of the
  // steps against the seconds.
  constexpr long long kStep = 15625000;
  for (long long phase = 0; phase < kStep; phase += kStep / 7) {
    long long wall = 1765275000LL * kSecond + 123 * kMs;
    const auto read = [&] { return wall - (wall - phase) % kStep; };
    std::vector<long long> shown;
    unsigned pseudo = 777;
    for (int i = 0; i < 3000; ++i) {
      pseudo = pseudo * 1103515245u + 12345u;
      shown.push_back(SimulatedLoop::FloorSecond(read()));
      wall += (pseudo >> 8) % (20 * kMs);  // drawing
      wall += MillisecondsToNextTick(read(), kStep) * kMs + (pseudo >> 4) % (2 * kMs);
    }
    for (std::size_t i = 1; i < shown.size(); ++i) ASSERT_EQ(shown[i], shown[i - 1] + 1) << phase << " " << i;
  }
}

TEST(FrameSchedule, AfterAStepOfTheClockTheNextFrameShowsTheNewTimeAndRunsOn) {
  for (long long step : {-3600 * kSecond, 3600 * kSecond, -kSecond / 2, 86400LL * 365 * kSecond}) {
    SimulatedLoop run;
    run.wall = 1765275000LL * kSecond;
    for (int i = 0; i < 5; ++i) run.Frame(3 * kMs, kMs);
    // The clock is set while the saver waits: the wait already begun ends as
    // planned (at most a second), and the frame then reads the new time.
    run.wall += step;
    const std::size_t first = run.shown.size();
    for (int i = 0; i < 10; ++i) run.Frame(3 * kMs, kMs);
    EXPECT_EQ(run.shown[first], SimulatedLoop::FloorSecond(run.wall) - 10) << step;
    for (std::size_t i = first + 1; i < run.shown.size(); ++i) {
      EXPECT_EQ(run.shown[i], run.shown[i - 1] + 1) << step;
    }
  }
}

TEST(FrameSchedule, TheWallClockIsReadWithinASecond) {
  const long long into = WallClockNanosecondsIntoSecond();
  EXPECT_GE(into, 0);
  EXPECT_LT(into, kSecond);
  EXPECT_GE(WallClockStepNanoseconds(), 0);
  EXPECT_LT(WallClockStepNanoseconds(), kSecond / 2);
}

}  // namespace
