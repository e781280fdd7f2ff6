#include <gtest/gtest.h>

#include "face/themes.h"

namespace {

struct Rgb {
  int r, g, b;
};
Rgb Split(ColorRef c) { return {int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)}; }

Rgb Fade(int theme, int step, int counter) { return Split(FadeColor(theme, step, counter)); }

#define EXPECT_RGB(got, R, G, B)  \
  do {                            \
    const Rgb g_ = (got);         \
    EXPECT_EQ(g_.r, R);           \
    EXPECT_EQ(g_.g, G);           \
    EXPECT_EQ(g_.b, B);           \
  } while (0)

TEST(ThemeTest, HighlightColoursByTheirChannels) {
  // Yellow, pale orange, white, sky blue, orange, pale cyan, green, as
  // red, green and blue.
  const Rgb want[7] = {{250, 250, 0}, {255, 192, 159}, {255, 255, 255}, {37, 198, 252},
                       {254, 100, 0}, {100, 250, 250}, {50, 255, 56}};
  FaceLook look;
  EXPECT_EQ(look.HighlightColor, 0u);  // black until the first update
  for (int t = 0; t < 7; ++t) {
    look.ThemeIndex = t;
    EXPECT_RGB(Split(UpdateHighlightColor(look)), want[t].r, want[t].g, want[t].b);
    EXPECT_EQ(look.HighlightColor >> 24, 0u);
  }
  const ColorRef last = look.HighlightColor;
  look.ThemeIndex = 7;
  EXPECT_EQ(UpdateHighlightColor(look), last);  // left as it was
  look.ThemeIndex = -1;
  EXPECT_EQ(UpdateHighlightColor(look), last);
}

TEST(ThemeTest, FadedShadesOfEveryTheme) {
  EXPECT_RGB(Fade(0, 3, 59), 0, 78, 0);
  EXPECT_RGB(Fade(0, 3, 1), 0, 252, 0);
  EXPECT_RGB(Fade(1, 8, 10), 0, 175, 175);
  EXPECT_RGB(Fade(2, 16, 12), 58, 58, 58);
  EXPECT_RGB(Fade(2, 3, 1), 247, 247, 247);
  EXPECT_RGB(Fade(3, 8, 23), 71, 50, 60);
  EXPECT_RGB(Fade(3, 3, 1), 252, 50, 60);
  EXPECT_RGB(Fade(4, 6, 20), 135, 130, 0);
  EXPECT_RGB(Fade(5, 3, 59), 193, 41, 78);
  EXPECT_RGB(Fade(5, 3, 1), 251, 99, 252);
  EXPECT_RGB(Fade(6, 16, 12), 52, 104, 63);
  EXPECT_RGB(Fade(6, 3, 59), 18, 112, 78);
  // Outside the rings' range the channels are held at 0 and cut to 8 bits.
  EXPECT_RGB(Fade(0, 100, 100), 0, 0, 0);
  EXPECT_RGB(Fade(6, 200, 1), 0, 100, 55);
  EXPECT_RGB(Fade(2, -1, 100), 94, 94, 94);  // 350 keeps its low 8 bits
  EXPECT_EQ(FadeColor(7, 3, 1), 0u);
  EXPECT_EQ(FadeColor(-1, 3, 1), 0u);
}

TEST(ThemeTest, WheelWrapsBothWays) {
  FaceLook look;
  look.ThemeIndex = 6;
  MoveTheme(look, 120);
  EXPECT_EQ(look.ThemeIndex, 0);
  MoveTheme(look, -120);
  EXPECT_EQ(look.ThemeIndex, 6);
  look.ThemeIndex = 0;
  MoveTheme(look, 0);  // a zero delta counts as backward
  EXPECT_EQ(look.ThemeIndex, 6);
  look.ThemeIndex = 3;
  MoveTheme(look, 1);
  EXPECT_EQ(look.ThemeIndex, 4);
}

}  // namespace
