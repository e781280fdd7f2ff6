#include <gtest/gtest.h>

#include "face/ring.h"
#include "recorded_texts.h"

namespace {

// A 1920 x 1080 face in theme 0 whose rings are drawn one at a time.
class RingTest : public ::testing::Test {
 protected:
  void Style(std::int16_t numeralStyle) {
    look.NumeralStyle = numeralStyle;
    style = NumeralStyleFor(numeralStyle);
    layout = ComputeLayout(1920, 1080, numeralStyle);
    surface.Clear();
  }
  void SetUp() override {
    UpdateHighlightColor(look);
    Style(1);
  }
  void Draw(const RingSpec& ring) { DrawRing(RingPen{surface, layout, look, style, work}, ring); }
  std::vector<DrawnText> Texts() const { return ::Texts(surface); }
  ColorRef Shade(int step, int counter) const { return FadeColor(look.ThemeIndex, step, counter); }

  RecordingSurface surface;
  FaceLook look;
  NumeralStyleRow style = NumeralStyleFor(1);
  FaceLayout layout;
  RingWork work;
  const ColorRef& HighlightColor = look.HighlightColor;
  const float& StepAngle = work.StepAngle;
  const float& FadeStep = work.FadeStep;
  float& RingAngle = work.RingAngle;
};

TEST_F(RingTest, ArabicSecondRingAtHalfMinute) {
  Style(0);
  Draw({.radius = layout.SecondRadius, .current = 30, .first = 0,
        .last = 59, .unit = kSecondUnit, .fadeDown = true});
  const auto t = Texts();
  ASSERT_EQ(t.size(), 60u);
  EXPECT_EQ(StepAngle, 6.0f);
  EXPECT_EQ(static_cast<int>(FadeStep), 3);
  // The current value at 3 o'clock: the sine of 360 degrees is not quite 0,
  // which puts the label on row 522 rather than 523.
  EXPECT_EQ(t[0].text, "30 秒");
  EXPECT_EQ(t[0].x, 1378);
  EXPECT_EQ(t[0].y, 522);
  EXPECT_EQ(t[0].color, HighlightColor);
  // 31 just above 3 o'clock, 59 and 0 on the left, 29 just below.
  EXPECT_EQ(t[1].text, "31  ");
  EXPECT_EQ(t[1].x, 1375);
  EXPECT_EQ(t[1].y, 479);
  EXPECT_EQ(t[29].text, "59  ");
  EXPECT_EQ(t[29].x, 544);
  EXPECT_EQ(t[29].y, 479);
  EXPECT_EQ(t[30].text, "0  ");
  EXPECT_EQ(t[30].x, 542);
  EXPECT_EQ(t[30].y, 523);
  EXPECT_EQ(t[59].text, "29  ");
  EXPECT_EQ(t[59].x, 1375);
  EXPECT_EQ(t[59].y, 566);
  // Counting down: 31 has counter 59, 29 has counter 1.
  EXPECT_EQ(t[1].color, Shade(3, 59));
  EXPECT_EQ(t[59].color, Shade(3, 1));
  for (const auto& e : t) EXPECT_EQ(e.escapement, 0) << e.text;
}

TEST_F(RingTest, ChineseSecondRingRunsTheOtherWayToTheSamePlaces) {
  Draw({.radius = layout.SecondRadius, .current = 30, .first = 0,
        .last = 59, .unit = kSecondUnit, .fadeDown = true});
  const auto t = Texts();
  // 三十秒 along the ray at 360 degrees, then one character per value.
  ASSERT_GE(t.size(), 3u);
  EXPECT_EQ(t[0].text, "三");
  EXPECT_EQ(t[0].x, 1415);
  EXPECT_EQ(t[0].y, 535);
  EXPECT_EQ(t[0].escapement, 3600);
  EXPECT_EQ(t[1].text, "十");
  EXPECT_EQ(t[1].x, 1415 + 19);
  EXPECT_EQ(t[2].text, "秒");
  EXPECT_EQ(t[2].x, 1415 + 38);
  // 31 (三十一) at 6 degrees: just above 3 o'clock.
  EXPECT_EQ(t[3].text, "三");
  EXPECT_EQ(t[3].escapement, 60);
  EXPECT_EQ(t[3].x, 1412);
  EXPECT_EQ(t[3].y, 488);
  EXPECT_EQ(t[3].color, Shade(3, 59));
  // Find 0 (零) and 29 (二十九) by colour counter order: 0 is the 30th entry.
  int entry = 0;
  std::vector<size_t> starts;
  for (size_t i = 0; i < t.size(); ++i) {
    if (i == 0 || t[i].escapement != t[i - 1].escapement || t[i].color != t[i - 1].color) {
      starts.push_back(i);
      ++entry;
    }
  }
  ASSERT_EQ(starts.size(), 60u);
  const auto& zero = t[starts[30]];
  EXPECT_EQ(zero.text, "零");
  EXPECT_EQ(zero.escapement, 1800);
  EXPECT_EQ(zero.x, 505);
  EXPECT_EQ(zero.y, 535);
  const auto& last = t[starts[59]];
  EXPECT_EQ(last.text, "二");
  EXPECT_EQ(last.escapement, 3540);
  EXPECT_EQ(last.x, 1412);
  EXPECT_EQ(last.y, 582);
  EXPECT_EQ(last.color, Shade(3, 1));
}

TEST_F(RingTest, MinuteRingCountsShadesUp) {
  Style(0);
  Draw({.radius = layout.MinuteRadius, .current = 30, .first = 0, .last = 59, .unit = kMinuteUnit});
  const auto t = Texts();
  ASSERT_EQ(t.size(), 60u);
  EXPECT_EQ(t[0].text, "30 分");
  EXPECT_EQ(t[1].color, Shade(3, 1));
  EXPECT_EQ(t[59].color, Shade(3, 59));
}

TEST_F(RingTest, StepAnglesAndFadeSteps) {
  struct Case {
    int last, weekday;
    float step;
    int fade;
  } cases[] = {{12, 0, 30.0f, 16}, {31, 0, 11.612904f, 6}, {30, 0, 12.0f, 6},
               {29, 0, 12.413794f, 6}, {28, 0, 12.857142f, 7}, {6, 1, 51.42857f, 33},
               {23, 0, 15.0f, 8}, {59, 0, 6.0f, 3}};
  for (const Case& c : cases) {
    Draw({.radius = 100, .current = 1, .first = c.weekday ? 0 : 1,
          .last = c.last, .weekdayRing = c.weekday != 0});
    EXPECT_FLOAT_EQ(StepAngle, c.step) << c.last;
    EXPECT_EQ(static_cast<int>(FadeStep), c.fade) << c.last;
  }
}

TEST_F(RingTest, ArabicWeekdayRing) {
  Style(0);
  Draw({.radius = layout.WeekdayRadius, .current = 3, .first = 0,
        .last = 6, .weekdayRing = true});  // Wednesday
  auto t = Texts();
  ASSERT_EQ(t.size(), 7u);
  EXPECT_EQ(t[0].text, "星期 3");
  EXPECT_EQ(t[0].x, 1169);  // (960 + 220) - 11
  EXPECT_EQ(t[0].y, 523);   // no sine involved
  const char* rest[] = {"4  ", "5  ", "6  ", "7  ", "1  ", "2  "};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(t[i + 1].text, rest[i]);

  surface.Clear();
  Draw({.radius = layout.WeekdayRadius, .current = 0, .first = 0,
        .last = 6, .weekdayRing = true});  // Sunday
  t = Texts();
  ASSERT_EQ(t.size(), 7u);
  EXPECT_EQ(t[0].text, "星期日");
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(t[i].text, std::to_string(i) + "  ");
}

TEST_F(RingTest, ChineseWeekdayRingOnSunday) {
  Draw({.radius = layout.WeekdayRadius, .current = 0, .first = 0, .last = 6, .weekdayRing = true});
  const auto t = Texts();
  ASSERT_EQ(t.size(), 21u);
  // 星期天 starts half a FontHeight further out: 209 + 9.5 -> 218.
  EXPECT_EQ(t[0].text + t[1].text + t[2].text, "星期天");
  EXPECT_EQ(t[0].x, 960 + 218);
  EXPECT_EQ(t[0].y, 535);
  EXPECT_EQ(t[0].escapement, 3600);
  const char* names[] = {"一", "二", "三", "四", "五", "六"};
  const int escapements[] = {510, 1020, 1540, 2050, 2570, 3080};
  const int xs[] = {1090, 914, 772, 772, 914, 1090};
  const int ys[] = {372, 332, 445, 625, 738, 698};
  for (int i = 0; i < 6; ++i) {
    const auto& first = t[3 + 3 * i];
    EXPECT_EQ(first.text + t[4 + 3 * i].text + t[5 + 3 * i].text, std::string("星期") + names[i]);
    EXPECT_EQ(first.escapement, escapements[i]);
    EXPECT_EQ(first.x, xs[i]);
    EXPECT_EQ(first.y, ys[i]);
    EXPECT_EQ(first.face, "楷体");
    EXPECT_EQ(first.weight, 500);
  }

  Style(2);
  Draw({.radius = layout.WeekdayRadius, .current = 0, .first = 0, .last = 6, .weekdayRing = true});
  const auto f = Texts();
  EXPECT_EQ(f[2].text, "天");
  EXPECT_EQ(f[5].text, "壹");
  EXPECT_EQ(f[20].text, "陆");
}

TEST_F(RingTest, LeapSecondDrawsTheValuesBelowIt) {
  Style(0);
  RingAngle = 0.0f;  // as after start-up
  Draw({.radius = layout.SecondRadius, .current = 60, .first = 0,
        .last = 59, .unit = kSecondUnit, .fadeDown = true});
  const auto t = Texts();
  ASSERT_EQ(t.size(), 60u);
  EXPECT_EQ(t[0].text, "0  ");
  EXPECT_EQ(t[59].text, "59  ");
  EXPECT_EQ(t[0].x, 1378);  // the carried angle jumps to 360
  EXPECT_EQ(t[0].color, Shade(3, 60));
  EXPECT_EQ(t[59].color, Shade(3, 1));
  for (const auto& e : t) EXPECT_NE(e.color, HighlightColor);

  // In the Chinese styles the first value moves one step on from the carried
  // angle.
  Style(1);
  RingAngle = 0.0f;
  Draw({.radius = layout.SecondRadius, .current = 60, .first = 0,
        .last = 59, .unit = kSecondUnit, .fadeDown = true});
  const auto c = Texts();
  EXPECT_EQ(c[0].text, "零");
  EXPECT_EQ(c[0].escapement, 60);
}

TEST_F(RingTest, OddStyleValues) {
  // Negative: Arabic texts, Chinese direction, Sunday reads 0.
  Style(-1);
  RingAngle = 360.0f;
  Draw({.radius = layout.WeekdayRadius, .current = 3, .first = 0, .last = 6, .weekdayRing = true});
  auto t = Texts();
  ASSERT_EQ(t.size(), 7u);
  EXPECT_EQ(t[0].text, "星期 3");
  EXPECT_EQ(t[4].text, "0  ");
  EXPECT_GT(t[1].y, 523);  // clockwise: 4 stands below 3 o'clock
  EXPECT_EQ(t[4].face, "楷体");

  // Above 2: drawn like the Chinese styles with the table in use.
  Style(3);
  Draw({.radius = layout.MonthRadius, .current = 12, .first = 1,
        .last = 12, .unit = kMonthUnit, .fadeDown = true});
  t = Texts();
  EXPECT_EQ(t[0].text + t[1].text + t[2].text, "十二月");
}

TEST_F(RingTest, RotatedTextWithNothingToSay) {
  work.LabelText[0] = 0;
  DrawRotatedText(RingPen{surface, layout, look, style, work}, 100, 45.0f);
  EXPECT_TRUE(surface.Calls().empty());
}

}  // namespace
