#include "shell/command_line.h"

#include <gtest/gtest.h>

namespace {

StartRequest Parse(const char16_t* line) { return ParseCommandLine(line); }

TEST(CommandLine, FullScreenUnlessPreviewOrOptions) {
  EXPECT_EQ(Parse(u"").mode, StartMode::kFullScreen);
  EXPECT_EQ(Parse(u"").window, 0u);
  EXPECT_EQ(Parse(u"/S").mode, StartMode::kFullScreen);
  const StartRequest s5 = Parse(u"/s 5");
  EXPECT_EQ(s5.mode, StartMode::kFullScreen);
  EXPECT_EQ(s5.window, 5u);
  // The tests are case-sensitive substrings: "/x" or "p" alone mean nothing.
  EXPECT_EQ(Parse(u"p 12").mode, StartMode::kFullScreen);
  EXPECT_EQ(Parse(u"-p 12").mode, StartMode::kFullScreen);
}

TEST(CommandLine, PreviewTakesTheFirstRunOfDigits) {
  const StartRequest p = Parse(u"/p 977");
  EXPECT_EQ(p.mode, StartMode::kPreview);
  EXPECT_EQ(p.window, 977u);
  EXPECT_EQ(Parse(u"/P 977").mode, StartMode::kPreview);
  const StartRequest x = Parse(u"x/p9");
  EXPECT_EQ(x.mode, StartMode::kPreview);
  EXPECT_EQ(x.window, 9u);
  // Only the first run counts.
  EXPECT_EQ(Parse(u"/p 12 34").window, 12u);
  EXPECT_EQ(Parse(u"/p12x34").window, 12u);
  // No digit: preview without a parent, which shows nothing.
  EXPECT_EQ(Parse(u"/p").window, 0u);
}

TEST(CommandLine, OptionsDialogUnlessPreviewIsAlsoAsked) {
  const StartRequest c = Parse(u"/c:315");
  EXPECT_EQ(c.mode, StartMode::kOptions);
  EXPECT_EQ(c.window, 315u);
  EXPECT_EQ(Parse(u"/C").mode, StartMode::kOptions);
  EXPECT_EQ(Parse(u"/C").window, 0u);
  EXPECT_EQ(Parse(u"/c 4 /p 7").mode, StartMode::kPreview);
  EXPECT_EQ(Parse(u"/c 4 /p 7").window, 4u);
  EXPECT_EQ(Parse(u"/P/C").mode, StartMode::kPreview);
}

TEST(CommandLine, HugeDigitRunsSaturate) {
  EXPECT_EQ(Parse(u"/p 2147483647").window, 2147483647u);
  EXPECT_EQ(Parse(u"/p 2147483648").window, kMaxWindowNumber);
  EXPECT_EQ(Parse(u"/p 99999999999999999999999999999999999999999").window, kMaxWindowNumber);
  EXPECT_EQ(Parse(u"/p 0000000000000000000000000000000000000042").window, 42u);
}

TEST(CommandLine, NonAsciiDigitsAreNotDigits) {
  // Full-width and Arabic-Indic digits are no window number.
  EXPECT_EQ(Parse(u"/p \uFF19\u0663").window, 0u);
  EXPECT_EQ(Parse(u"/p \uFF191").window, 1u);
}

TEST(CommandLine, ArgumentsJoinWithSpaces) {
  EXPECT_EQ(JoinArguments({}), u"");
  EXPECT_EQ(JoinArguments({"/p", "977"}), u"/p 977");
  EXPECT_EQ(JoinArguments({"/c:315"}), u"/c:315");
  EXPECT_EQ(JoinArguments({"\xE6\x97\xB6", "1"}), u"\u65F6 1");
  EXPECT_EQ(ParseCommandLine(JoinArguments({"/p", "977"})).window, 977u);
}

TEST(HostArguments, WindowIdForms) {
  StartRequest r;
  ASSERT_TRUE(ParseHostArguments({"--window-id", "0x2a00007"}, nullptr, &r));
  EXPECT_EQ(r.mode, StartMode::kHostWindow);
  EXPECT_EQ(r.window, 0x2a00007u);
  r = {};
  ASSERT_TRUE(ParseHostArguments({"-window-id", "44040199"}, nullptr, &r));
  EXPECT_EQ(r.window, 44040199u);
  r = {};
  ASSERT_TRUE(ParseHostArguments({"--window-id=0X1F"}, nullptr, &r));
  EXPECT_EQ(r.window, 0x1Fu);
  // Unreadable or missing ids name no window.
  for (auto args : {std::vector<std::string>{"--window-id"}, {"--window-id", "12ab"},
                    {"--window-id", "0x"}, {"--window-id", "0x100000000"}, {"--window-id", "-5"}}) {
    r = {};
    ASSERT_TRUE(ParseHostArguments(args, nullptr, &r));
    EXPECT_EQ(r.mode, StartMode::kHostWindow);
    EXPECT_EQ(r.window, 0u);
  }
}

TEST(HostArguments, EnvironmentThenRoot) {
  StartRequest r;
  ASSERT_TRUE(ParseHostArguments({}, "0x400001", &r));
  EXPECT_EQ(r.mode, StartMode::kHostWindow);
  EXPECT_EQ(r.window, 0x400001u);
  // xscreensaver passes --root and names its own window in the environment.
  r = {};
  ASSERT_TRUE(ParseHostArguments({"--root"}, "4194305", &r));
  EXPECT_EQ(r.mode, StartMode::kHostWindow);
  EXPECT_EQ(r.window, 4194305u);
  // An explicit id wins over the environment.
  r = {};
  ASSERT_TRUE(ParseHostArguments({"-window-id", "7"}, "9", &r));
  EXPECT_EQ(r.window, 7u);
  r = {};
  ASSERT_TRUE(ParseHostArguments({"-root"}, nullptr, &r));
  EXPECT_EQ(r.mode, StartMode::kHostRoot);
  r = {};
  ASSERT_TRUE(ParseHostArguments({"--root"}, "", &r));
  EXPECT_EQ(r.mode, StartMode::kHostRoot);
}

TEST(HostArguments, OtherCommandLinesKeepTheirMeaning) {
  StartRequest r;
  EXPECT_FALSE(ParseHostArguments({}, nullptr, &r));
  EXPECT_FALSE(ParseHostArguments({"/p", "977"}, nullptr, &r));
  EXPECT_FALSE(ParseHostArguments({"/s"}, "", &r));
  EXPECT_FALSE(ParseHostArguments({"--rooted", "-window"}, nullptr, &r));
}

}  // namespace
