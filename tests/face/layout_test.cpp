#include "face_fixture.h"

namespace {

struct Metrics {
  int fontHeight, month, day, weekday, hour, minute, second;
};

Metrics Current() {
  return {FontHeight, MonthRadius, DayRadius, WeekdayRadius, HourRadius, MinuteRadius, SecondRadius};
}

void ExpectMetrics(const Metrics& want) {
  const Metrics got = Current();
  EXPECT_EQ(got.fontHeight, want.fontHeight);
  EXPECT_EQ(got.month, want.month);
  EXPECT_EQ(got.day, want.day);
  EXPECT_EQ(got.weekday, want.weekday);
  EXPECT_EQ(got.hour, want.hour);
  EXPECT_EQ(got.minute, want.minute);
  EXPECT_EQ(got.second, want.second);
}

using LayoutTest = FaceTest;

TEST_F(LayoutTest, FullHdThroughTheRightClickCycle) {
  Layout(1920, 1080);
  EXPECT_EQ(ClientWidth, 1920);
  EXPECT_EQ(ClientHeight, 1080);
  EXPECT_EQ(CenterX, 960);
  EXPECT_EQ(CenterY, 540);
  // 285 + 85.5 truncates to 370, then 370 + 85.5 to 455.
  ExpectMetrics({19, 76, 133, 209, 285, 370, 455});

  AdvanceNumeralStyle();
  Layout(1920, 1080);
  EXPECT_EQ(NumeralStyle, 2);
  ExpectMetrics({19, 76, 133, 209, 285, 370, 455});

  AdvanceNumeralStyle();
  Layout(1920, 1080);
  EXPECT_EQ(NumeralStyle, 0);
  ExpectMetrics({22, 88, 154, 220, 286, 352, 418});

  AdvanceNumeralStyle();
  Layout(1920, 1080);
  EXPECT_EQ(NumeralStyle, 1);
  ExpectMetrics({19, 76, 133, 209, 285, 370, 455});
  // The centre never moves with the style.
  EXPECT_EQ(CenterY, 540);
}

TEST_F(LayoutTest, EvenHeightHasNoHalfRings) {
  Layout(1920, 1120);  // FontHeight 20
  ExpectMetrics({20, 80, 140, 220, 300, 390, 480});
}

TEST_F(LayoutTest, PreviewArea) {
  Layout(152, 112);
  EXPECT_EQ(CenterX, 76);
  EXPECT_EQ(CenterY, 56);
  ExpectMetrics({2, 8, 14, 22, 30, 39, 48});
  NumeralStyle = 0;
  Layout(152, 112);
  ExpectMetrics({2, 8, 14, 20, 26, 32, 38});
}

TEST_F(LayoutTest, OddWidthAndTinyAreas) {
  Layout(1365, 768);
  EXPECT_EQ(CenterX, 682);
  Layout(100, 40);  // too low for one pixel of text: everything at the centre
  ExpectMetrics({0, 0, 0, 0, 0, 0, 0});
}

TEST_F(LayoutTest, OddStyleValuesPickMetricsAndFontByTheirOwnTests) {
  // Negative: Arabic metrics but the Kai face (the font tests != 0).
  NumeralStyle = -1;
  ComputeLayout(Rect{0, 0, 1920, 1080});
  EXPECT_EQ(FontHeight, 22);
  ASSERT_FALSE(surface.Calls().empty());
  const RecordedCall& font = surface.Calls().back();
  ASSERT_EQ(font.kind, RecordedCall::kFont);
  EXPECT_EQ(font.font.height, 22);
  EXPECT_EQ(font.font.escapement, 0);
  EXPECT_EQ(font.font.weight, 500);
  EXPECT_EQ(std::u16string(font.font.face), u"楷体");

  NumeralStyle = 3;
  Layout(1920, 1080);
  EXPECT_EQ(FontHeight, 19);
  EXPECT_EQ(SecondRadius, 455);

  NumeralStyle = 0;
  ComputeLayout(Rect{0, 0, 1920, 1080});
  EXPECT_EQ(surface.Calls().back().font.weight, 700);
  EXPECT_EQ(std::u16string(surface.Calls().back().font.face), u"微软雅黑");
}

TEST_F(LayoutTest, RectangleOffsetsOnlyChangeTheSize) {
  ComputeLayout(Rect{100, 50, 252, 162});
  EXPECT_EQ(ClientWidth, 152);
  EXPECT_EQ(ClientHeight, 112);
  EXPECT_EQ(CenterX, 76);
}

}  // namespace
