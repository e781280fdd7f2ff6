#include "settings/profile_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

int Han(const std::string& text) { return ReadProfileInt(text, "Setting", "Han", 1); }

TEST(ParseProfileInt, ReadsLikeThePlatformReader) {
  EXPECT_EQ(ParseProfileInt("0"), 0);
  EXPECT_EQ(ParseProfileInt("2"), 2);
  EXPECT_EQ(ParseProfileInt("65538"), 65538);
  EXPECT_EQ(ParseProfileInt("  -3"), -3);
  EXPECT_EQ(ParseProfileInt("+7"), 7);
  EXPECT_EQ(ParseProfileInt("12abc"), 12);
  EXPECT_EQ(ParseProfileInt("1 2"), 1);
  EXPECT_EQ(ParseProfileInt("0x10"), 0) << "decimal only";
  EXPECT_EQ(ParseProfileInt(""), 0);
  EXPECT_EQ(ParseProfileInt("abc"), 0);
  EXPECT_EQ(ParseProfileInt("-"), 0);
}

TEST(ParseProfileInt, HugeNumbersWrapAsThirtyTwoBits) {
  EXPECT_EQ(ParseProfileInt("2147483647"), 2147483647);
  EXPECT_EQ(ParseProfileInt("2147483648"), -2147483647 - 1);
  EXPECT_EQ(ParseProfileInt("4294967298"), 2);
  EXPECT_EQ(ParseProfileInt("-4294967295"), 1);
  EXPECT_EQ(ParseProfileInt(std::string(100000, '9')), ParseProfileInt(std::string(100000, '9')));
}

TEST(ReadProfileInt, MissingFileSectionOrKeyGivesTheDefault) {
  EXPECT_EQ(Han(""), 1);
  EXPECT_EQ(Han("[Other]\nHan=2\n"), 1);
  EXPECT_EQ(Han("[Setting]\nColor=0\n"), 1);
  EXPECT_EQ(Han("Han=2\n[Setting]\n"), 1) << "a key before any section belongs to none";
  EXPECT_EQ(Han("[Setting]\nHan\n"), 1) << "a line without '=' is no key";
}

TEST(ReadProfileInt, NamesMatchWithoutRegardToCaseOrBlanks) {
  EXPECT_EQ(Han("[setting]\nhan=2\n"), 2);
  EXPECT_EQ(Han("[SETTING]\nHAN=0\n"), 0);
  EXPECT_EQ(Han("  [ Setting ]  \n\t Han = 2 \n"), 2);
  EXPECT_EQ(Han("[Setting]\nHan=\"2\"\n"), 2) << "quotes around a value go";
  EXPECT_EQ(Han("[Setting]\nHan=\n"), 0) << "a present empty key is no number";
  EXPECT_EQ(Han("[Setting]\n;Han=2\nHan=0\n"), 0);
}

TEST(ReadProfileInt, FirstMatchWinsAcrossRepeatedSections) {
  EXPECT_EQ(Han("[Setting]\nHan=2\nHan=0\n"), 2);
  EXPECT_EQ(Han("[Setting]\nColor=1\n[Other]\nHan=0\n[setting]\nHan=2\n"), 2);
}

TEST(ReadProfileInt, ToleratesWhatHandEditedFilesHold) {
  EXPECT_EQ(Han("\xEF\xBB\xBF[Setting]\r\nColor=0\r\nHan=2\r\n"), 2) << "BOM and CRLF";
  EXPECT_EQ(Han("[Setting]\nHan=2"), 2) << "no final newline";
  EXPECT_EQ(Han("\r\n\r\n[Setting]\r\nHan=2\r"), 2);
  EXPECT_EQ(Han("[Setting]\nX="s + std::string(1 << 20, 'x') + "\nHan=2\n"), 2) << "a very long line";
  EXPECT_EQ(Han("\0\xff\xfe[\0]\n[Setting]\nHa\0n=0\nHan=2\0garbage\n"s), 2) << "NUL bytes";
  EXPECT_EQ(Han("[Setting"), 1);
  EXPECT_EQ(Han("["), 1);
  EXPECT_EQ(Han("="), 1);
  std::string garbage;
  for (int i = 0; i < 4096; ++i) garbage += static_cast<char>((i * 7919) & 0xFF);
  EXPECT_EQ(Han(garbage + "\n[Setting]\nHan=65538\n"), 65538);
}

TEST(SetProfileValue, FirstSaveCreatesSectionThenColorThenHan) {
  std::string text = SetProfileValue("", "Setting", "Color", "1");
  text = SetProfileValue(text, "Setting", "Han", "2");
  EXPECT_EQ(text, "[Setting]\nColor=1\nHan=2\n");
}

TEST(SetProfileValue, ReplacesOnlyTheValueBytes) {
  EXPECT_EQ(SetProfileValue("[Setting]\nColor=1\nHan=2\n", "Setting", "Han", "0"),
            "[Setting]\nColor=1\nHan=0\n");
  EXPECT_EQ(SetProfileValue("[setting]\r\n  han = 12 ; old\r\n", "Setting", "Han", "1"),
            "[setting]\r\n  han = 1\r\n");
  EXPECT_EQ(SetProfileValue("[Setting]\nHan=\n", "Setting", "Han", "1"), "[Setting]\nHan=1\n");
  EXPECT_EQ(SetProfileValue("[Setting]\nHan=2", "Setting", "Han", "0"), "[Setting]\nHan=0");
  EXPECT_EQ(SetProfileValue("[Setting]\nHan=\"2\"\n", "Setting", "Han", "0"), "[Setting]\nHan=0\n");
}

TEST(SetProfileValue, KeepsEveryOtherLineByteForByte) {
  const std::string before =
      "\xEF\xBB\xBF; my settings\r\n"
      "[Other]\r\nHan=9\r\n\r\n"
      "[Setting]\r\nColor=1\r\n# note\r\n\r\n"
      "[Last]\r\nkey=value\r\n";
  EXPECT_EQ(SetProfileValue(before, "Setting", "Han", "2"),
            "\xEF\xBB\xBF; my settings\r\n"
            "[Other]\r\nHan=9\r\n\r\n"
            "[Setting]\r\nColor=1\r\n# note\r\nHan=2\r\n\r\n"
            "[Last]\r\nkey=value\r\n");
}

TEST(SetProfileValue, AddsAMissingSectionAtTheEnd) {
  EXPECT_EQ(SetProfileValue("[Other]\nx=1", "Setting", "Color", "0"), "[Other]\nx=1\n[Setting]\nColor=0\n");
  EXPECT_EQ(SetProfileValue("[Other]\r\nx=1\r\n", "Setting", "Color", "0"),
            "[Other]\r\nx=1\r\n[Setting]\r\nColor=0\r\n");
  EXPECT_EQ(SetProfileValue("\xEF\xBB\xBF", "Setting", "Color", "0"), "\xEF\xBB\xBF[Setting]\nColor=0\n");
}

TEST(SetProfileValue, AddsAMissingKeyToTheEndOfItsSection) {
  EXPECT_EQ(SetProfileValue("[Setting]", "Setting", "Han", "1"), "[Setting]\nHan=1\n");
  EXPECT_EQ(SetProfileValue("[Setting]\nColor=1", "Setting", "Han", "1"), "[Setting]\nColor=1\nHan=1\n");
  EXPECT_EQ(SetProfileValue("[Setting]\n[Next]\n", "Setting", "Han", "1"), "[Setting]\nHan=1\n[Next]\n");
}

TEST(SetProfileValue, WhatIsWrittenReadsBack) {
  const std::string samples[] = {"", "garbage\0\n"s, "[Setting]\nHan=x\n", "[setting]\r\nHAN=5",
                                 "\xEF\xBB\xBF[Setting]"};
  for (const std::string& sample : samples) {
    const std::string text = SetProfileValue(sample, "Setting", "Han", "2");
    EXPECT_EQ(Han(text), 2) << text;
    EXPECT_EQ(SetProfileValue(text, "Setting", "Han", "2"), text) << "a second save changes nothing";
  }
}

}  // namespace
