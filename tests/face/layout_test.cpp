#include <gtest/gtest.h>

#include <string>

#include "face/layout.h"
#include "face/numerals.h"

namespace {

struct Metrics {
  int fontHeight, month, day, weekday, hour, minute, second;
};

void ExpectMetrics(const FaceLayout& got, const Metrics& want) {
  EXPECT_EQ(got.FontHeight, want.fontHeight);
  EXPECT_EQ(got.MonthRadius, want.month);
  EXPECT_EQ(got.DayRadius, want.day);
  EXPECT_EQ(got.WeekdayRadius, want.weekday);
  EXPECT_EQ(got.HourRadius, want.hour);
  EXPECT_EQ(got.MinuteRadius, want.minute);
  EXPECT_EQ(got.SecondRadius, want.second);
}

TEST(LayoutTest, FullHdThroughTheRightClickCycle) {
  std::int16_t style = 1;
  FaceLayout l = ComputeLayout(1920, 1080, style);
  EXPECT_EQ(l.ClientWidth, 1920);
  EXPECT_EQ(l.ClientHeight, 1080);
  EXPECT_EQ(l.CenterX, 960);
  EXPECT_EQ(l.CenterY, 540);
  // 285 + 85.5 truncates to 370, then 370 + 85.5 to 455.
  ExpectMetrics(l, {19, 76, 133, 209, 285, 370, 455});

  style = NextNumeralStyle(style);
  EXPECT_EQ(style, 2);
  ExpectMetrics(ComputeLayout(1920, 1080, style), {19, 76, 133, 209, 285, 370, 455});

  style = NextNumeralStyle(style);
  EXPECT_EQ(style, 0);
  ExpectMetrics(ComputeLayout(1920, 1080, style), {22, 88, 154, 220, 286, 352, 418});

  style = NextNumeralStyle(style);
  EXPECT_EQ(style, 1);
  l = ComputeLayout(1920, 1080, style);
  ExpectMetrics(l, {19, 76, 133, 209, 285, 370, 455});
  // The centre never moves with the style.
  EXPECT_EQ(l.CenterY, 540);
}

TEST(LayoutTest, EvenHeightHasNoHalfRings) {
  ExpectMetrics(ComputeLayout(1920, 1120, 1), {20, 80, 140, 220, 300, 390, 480});
}

TEST(LayoutTest, PreviewArea) {
  const FaceLayout l = ComputeLayout(152, 112, 1);
  EXPECT_EQ(l.CenterX, 76);
  EXPECT_EQ(l.CenterY, 56);
  ExpectMetrics(l, {2, 8, 14, 22, 30, 39, 48});
  ExpectMetrics(ComputeLayout(152, 112, 0), {2, 8, 14, 20, 26, 32, 38});
}

TEST(LayoutTest, OddWidthAndTinyAreas) {
  EXPECT_EQ(ComputeLayout(1365, 768, 1).CenterX, 682);
  // too low for one pixel of text: everything at the centre
  ExpectMetrics(ComputeLayout(100, 40, 1), {0, 0, 0, 0, 0, 0, 0});
}

TEST(LayoutTest, ATurnedScreenIsSizedFromItsWidth) {
  // 800 x 1280: sized from the height the rings would reach x = 928.
  const FaceLayout l = ComputeLayout(800, 1280, 1);
  EXPECT_EQ(l.CenterX, 400);
  EXPECT_EQ(l.CenterY, 640);
  ExpectMetrics(l, {14, 56, 98, 154, 210, 273, 336});
  ExpectMetrics(ComputeLayout(800, 1280, 0), {16, 64, 112, 160, 208, 256, 304});
  // A square is sized alike either way.
  ExpectMetrics(ComputeLayout(800, 800, 1), {14, 56, 98, 154, 210, 273, 336});
}

TEST(LayoutTest, OddStyleValuesPickMetricsAndFontByTheirOwnTests) {
  // Negative: Arabic metrics but the Kai face.
  EXPECT_EQ(ComputeLayout(1920, 1080, -1).FontHeight, 22);
  const ClockFont font = MakeClockFont(NumeralStyleFor(-1), 22, 0);
  EXPECT_EQ(font.height, 22);
  EXPECT_EQ(font.escapement, 0);
  EXPECT_EQ(font.weight, 500);
  EXPECT_EQ(std::u16string(font.face), u"楷体");

  const FaceLayout above = ComputeLayout(1920, 1080, 3);
  EXPECT_EQ(above.FontHeight, 19);
  EXPECT_EQ(above.SecondRadius, 455);

  const ClockFont arabic = MakeClockFont(NumeralStyleFor(0), 22, 0);
  EXPECT_EQ(arabic.weight, 700);
  EXPECT_EQ(std::u16string(arabic.face), u"微软雅黑");
}

}  // namespace
