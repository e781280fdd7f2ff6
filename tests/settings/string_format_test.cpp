#include "settings/string_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

namespace {

TEST(StringCchPrintfW, RefusesZeroAndOversizedCapacityWithoutTouchingTheBuffer) {
  char16_t buffer[8] = {u'x', u'x', 0};
  EXPECT_EQ(StringCchPrintfW(buffer, 0, u"%d", {5}), kEInvalidArg);
  EXPECT_EQ(StringCchPrintfW(buffer, 0x80000000u, u"%d", {5}), kEInvalidArg);
  EXPECT_EQ(std::u16string(buffer), u"xx");
  EXPECT_EQ(kEInvalidArg, static_cast<HResult>(0x80070057u));
  EXPECT_EQ(kStrSafeEInsufficientBuffer, static_cast<HResult>(0x8007007Au));
}

TEST(StringCchPrintfW, LargestCapacityIsAccepted) {
  char16_t buffer[8];
  EXPECT_EQ(StringCchPrintfW(buffer, 0x7FFFFFFF, u"%d", {42}), kSOk);
  EXPECT_EQ(std::u16string(buffer), u"42");
}

TEST(StringCchPrintfW, ExactFitIsTerminatedAndOneShortIsTruncated) {
  char16_t buffer[8];
  std::fill(std::begin(buffer), std::end(buffer), u'#');
  EXPECT_EQ(StringCchPrintfW(buffer, 4, u"%s", {u"abc"}), kSOk);
  EXPECT_EQ(std::u16string(buffer), u"abc");

  std::fill(std::begin(buffer), std::end(buffer), u'#');
  EXPECT_EQ(StringCchPrintfW(buffer, 3, u"%s", {u"abc"}), kStrSafeEInsufficientBuffer);
  EXPECT_EQ(std::u16string(buffer), u"ab");
  EXPECT_EQ(buffer[3], u'#') << "nothing is written past the capacity";

  EXPECT_EQ(StringCchPrintfW(buffer, 1, u"%d", {7}), kStrSafeEInsufficientBuffer);
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(StringCchPrintfW(buffer, 1, u"", {}), kSOk);
  EXPECT_EQ(buffer[0], 0);
}

TEST(StringCchPrintfW, LongestVersionFitsItsBuffer) {
  char16_t buffer[50];
  EXPECT_EQ(StringCchPrintfW(buffer, 50, u"%u.%u.%u.%u", {65535u, 65535u, 65535u, 65535u}), kSOk);
  EXPECT_EQ(std::u16string(buffer), u"65535.65535.65535.65535");
}

}  // namespace
