#include "common/wide_format.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string S(const char16_t* s) { return s; }

TEST(WideFormat, WindowsStyleConversions) {
  char16_t buf[16];
  FormatWide(buf, u"%d%2s", {12, u"月"});
  EXPECT_EQ(S(buf), u"12 月");
  FormatWide(buf, u"%d%2s", {4, u""});
  EXPECT_EQ(S(buf), u"4  ");
  FormatWide(buf, u"%d%2s", {-7, u"长单位"});  // longer texts are not cut
  EXPECT_EQ(S(buf), u"-7长单位");
  FormatWide(buf, u"星期 %d", {3});
  EXPECT_EQ(S(buf), u"星期 3");
  FormatWide(buf, u"%u.%u", {65535u, 0u});
  EXPECT_EQ(S(buf), u"65535.0");
  FormatWide(buf, u"%d", {-9223372036854775807LL - 1});
  EXPECT_EQ(S(buf), u"-92233720368547");  // truncated to the buffer, terminated

  char16_t small[4] = {u'x', u'x', u'x', u'x'};
  EXPECT_EQ(FormatWideCount(small, 3, u"abc", {}), 3);  // exact fit: not terminated
  EXPECT_EQ(small[3], u'x');
  EXPECT_EQ(FormatWideCount(small, 3, u"abcd", {}), -1);
  EXPECT_EQ(FormatWideCount(small, 3, u"ab", {}), 2);
  EXPECT_EQ(small[2], 0);
}

}  // namespace
