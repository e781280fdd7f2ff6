#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "face/numerals.h"

namespace {

std::u16string S(const char16_t* s) { return s; }

TEST(NumeralTables, FollowTheOneRule) {
  const char16_t* chineseDigits = u"零一二三四五六七八九";
  const char16_t* formalDigits = u"零壹贰叁肆伍陆柒捌玖";
  for (auto [set, digits, ten] : {std::tuple{NumeralSet::kChinese, chineseDigits, u'十'},
                                  std::tuple{NumeralSet::kFormal, formalDigits, u'拾'}}) {
    for (int n = 0; n <= 60; ++n) {
      std::u16string want;
      if (n < 10) {
        want = std::u16string(1, digits[n]);
      } else if (n < 20) {
        want = std::u16string(1, ten) + (n > 10 ? std::u16string(1, digits[n - 10]) : u"");
      } else {
        want = std::u16string(1, digits[n / 10]) + ten + (n % 10 ? std::u16string(1, digits[n % 10]) : u"");
      }
      EXPECT_EQ(S(NumeralText(set, n)), want) << n;
    }
  }
  EXPECT_EQ(S(ChineseNumerals[11]), u"十一");
  EXPECT_EQ(S(ChineseNumerals[59]), u"五十九");
  EXPECT_EQ(S(FormalNumerals[21]), u"贰拾壹");
  EXPECT_EQ(S(FormalNumerals[60]), u"陆拾");
}

TEST(NumeralTables, LookupNeverLeavesTheTable) {
  EXPECT_EQ(S(NumeralText(NumeralSet::kChinese, 60)), u"六十");
  EXPECT_EQ(S(NumeralText(NumeralSet::kChinese, 61)), u"");
  EXPECT_EQ(S(NumeralText(NumeralSet::kFormal, -1)), u"");
  EXPECT_EQ(S(NumeralText(NumeralSet::kChinese, 1LL << 40)), u"");
  EXPECT_EQ(S(NumeralText(NumeralSet::kArabicDigits, 5)), u"");
}

TEST(NumeralStyles, RightClicksAndStoredValues) {
  std::int16_t style = 1;
  for (int want : {2, 0, 1, 2}) {
    style = NextNumeralStyle(style);
    EXPECT_EQ(style, want);
  }
  // Anything else steps to 0, -1 + 1 and 32767 + 1 (which wraps) alike.
  for (int odd : {3, -1, -5, 32767}) EXPECT_EQ(NextNumeralStyle(static_cast<std::int16_t>(odd)), 0) << odd;

  EXPECT_EQ(StoredNumeralStyle(65538), 2);
  EXPECT_EQ(StoredNumeralStyle(-1), -1);
  EXPECT_EQ(StoredNumeralStyle(65535), -1);
  EXPECT_EQ(StoredNumeralStyle(3), 3);
}

}  // namespace
