// Instants around the daylight-saving changes of real zones: the face shows
// the local hour the zone gives, the repeated hour twice, the skipped one
// never, and the day and weekday stay those of the date.
#include "face/local_instant.h"

#include <stdlib.h>
#include <time.h>

#include <string>

#include <gtest/gtest.h>

#include "face/clock_source.h"
#include "face/frame.h"
#include "recorded_texts.h"

namespace {

class LocalInstantTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* zone = getenv("TZ");
    savedZone = zone != nullptr ? zone : "";
    hadZone = zone != nullptr;
  }
  void TearDown() override {
    if (hadZone) {
      setenv("TZ", savedZone.c_str(), 1);
    } else {
      unsetenv("TZ");
    }
    tzset();
  }
  void Zone(const char* name) {
    setenv("TZ", name, 1);
    tzset();
  }
  // The current labels of the day, weekday, hour and minute rings of frame
  // `k` counted from `at`, drawn in Arabic digits.
  std::string CurrentLabels(const char* at, long long k) {
    std::tm start{};
    EXPECT_TRUE(ParseLocalInstant(at, &start)) << at;
    std::tm now{};
    EXPECT_TRUE(FrameTime(start, k, &now)) << at << " + " << k;
    FaceLook look;
    look.NumeralStyle = 0;
    RecordingSurface surface;
    DrawFrame(surface, ComputeLayout(1280, 720, look.NumeralStyle), look, &now);
    std::string out;
    int ring = 0;
    for (const auto& t : Texts(surface)) {
      if (t.color != look.HighlightColor) continue;
      // The year, then month, day, weekday, hour, minute, second.
      if (ring >= 2 && ring <= 5) out += (out.empty() ? "" : " | ") + t.text;
      ++ring;
    }
    return out;
  }

  std::string savedZone;
  bool hadZone = false;
};

TEST_F(LocalInstantTest, BerlinSkipsAnHourInMarchAndRepeatsOneInOctober) {
  Zone("Europe/Berlin");
  // 29 March 2026, a Sunday: 02:00 CET is 03:00 CEST.
  EXPECT_EQ(CurrentLabels("2026-03-29 01:59:59", 0), "29 日 | 星期日 | 1 时 | 59 分");
  EXPECT_EQ(CurrentLabels("2026-03-29 01:59:59", 1), "29 日 | 星期日 | 3 时 | 0 分");
  // 25 October 2026: 03:00 CEST is 02:00 CET; 02:xx comes twice.
  EXPECT_EQ(CurrentLabels("2026-10-25 01:59:59", 1), "25 日 | 星期日 | 2 时 | 0 分");
  EXPECT_EQ(CurrentLabels("2026-10-25 01:59:59", 3600), "25 日 | 星期日 | 2 时 | 59 分");
  EXPECT_EQ(CurrentLabels("2026-10-25 01:59:59", 3601), "25 日 | 星期日 | 2 时 | 0 分");
  EXPECT_EQ(CurrentLabels("2026-10-25 01:59:59", 7201), "25 日 | 星期日 | 3 时 | 0 分");
}

TEST_F(LocalInstantTest, NewYorkRepeatsOneOClockInNovember) {
  Zone("America/New_York");
  EXPECT_EQ(CurrentLabels("2026-03-08 01:59:59", 1), "8 日 | 星期日 | 3 时 | 0 分");
  EXPECT_EQ(CurrentLabels("2026-11-01 00:59:59", 1), "1 日 | 星期日 | 1 时 | 0 分");
  EXPECT_EQ(CurrentLabels("2026-11-01 00:59:59", 3601), "1 日 | 星期日 | 1 时 | 0 分");
  EXPECT_EQ(CurrentLabels("2026-11-01 00:59:59", 7201), "1 日 | 星期日 | 2 时 | 0 分");
  // The last second of Saturday 31 October, then Sunday.
  EXPECT_EQ(CurrentLabels("2026-10-31 23:59:59", 0), "31 日 | 星期 6 | 23 时 | 59 分");
  EXPECT_EQ(CurrentLabels("2026-10-31 23:59:59", 1), "1 日 | 星期日 | 0 时 | 0 分");
}

TEST_F(LocalInstantTest, LordHoweShiftsByHalfAnHour) {
  Zone("Australia/Lord_Howe");
  // 4 October 2026: 02:00 standard time is 02:30 summer time.
  EXPECT_EQ(CurrentLabels("2026-10-04 01:59:59", 1), "4 日 | 星期日 | 2 时 | 30 分");
  // 5 April 2026: 02:00 summer time is 01:30 standard time; 01:30 to 01:59
  // come twice.
  EXPECT_EQ(CurrentLabels("2026-04-05 01:29:59", 1), "5 日 | 星期日 | 1 时 | 30 分");
  EXPECT_EQ(CurrentLabels("2026-04-05 01:29:59", 1801), "5 日 | 星期日 | 1 时 | 30 分");
  EXPECT_EQ(CurrentLabels("2026-04-05 01:29:59", 3601), "5 日 | 星期日 | 2 时 | 0 分");
}

TEST_F(LocalInstantTest, AStoppedClockShowsItsInstantInTheZoneOfTheMoment) {
  Zone("UTC");
  std::tm at{}, t{};
  ASSERT_TRUE(ParseLocalInstant("2026-12-09 10:08:30", &at));
  ASSERT_TRUE(FrameTime(at, 0, &t));
  EXPECT_EQ(t.tm_hour, 10);
  EXPECT_EQ(t.tm_wday, 3);
  for (const char* bad : {"", "2026-12-09", "2026-12-09 10:08", "2026-02-29 10:08:30",
                          "2026-12-09 24:00:00", "2026-12-09 10:08:61", "2026-12-09T10:08:30",
                          "1234567890-01-01 00:00:00", "2026-12-09 10:08:30 "}) {
    EXPECT_FALSE(ParseLocalInstant(bad, &at)) << bad;
  }
}

TEST_F(LocalInstantTest, TheSystemClockFollowsAChangeOfZone) {
  Zone("UTC");
  std::tm utc{};
  ASSERT_TRUE(ReadSystemClock(&utc));
  // A zone whose offset from UTC is never a whole hour shows another minute.
  Zone("Asia/Kathmandu");
  std::tm kathmandu{};
  ASSERT_TRUE(ReadSystemClock(&kathmandu));
  EXPECT_NE(utc.tm_min, kathmandu.tm_min);
}

}  // namespace
