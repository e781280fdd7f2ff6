#include "face_fixture.h"

namespace {

std::u16string S(const char16_t* s) { return s; }

TEST(NumeralTables, FollowTheOneRule) {
  const char16_t* chineseDigits = u"零一二三四五六七八九";
  const char16_t* formalDigits = u"零壹贰叁肆伍陆柒捌玖";
  for (auto [table, digits, ten] : {std::tuple{ChineseNumerals, chineseDigits, u'十'},
                                    std::tuple{FormalNumerals, formalDigits, u'拾'}}) {
    for (int n = 0; n <= 60; ++n) {
      std::u16string want;
      if (n < 10) {
        want = std::u16string(1, digits[n]);
      } else if (n < 20) {
        want = std::u16string(1, ten) + (n > 10 ? std::u16string(1, digits[n - 10]) : u"");
      } else {
        want = std::u16string(1, digits[n / 10]) + ten + (n % 10 ? std::u16string(1, digits[n % 10]) : u"");
      }
      EXPECT_EQ(S(table[n]), want) << n;
    }
  }
  EXPECT_EQ(S(ChineseNumerals[11]), u"十一");
  EXPECT_EQ(S(ChineseNumerals[59]), u"五十九");
  EXPECT_EQ(S(FormalNumerals[21]), u"贰拾壹");
  EXPECT_EQ(S(FormalNumerals[60]), u"陆拾");
}

TEST(NumeralTables, LookupNeverLeavesTheTable) {
  NumeralTable = ChineseNumerals;
  EXPECT_EQ(S(NumeralText(60)), u"六十");
  EXPECT_EQ(S(NumeralText(61)), u"");
  EXPECT_EQ(S(NumeralText(-1)), u"");
  EXPECT_EQ(S(NumeralText(1LL << 40)), u"");
}

TEST(NumeralStyles, RightClicksAndStoredValues) {
  NumeralStyle = 1;
  NumeralTable = ChineseNumerals;
  AdvanceNumeralStyle();
  EXPECT_EQ(NumeralStyle, 2);
  EXPECT_EQ(NumeralTable, FormalNumerals);
  AdvanceNumeralStyle();
  EXPECT_EQ(NumeralStyle, 0);
  EXPECT_EQ(NumeralTable, FormalNumerals);  // style 0 does not consult it
  AdvanceNumeralStyle();
  EXPECT_EQ(NumeralStyle, 1);
  EXPECT_EQ(NumeralTable, ChineseNumerals);
  AdvanceNumeralStyle();
  EXPECT_EQ(NumeralStyle, 2);

  NumeralStyle = 3;
  AdvanceNumeralStyle();
  EXPECT_EQ(NumeralStyle, 0);
  NumeralStyle = -1;
  AdvanceNumeralStyle();  // -1 + 1 = 0
  EXPECT_EQ(NumeralStyle, 0);
  NumeralStyle = -5;
  AdvanceNumeralStyle();
  EXPECT_EQ(NumeralStyle, 0);
  NumeralStyle = 32767;  // wraps to -32768, which is not 1 or 2
  AdvanceNumeralStyle();
  EXPECT_EQ(NumeralStyle, 0);

  NumeralTable = ChineseNumerals;
  SetStoredNumeralStyle(65538);
  EXPECT_EQ(NumeralStyle, 2);
  EXPECT_EQ(NumeralTable, FormalNumerals);
  NumeralTable = ChineseNumerals;
  SetStoredNumeralStyle(-1);
  EXPECT_EQ(NumeralStyle, -1);
  EXPECT_EQ(NumeralTable, ChineseNumerals);
  SetStoredNumeralStyle(65535);
  EXPECT_EQ(NumeralStyle, -1);
  SetStoredNumeralStyle(3);
  EXPECT_EQ(NumeralStyle, 3);
  EXPECT_EQ(NumeralTable, ChineseNumerals);
}

}  // namespace
