#include "face_fixture.h"

namespace {

struct Rgb {
  int r, g, b;
};
Rgb Split(ColorRef c) { return {int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF)}; }

Rgb Fade(int theme, int step, int counter) {
  ThemeIndex = theme;
  FadeIndex = counter;
  return Split(FadeColor(step));
}

#define EXPECT_RGB(got, R, G, B)  \
  do {                            \
    const Rgb g_ = (got);         \
    EXPECT_EQ(g_.r, R);           \
    EXPECT_EQ(g_.g, G);           \
    EXPECT_EQ(g_.b, B);           \
  } while (0)

using ThemeTest = FaceTest;

TEST_F(ThemeTest, HighlightColours) {
  const ColorRef want[7] = {0x0000FAFA, 0x009FC0FF, 0x00FFFFFF, 0x00FCC625,
                            0x000064FE, 0x00FAFA64, 0x0038FF32};
  for (int t = 0; t < 7; ++t) {
    ThemeIndex = t;
    EXPECT_EQ(UpdateHighlightColor(), want[t]);
    EXPECT_EQ(HighlightColor, want[t]);
  }
  ThemeIndex = 7;
  EXPECT_EQ(UpdateHighlightColor(), want[6]);  // left as it was
  ThemeIndex = -1;
  EXPECT_EQ(UpdateHighlightColor(), want[6]);
}

TEST_F(ThemeTest, FadedShadesOfEveryTheme) {
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
  EXPECT_EQ(Fade(7, 3, 1).g, 0);
  EXPECT_EQ(FadeColor(3), 0u);
}

TEST_F(ThemeTest, WheelWrapsBothWays) {
  ThemeIndex = 6;
  MoveTheme(120);
  EXPECT_EQ(ThemeIndex, 0);
  MoveTheme(-120);
  EXPECT_EQ(ThemeIndex, 6);
  ThemeIndex = 0;
  MoveTheme(0);  // a zero delta counts as backward
  EXPECT_EQ(ThemeIndex, 6);
  ThemeIndex = 3;
  MoveTheme(1);
  EXPECT_EQ(ThemeIndex, 4);
}

}  // namespace
