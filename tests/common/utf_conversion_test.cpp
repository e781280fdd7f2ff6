#include "common/utf_conversion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<char32_t> CodePoints(const std::u16string& text) {
  std::vector<char32_t> out;
  const int count = static_cast<int>(text.size());
  for (int i = 0; i < count;) out.push_back(NextCodePoint(text.data(), count, &i));
  return out;
}

TEST(Utf8Utf16, RoundTripAndMalformedUtf8) {
  const std::u16string text = u"星期天 12 月 \U0001F600";
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
  EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8ToUtf16("\xff\xfe" "a"), u"\uFFFD\uFFFDa");
  EXPECT_EQ(Utf8ToUtf16("\xe6\x98"), u"\uFFFD\uFFFD");  // cut short
  EXPECT_EQ(Utf8ToUtf16("\xed\xa0\x80"), u"\uFFFD");     // an encoded surrogate
  EXPECT_EQ(Utf8ToUtf16("\xc0\xaf"), u"\uFFFD");         // overlong
}

// Drawing and conversion read text through the same decoder, so a label
// with a broken pair draws what a file name with one would print.
TEST(Utf16Decoder, UnpairedSurrogatesReadAsReplacementCharacter) {
  const std::u16string pair = u"\U0001F600";
  EXPECT_EQ(CodePoints(pair), std::vector<char32_t>{0x1F600});
  const std::u16string loneHigh{u'a', char16_t(0xD83D), u'b'};
  EXPECT_EQ(CodePoints(loneHigh), (std::vector<char32_t>{u'a', 0xFFFD, u'b'}));
  const std::u16string loneLow{char16_t(0xDE00), u'b'};
  EXPECT_EQ(CodePoints(loneLow), (std::vector<char32_t>{0xFFFD, u'b'}));
  const std::u16string reversed{char16_t(0xDE00), char16_t(0xD83D)};
  EXPECT_EQ(CodePoints(reversed), (std::vector<char32_t>{0xFFFD, 0xFFFD}));
  const std::u16string highThenHigh{char16_t(0xD83D), char16_t(0xD83D), char16_t(0xDE00)};
  EXPECT_EQ(CodePoints(highThenHigh), (std::vector<char32_t>{0xFFFD, 0x1F600}));

  // A high surrogate at the end of the counted units is unpaired, even
  // when a low one follows in memory.
  const std::u16string cut = u"\U0001F600";
  int i = 0;
  EXPECT_EQ(NextCodePoint(cut.data(), 1, &i), 0xFFFDu);
  EXPECT_EQ(i, 1);

  EXPECT_EQ(Utf16ToUtf8(loneHigh), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(Utf16ToUtf8(cut.data(), 1), "\xEF\xBF\xBD");
}

}  // namespace
