#include <gtest/gtest.h>

#include "face/frame.h"
#include "recorded_texts.h"

namespace {

class FrameTest : public ::testing::Test {
 protected:
  // The frame of `t` in `style` (as stored) on a fresh surface.
  std::vector<DrawnText> Frame(int style, const std::tm& t, int width = 1920, int height = 1080) {
    look.NumeralStyle = StoredNumeralStyle(style);
    layout = ComputeLayout(width, height, look.NumeralStyle);
    surface.Clear();
    DrawFrame(surface, layout, look, clockReadable ? &t : nullptr);
    return Texts(surface);
  }
  // The labels drawn in the highlight colour, joined per ring.
  std::vector<DrawnText> Highlighted(const std::vector<DrawnText>& t) {
    std::vector<DrawnText> out;
    for (const auto& e : t)
      if (e.color == look.HighlightColor) out.push_back(e);
    return out;
  }

  RecordingSurface surface;
  FaceLook look;
  FaceLayout layout;
  bool clockReadable = true;
};

std::string Year(int style, long long year) {
  char16_t text[kYearTextSize];
  const int n = FormatYear(text, NumeralStyleFor(static_cast<std::int16_t>(style)), year);
  return Utf16ToUtf8(text, n);
}

TEST_F(FrameTest, ArabicFrameOrderAndCurrentRows) {
  look.ThemeIndex = 3;
  UpdateHighlightColor(look);
  const auto t = Frame(0, MakeTime(2026, 12, 9, 10, 8, 30));
  const auto& calls = surface.Calls();
  ASSERT_GE(calls.size(), 4u);
  EXPECT_EQ(RecordingSurface::Line(calls.front()), "fill 0 0 1920 1080");
  EXPECT_EQ(RecordingSurface::Line(calls[1]), "font 22 0 700 微软雅黑");
  EXPECT_EQ(RecordingSurface::Line(calls[2]), "color 0x00FCC625");
  EXPECT_EQ(RecordingSurface::Line(calls[3]), "text 938 522 2026  年");
  EXPECT_EQ(RecordingSurface::Line(calls.back()), "copy 0 0 1920 1080");

  const auto h = Highlighted(t);
  ASSERT_EQ(h.size(), 7u);  // year and six current labels
  EXPECT_EQ(h[1].text, "12 月");
  EXPECT_EQ(h[1].y, 523);
  EXPECT_EQ(h[2].text, "9 日");
  EXPECT_EQ(h[2].y, 523);
  EXPECT_EQ(h[3].text, "星期 3");
  EXPECT_EQ(h[3].y, 523);
  EXPECT_EQ(h[4].text, "10 时");
  EXPECT_EQ(h[4].y, 522);
  EXPECT_EQ(h[5].text, "8 分");
  EXPECT_EQ(h[5].y, 522);
  EXPECT_EQ(h[6].text, "30 秒");
  EXPECT_EQ(h[6].y, 522);
  // 12 + 31 + 7 + 24 + 60 + 60 ring labels and the year.
  EXPECT_EQ(t.size(), 1u + 12 + 31 + 7 + 24 + 60 + 60);
  for (const auto& e : t) {
    EXPECT_EQ(e.face, "微软雅黑");
    EXPECT_EQ(e.escapement, 0);
  }
}

TEST_F(FrameTest, EveryTurnedLabelSelectsItsFontOnce) {
  // Each font costs the platform a realisation, so the frame asks for one
  // per label: the year's, then one before each label's first character;
  // its other characters turn alike and reuse it.
  for (int style : {1, 2}) {
    SCOPED_TRACE(style);
    const auto t = Frame(style, MakeTime(2026, 12, 9, 10, 8, 30));
    int fonts = 0, labels = 0;
    bool afterFont = false;
    for (const RecordedCall& c : surface.Calls()) {
      if (c.kind == RecordedCall::kFont) {
        ++fonts;
        afterFont = true;
      } else if (c.kind == RecordedCall::kText) {
        labels += afterFont ? 1 : 0;
        afterFont = false;
      }
    }
    EXPECT_EQ(fonts, 1 + 12 + 31 + 7 + 24 + 60 + 60);
    EXPECT_EQ(labels, fonts);
    EXPECT_GT(t.size(), static_cast<std::size_t>(fonts));  // labels of several characters
  }
}

TEST_F(FrameTest, YearLineInEveryStyle) {
  auto t = Frame(1, MakeTime(2026, 12, 9, 10, 8, 30));
  EXPECT_EQ(t[0].text, "二零二六年");
  EXPECT_EQ(t[0].x, 922);
  EXPECT_EQ(t[0].y, 535);
  t = Frame(2, MakeTime(2026, 12, 9, 10, 8, 30));
  EXPECT_EQ(t[0].text, "贰零贰陆年");
  t = Frame(1, MakeTime(2000, 1, 1, 0, 0, 0));
  EXPECT_EQ(t[0].text, "二零零零年");
  t = Frame(0, MakeTime(2000, 1, 1, 0, 0, 0));
  EXPECT_EQ(t[0].text, "2000  年");
}

TEST_F(FrameTest, YearsBeyondFourDigitsAreSpelledWhole) {
  EXPECT_EQ(Frame(1, MakeTime(12345, 6, 7, 8, 9, 10))[0].text, "一二三四五年");
  EXPECT_EQ(Year(1, -44), "负四四年");
  EXPECT_EQ(Year(1, 2147483647LL + 1900), "二一四七四八五五四七年");
  EXPECT_EQ(Year(2, 2147483647LL + 1900), "贰壹肆柒肆捌伍伍肆柒年");
  EXPECT_EQ(Year(0, 2147483647LL + 1900), "2147485547  年");
  EXPECT_EQ(Year(0, -2147483648LL + 1900), "-2147481748  年");
}

TEST_F(FrameTest, HourUnitFollowsTheStyle) {
  auto unitOf = [&](int style) {
    const auto t = Frame(style, MakeTime(2026, 12, 9, 10, 8, 30));
    std::string s;
    for (const auto& e : Highlighted(t)) s += e.text;
    return s;
  };
  EXPECT_NE(unitOf(0).find("10 时"), std::string::npos);
  EXPECT_NE(unitOf(1).find("十点"), std::string::npos);
  EXPECT_NE(unitOf(2).find("拾点"), std::string::npos);
  EXPECT_NE(unitOf(-1).find("10 时"), std::string::npos);
}

TEST_F(FrameTest, DayRingFollowsTheMonth) {
  auto dayLabels = [&](const std::tm& when) {
    const auto t = Frame(0, when);
    // Everything but the year line and the five rings of fixed length.
    return static_cast<int>(t.size()) - 1 - 12 - 7 - 24 - 60 - 60;
  };
  EXPECT_EQ(dayLabels(MakeTime(2024, 2, 10, 0, 0, 0)), 29);
  EXPECT_EQ(dayLabels(MakeTime(2026, 2, 1, 0, 0, 0)), 28);
  EXPECT_EQ(dayLabels(MakeTime(2026, 1, 31, 0, 0, 0)), 31);
  EXPECT_EQ(dayLabels(MakeTime(2026, 4, 30, 0, 0, 0)), 30);
}

TEST(DaysInMonth, GregorianRules) {
  auto days = [](int year, int month) { return DaysInMonth(MakeTime(year, month, 1, 0, 0, 0)); };
  for (int y : {2024, 2000, 2400, 1600, 4}) EXPECT_EQ(days(y, 2), 29) << y;
  for (int y : {2026, 2100, 2200, 2300, 1900, 1}) EXPECT_EQ(days(y, 2), 28) << y;
  for (int m : {1, 3, 5, 7, 8, 10, 12}) EXPECT_EQ(days(2026, m), 31) << m;
  for (int m : {4, 6, 9, 11}) EXPECT_EQ(days(2026, m), 30) << m;
  std::tm bc{};
  bc.tm_mon = 1;
  bc.tm_year = -1900 - 4;  // year -4 is a leap year by the same rule
  EXPECT_EQ(DaysInMonth(bc), 29);
}

TEST_F(FrameTest, ClockOutOfRangeGivesABlackFrame) {
  clockReadable = false;
  Frame(1, MakeTime(2026, 12, 9, 10, 8, 30));
  const auto& calls = surface.Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].kind, RecordedCall::kFill);
  EXPECT_EQ(calls[1].kind, RecordedCall::kCopy);
}

TEST_F(FrameTest, SecondSixtyAndGarbageFieldsStayInTheTables) {
  auto t = Frame(1, MakeTime(2016, 12, 31, 23, 59, 60));
  for (const auto& e : Highlighted(t)) EXPECT_EQ(e.text.find("六十"), std::string::npos);
  std::tm junk = MakeTime(2026, 1, 1, 0, 0, 0);
  junk.tm_hour = 99;
  junk.tm_min = -5;
  junk.tm_wday = 12;
  t = Frame(2, junk);  // must not index past a table
  EXPECT_FALSE(t.empty());
}

TEST_F(FrameTest, FramesAreIndependentOfThePreviousOne) {
  const std::tm when = MakeTime(2026, 12, 9, 10, 8, 30);
  Frame(1, when);
  const auto first = surface.Calls().size();
  std::vector<std::string> a, b;
  for (const auto& c : surface.Calls()) a.push_back(RecordingSurface::Line(c));
  surface.Clear();
  DrawFrame(surface, layout, look, &when);
  for (const auto& c : surface.Calls()) b.push_back(RecordingSurface::Line(c));
  EXPECT_EQ(first, surface.Calls().size());
  EXPECT_EQ(a, b);
}

}  // namespace
