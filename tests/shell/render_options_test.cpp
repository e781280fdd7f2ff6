#include "shell/render_options.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

bool Parse(std::vector<std::string> args, RenderOptions* o, std::string* error = nullptr) {
  std::string e;
  const bool ok = ParseRenderOptions(args, o, &e);
  if (error != nullptr) *error = e;
  return ok;
}

TEST(RenderOptions, Defaults) {
  RenderOptions o;
  ASSERT_TRUE(Parse({}, &o));
  EXPECT_EQ(o.width, 1920);
  EXPECT_EQ(o.height, 1080);
  EXPECT_EQ(o.style, 1);
  EXPECT_EQ(o.theme, -1);
  EXPECT_EQ(o.frames, 1);
  EXPECT_FALSE(o.haveAt);
}

TEST(RenderOptions, AcceptsEveryOption) {
  RenderOptions o;
  ASSERT_TRUE(Parse({"--size", "152x112", "--at", "2016-12-31 23:59:60", "--style", "65538",
                     "--theme", "6", "--frames", "3", "-o", "x.png", "--calls"},
                    &o));
  EXPECT_EQ(o.width, 152);
  EXPECT_EQ(o.height, 112);
  EXPECT_EQ(o.at.tm_year, 116);
  EXPECT_EQ(o.at.tm_mon, 11);
  EXPECT_EQ(o.at.tm_sec, 60);
  EXPECT_EQ(o.style, 65538);
  EXPECT_EQ(o.theme, 6);
  EXPECT_EQ(o.frames, 3);
  EXPECT_EQ(o.output, "x.png");
  EXPECT_TRUE(o.calls);
  ASSERT_TRUE(Parse({"--style", "-1", "--at", "12345-01-02 03:04:05"}, &o));
  EXPECT_EQ(o.style, -1);
  EXPECT_EQ(o.at.tm_year, 12345 - 1900);
}

TEST(RenderOptions, RejectsBadInputWithAMessage) {
  const std::vector<std::vector<std::string>> bad = {
      {"--bogus"},
      {"--size"},
      {"--size", "0x5"},
      {"--size", "99999x1"},
      {"--size", "1920"},
      {"--size", "-5x10"},
      {"--size", "19a0x1080"},
      {"--at", "2026-02-30 00:00:00"},
      {"--at", "2026-13-01 00:00:00"},
      {"--at", "2026-12-09 24:00:00"},
      {"--at", "2026-12-09 10:08:61"},
      {"--at", "2026-12-09T10:08:30"},
      {"--at", "2026-12-09 10:08:30 "},
      {"--style", "two"},
      {"--style", "99999999999999999999999"},
      {"--theme", "7"},
      {"--theme", "-1"},
      {"--frames", "0"},
      {"-o", ""},
  };
  for (const auto& args : bad) {
    RenderOptions o;
    std::string error;
    EXPECT_FALSE(Parse(args, &o, &error)) << args[0];
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(error.find('\n'), std::string::npos);
  }
}

TEST(RenderOptions, FramesWalkSecondByAndThroughALeapSecond) {
  setenv("TZ", "UTC", 1);
  tzset();
  RenderOptions o;
  ASSERT_TRUE(Parse({"--at", "2026-01-31 23:59:59"}, &o));
  std::tm t{};
  ASSERT_TRUE(FrameTime(o.at, 0, &t));
  EXPECT_EQ(t.tm_mday, 31);
  EXPECT_EQ(t.tm_wday, 6);  // a Saturday
  ASSERT_TRUE(FrameTime(o.at, 1, &t));
  EXPECT_EQ(t.tm_mon, 1);
  EXPECT_EQ(t.tm_mday, 1);
  EXPECT_EQ(t.tm_sec, 0);

  ASSERT_TRUE(Parse({"--at", "2016-12-31 23:59:60"}, &o));
  ASSERT_TRUE(FrameTime(o.at, 0, &t));
  EXPECT_EQ(t.tm_sec, 60);
  EXPECT_EQ(t.tm_year, 116);
  ASSERT_TRUE(FrameTime(o.at, 1, &t));
  EXPECT_EQ(t.tm_year, 117);
  EXPECT_EQ(t.tm_sec, 0);
}

}  // namespace
