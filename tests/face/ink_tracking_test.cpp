// The raster surface's memory of where it inked: clearing only that, drawing
// into buffers it does not own, and telling a presenter what changed. Every
// frame made that way must equal one cleared, drawn and copied in full.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "face/font_lookup.h"
#include "face/frame.h"
#include "face/ink_record.h"
#include "face/layout.h"
#include "face/numerals.h"
#include "face/raster_surface.h"
#include "face/themes.h"

namespace {

constexpr std::uint32_t kGarbage = 0x00C0FFEE;

bool Inside(Rect inner, Rect outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom && inner.left < inner.right && inner.top < inner.bottom;
}

// Whether (x, y) lies in one of `rects`.
bool Covered(const std::vector<Rect>& rects, int x, int y) {
  return std::any_of(rects.begin(), rects.end(), [&](const Rect& r) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
  });
}

long long AreaOf(const std::vector<Rect>& rects) {
  long long area = 0;
  for (const Rect& r : rects) area += static_cast<long long>(r.right - r.left) * (r.bottom - r.top);
  return area;
}

// ---- The tiles themselves ----

TEST(InkRecordTest, MarkedTilesComeBackAsRunsCutToTheBuffer) {
  constexpr int T = kInkTile;
  InkRecord ink;
  SetInkBlack(&ink, 3 * T + 2, 2 * T + 8);  // 4 x 3 tiles, the last ones cut short
  std::vector<Rect> runs;
  InkRuns(ink, &runs);
  EXPECT_TRUE(runs.empty());
  MarkInk(&ink, Rect{T + 4, 5, 3 * T + 1, T + 4});  // columns 1-3, rows 0-1
  MarkInk(&ink, Rect{0, 2 * T + 7, 1, 2 * T + 8});  // column 0, row 2
  InkRuns(ink, &runs);
  ASSERT_EQ(runs.size(), 3u);
  const Rect row0{T, 0, 3 * T + 2, T}, row1{T, T, 3 * T + 2, 2 * T}, row2{0, 2 * T, T, 2 * T + 8};
  EXPECT_TRUE(Inside(row0, runs[0]) && Inside(runs[0], row0));
  EXPECT_TRUE(Inside(row1, runs[1]) && Inside(runs[1], row1));
  EXPECT_TRUE(Inside(row2, runs[2]) && Inside(runs[2], row2));

  // Only tiles a black fill covers whole are forgotten; at the buffer's
  // edge, the part inside the buffer is the whole tile.
  UnmarkInk(&ink, Rect{T + 1, 0, 3 * T + 2, 2 * T + 8});
  InkRuns(ink, &runs);
  ASSERT_EQ(runs.size(), 3u);
  EXPECT_EQ(runs[0].left, T);  // column 1 was only partly filled
  EXPECT_EQ(runs[0].right, 2 * T);
  UnmarkInk(&ink, Rect{-5, -5, 100, 100});
  InkRuns(ink, &runs);
  EXPECT_TRUE(runs.empty());
}

// Scattered ink: every marked pixel inside the clip is in a rectangle, every
// rectangle inside the clip, and never more rectangles than runs.
TEST(InkRecordTest, TheRegionCoversEveryMarkedTileWithFewRectangles) {
  std::mt19937 random(7);
  for (int round = 0; round < 40; ++round) {
    SCOPED_TRACE(round);
    const int width = 100 + static_cast<int>(random() % 700);
    const int height = 100 + static_cast<int>(random() % 500);
    InkRecord ink;
    SetInkBlack(&ink, width, height);
    const int marks = static_cast<int>(random() % 300);
    for (int i = 0; i < marks; ++i) {
      const int x = static_cast<int>(random() % width), y = static_cast<int>(random() % height);
      MarkInk(&ink, Rect{x, y, std::min(width, x + 1 + static_cast<int>(random() % 30)),
                         std::min(height, y + 1 + static_cast<int>(random() % 30))});
    }
    const Rect clip = round % 2 == 0 ? Rect{0, 0, width, height}
                                     : Rect{static_cast<int>(random() % 50), static_cast<int>(random() % 50),
                                            width - static_cast<int>(random() % 50), height + 20};
    const Rect inside{std::max(0, clip.left), std::max(0, clip.top), std::min(width, clip.right),
                      std::min(height, clip.bottom)};
    std::vector<Rect> region, runs;
    InkRegion(ink, clip, &region);
    InkRuns(ink, &runs);
    for (const Rect& r : region) EXPECT_TRUE(Inside(r, inside));
    // The region is made of whole tiles cut by the clip: a tile's corners
    // stand for all of it.
    for (const Rect& run : runs) {
      for (int left = run.left; left < run.right; left += kInkTile) {
        const Rect tile{std::max(left, inside.left), std::max(run.top, inside.top),
                        std::min({left + kInkTile, run.right, inside.right}),
                        std::min(run.bottom, inside.bottom)};
        if (tile.left >= tile.right || tile.top >= tile.bottom) continue;
        for (int x : {tile.left, tile.right - 1}) {
          for (int y : {tile.top, tile.bottom - 1}) ASSERT_TRUE(Covered(region, x, y)) << x << "," << y;
        }
      }
    }
    EXPECT_LE(region.size(), runs.size());
    // The same tiles listed make the same rectangles.
    std::vector<int> listed;
    for (std::size_t t = 0; t < ink.tiles.size(); ++t) {
      if (ink.tiles[t] != 0) listed.push_back(static_cast<int>(t));
    }
    std::vector<Rect> fromList;
    TileListRegion(width, height, listed, clip, &fromList);
    ASSERT_EQ(fromList.size(), region.size());
    for (std::size_t i = 0; i < region.size(); ++i) {
      EXPECT_TRUE(Inside(fromList[i], region[i]) && Inside(region[i], fromList[i])) << i;
    }
  }
  InkRecord empty;
  SetInkBlack(&empty, 64, 64);
  std::vector<Rect> region{Rect{1, 1, 2, 2}};
  InkRegion(empty, Rect{0, 0, 64, 64}, &region);
  EXPECT_TRUE(region.empty());
}

// ---- The surface ----

ClockFont Font(int height, int escapement) {
  ClockFont font;
  font.height = height;
  font.escapement = escapement;
  font.weight = kNumeralWeight;
  font.face = kNumeralFace;
  return font;
}

class InkTrackingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(LoadClockFaces(&error)) << error;
  }
};

bool AllBlack(const RasterSurface& s) {
  for (int y = 0; y < s.Height(); ++y) {
    const std::uint32_t* row = s.Pixels() + static_cast<std::ptrdiff_t>(y) * s.Stride();
    if (std::any_of(row, row + s.Width(), [](std::uint32_t p) { return p != 0; })) return false;
  }
  return true;
}

TEST_F(InkTrackingTest, AWholeClearLeavesNothingWhateverWasDrawnOrWrittenBefore) {
  RasterSurface s(120, 90);
  s.SetTextColor(0x00FFFFFF);
  for (int escapement : {0, 450, 1350, 2700}) {
    s.SelectClockFont(Font(28, escapement));
    s.PutText(-10 + escapement / 30, 40, u"二十九秒", 4);
  }
  // A partial fill clears what it covers and only that.
  s.FillBlack(0, 0, 60, 90);
  for (int y = 0; y < 90; ++y) {
    for (int x = 0; x < 60; ++x) ASSERT_EQ(std::as_const(s).Pixels()[y * 120 + x], 0u);
  }
  EXPECT_FALSE(AllBlack(s));
  s.FillBlack(0, 0, 120, 90);
  EXPECT_TRUE(AllBlack(s));

  // Pixels written by hand are not the surface's ink, but a whole clear
  // still clears them.
  s.Pixels()[5 * 120 + 100] = kGarbage;
  s.FillBlack(-1, -1, 200, 200);
  EXPECT_TRUE(AllBlack(s));
}

// Memory handed over by a back end: rows apart by more than the width,
// anything in it at first. The padding is never written. Each frame is in
// the memory once copied to the window.
TEST_F(InkTrackingTest, ItDrawsIntoMemoryItDoesNotOwnAsIntoItsOwn) {
  constexpr int kWidth = 90, kHeight = 70, kStride = 100;
  std::vector<std::uint32_t> memory(kStride * kHeight, kGarbage);
  InkRecord ink;
  RasterSurface own(kWidth, kHeight), lent(kWidth, kHeight);
  lent.SetTarget(memory.data(), kStride * sizeof(std::uint32_t), &ink);
  EXPECT_EQ(lent.Stride(), kStride);
  EXPECT_EQ(std::as_const(lent).Pixels(), memory.data());
  for (int frame = 0; frame < 4; ++frame) {
    for (RasterSurface* s : {&own, &lent}) {
      s->FillBlack(0, 0, kWidth, kHeight);
      s->SelectClockFont(Font(24, frame * 900));
      s->SetTextColor(0x000000FF + static_cast<ColorRef>(frame) * 0x1000);
      s->PutText(45, 35, u"十一", 2);
      // The frame's end: the lent memory holds it from here on.
      s->CopyToWindow(0, 0, kWidth, kHeight);
    }
    for (int y = 0; y < kHeight; ++y) {
      ASSERT_TRUE(std::equal(std::as_const(own).Pixels() + y * kWidth, std::as_const(own).Pixels() + (y + 1) * kWidth,
                             memory.data() + y * kStride))
          << "frame " << frame << " row " << y;
      for (int x = kWidth; x < kStride; ++x) ASSERT_EQ(memory[y * kStride + x], kGarbage);
    }
  }
  // Back to its own buffer, never drawn into.
  lent.SetTarget(nullptr, 0, nullptr);
  EXPECT_EQ(lent.Stride(), kWidth);
  EXPECT_TRUE(AllBlack(lent));
}

// A frame drawn again touches only the tiles whose glyphs changed: a mark
// put into the memory behind the surface's back stays where the glyphs are
// the same, and goes where they differ.
TEST_F(InkTrackingTest, ASecondFrameClearsAndDrawsOnlyTheTilesWhoseGlyphsDiffer) {
  constexpr int kWidth = 160, kHeight = 64;
  std::vector<std::uint32_t> memory(kWidth * kHeight, kGarbage);
  InkRecord ink;
  RasterSurface s(kWidth, kHeight), reference(kWidth, kHeight);
  s.SetTarget(memory.data(), kWidth * sizeof(std::uint32_t), &ink);
  reference.SetInkTrackingEnabled(false);
  const auto frame = [&](RasterSurface& on, ColorRef right) {
    on.FillBlack(0, 0, kWidth, kHeight);
    on.SelectClockFont(Font(20, 0));
    on.SetTextColor(0x0000FFFF);
    on.PutText(8, 20, u"十", 1);
    on.SetTextColor(right);
    on.PutText(100, 20, u"十", 1);
    on.CopyToWindow(0, 0, kWidth, kHeight);
  };
  frame(s, 0x00FFFFFF);
  // A black tile far from either glyph, and a pixel of the right one.
  std::size_t right = 0;
  for (std::size_t i = 0; i < memory.size(); ++i) {
    if (static_cast<int>(i % kWidth) >= 90 && memory[i] != 0) right = i;
  }
  ASSERT_NE(right, 0u);
  memory[50 * kWidth + 14] = kGarbage;
  memory[right] = kGarbage;
  frame(s, 0x00FFFFFF);
  EXPECT_EQ(memory[50 * kWidth + 14], kGarbage);
  EXPECT_EQ(memory[right], kGarbage);
  frame(s, 0x0000FF00);
  EXPECT_EQ(memory[50 * kWidth + 14], kGarbage);
  // The tiles of the glyph that changed were cleared and drawn as a whole
  // frame draws them.
  frame(reference, 0x0000FF00);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 90; x < kWidth; ++x) {
      ASSERT_EQ(memory[y * kWidth + x], std::as_const(reference).Pixels()[y * kWidth + x]) << x << "," << y;
    }
  }
}

TEST_F(InkTrackingTest, ThePresenterIsToldTheWholeOnlyWhenTheScreenIsNotKnown) {
  RasterSurface s(200, 100);
  std::vector<std::vector<Rect>> shown;
  s.SetDamagePresenter([&](std::span<const Rect> changed) { shown.emplace_back(changed.begin(), changed.end()); });
  const auto frame = [&](int x, ColorRef color = 0x00FFFFFF, const char16_t* far = u"") {
    s.FillBlack(0, 0, 200, 100);
    s.SelectClockFont(Font(20, 0));
    s.SetTextColor(color);
    if (x >= 0) s.PutText(x, 40, u"十", 1);
    s.PutText(150, 40, far, static_cast<int>(std::char_traits<char16_t>::length(far)));
    s.CopyToWindow(0, 0, 200, 100);
    return shown.back();
  };
  const Rect all{0, 0, 200, 100};
  std::vector<Rect> changed = frame(10);
  ASSERT_EQ(changed.size(), 1u);  // nothing shown yet
  EXPECT_TRUE(Inside(changed[0], all) && Inside(all, changed[0]));

  // The glyph moves right: where it was and where it is, not the far end.
  changed = frame(60);
  EXPECT_TRUE(Covered(changed, 15, 50));
  EXPECT_TRUE(Covered(changed, 65, 50));
  EXPECT_FALSE(Covered(changed, 150, 50));
  EXPECT_LT(AreaOf(changed), 200 * 100 / 2);
  // Drawn alike: nothing to show. In another colour, or beside a glyph
  // that comes and goes: that glyph's place only.
  EXPECT_TRUE(frame(60).empty());
  changed = frame(60, 0x000000FF);
  EXPECT_TRUE(Covered(changed, 65, 50));
  EXPECT_FALSE(Covered(changed, 15, 50));
  changed = frame(60, 0x000000FF, u"一");
  EXPECT_TRUE(Covered(changed, 160, 50));
  EXPECT_FALSE(Covered(changed, 65, 50));
  // Gone: where it was. Then nothing at all.
  changed = frame(-1);
  EXPECT_TRUE(Covered(changed, 65, 50));
  EXPECT_TRUE(frame(-1).empty());
  // A glyph more ahead of another, or one fewer: its place only, though
  // the other comes later in the order than it did.
  frame(-1, 0x00FFFFFF, u"一");
  for (int x : {60, -1}) {
    changed = frame(x, 0x00FFFFFF, u"一");
    EXPECT_TRUE(Covered(changed, 65, 50));
    EXPECT_FALSE(Covered(changed, 160, 50));
  }

  s.ShowWhole();
  changed = frame(-1);
  ASSERT_EQ(changed.size(), 1u);
  EXPECT_TRUE(Inside(all, changed[0]));
  EXPECT_TRUE(frame(-1).empty());

  // A part copied is a part shown; the rest of the screen stays unknown
  // until a whole copy.
  s.ShowWhole();
  s.CopyToWindow(0, 0, 100, 100);
  ASSERT_EQ(shown.back().size(), 1u);
  EXPECT_EQ(shown.back()[0].right, 100);
  EXPECT_EQ(frame(-1).size(), 1u);

  // Without tracking every copy is whole.
  s.SetInkTrackingEnabled(false);
  EXPECT_EQ(frame(-1).size(), 1u);

  // The plain presenter is handed what was asked, as before.
  int calls = 0;
  Rect asked;
  s.SetPresenter([&](int x, int y, int w, int h) {
    ++calls;
    asked = Rect{x, y, x + w, y + h};
  });
  const std::size_t before = shown.size();
  s.CopyToWindow(-5, 3, 400, 8);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(asked.left, -5);
  EXPECT_EQ(asked.right, 395);
  EXPECT_EQ(shown.size(), before);
}

// ---- Whole frames, second after second ----

// 3000 seconds from 23:20 on New Year's Eve: minutes, hours, midnight, a new
// month and a new year.
std::time_t FirstSecond() {
  std::tm start{};
  start.tm_year = 2026 - 1900;
  start.tm_mon = 11;
  start.tm_mday = 31;
  start.tm_hour = 23;
  start.tm_min = 20;
  return timegm(&start);
}
std::time_t Now = 0;
bool TestClock(std::tm* out) { return gmtime_r(&Now, out) != nullptr; }

// A screen, or a compositor's copy of the window: only the rectangles a
// presenter is handed are copied into it from the buffer drawn.
struct Screen {
  std::vector<std::uint32_t> pixels;
  int width = 0;
  void Apply(const RasterSurface& from, std::span<const Rect> changed) {
    for (const Rect& r : changed) {
      for (int y = r.top; y < r.bottom; ++y) {
        const std::uint32_t* row = from.Pixels() + static_cast<std::ptrdiff_t>(y) * from.Stride();
        std::copy(row + r.left, row + r.right, pixels.begin() + y * width + r.left);
      }
    }
  }
};

// Row by row, ignoring any padding of `a`.
bool SamePixels(const RasterSurface& a, const std::uint32_t* b, int bStride) {
  for (int y = 0; y < a.Height(); ++y) {
    const std::uint32_t* row = a.Pixels() + static_cast<std::ptrdiff_t>(y) * a.Stride();
    if (!std::equal(row, row + a.Width(), b + static_cast<std::ptrdiff_t>(y) * bStride)) return false;
  }
  return true;
}

using SecondsTest = InkTrackingTest;

// The ways a window of one size shows its frames, side by side.
struct Showings {
  Showings(int w, int h)
      : width(w), height(h), stride(w + 8), reference(w, h), single(w, h), pair(w, h) {
    // Cleared and copied whole every time, as before.
    reference.SetInkTrackingEnabled(false);
    // One buffer of its own, shown on a screen through the damage; the
    // screen of a window just made holds anything.
    singleScreen = Screen{std::vector<std::uint32_t>(w * h, kGarbage), w};
    single.SetDamagePresenter([this](std::span<const Rect> c) {
      singleScreen.Apply(single, c);
      Count(c, &singleWhole);
    });
    // Two buffers lent in turn, as a Wayland client's, with padded rows;
    // the compositor's copy takes only the damage.
    for (auto& buffer : buffers) buffer.assign(static_cast<std::size_t>(stride) * h, kGarbage);
    compositor = Screen{std::vector<std::uint32_t>(w * h, kGarbage), w};
    pair.SetDamagePresenter([this](std::span<const Rect> c) {
      compositor.Apply(pair, c);
      Count(c, &pairWhole);
    });
  }
  void Count(std::span<const Rect> changed, int* whole) {
    const Rect all{0, 0, width, height};
    for (const Rect& r : changed) EXPECT_TRUE(Inside(r, all));
    if (changed.size() == 1 && Inside(all, changed[0])) {
      ++*whole;
      return;
    }
    ++damagedFrames;
    damagedArea += AreaOf(std::vector<Rect>(changed.begin(), changed.end()));
    mostRects = std::max(mostRects, changed.size());
  }
  void Draw(int k, const FaceLook& look) {
    pair.SetTarget(buffers[k % 2].data(), static_cast<std::size_t>(stride) * sizeof(std::uint32_t),
                   &inks[k % 2]);
    std::tm now{};
    const bool known = TestClock(&now);
    for (RasterSurface* s : {&reference, &single, &pair}) {
      DrawFrame(*s, layout, look, known ? &now : nullptr);
    }
  }
  void Layout(const FaceLook& look) { layout = ComputeLayout(width, height, look.NumeralStyle); }

  int width, height, stride;
  FaceLayout layout;
  RasterSurface reference, single, pair;
  Screen singleScreen, compositor;
  std::vector<std::uint32_t> buffers[2];
  InkRecord inks[2];
  int singleWhole = 0, pairWhole = 0, damagedFrames = 0;
  long long damagedArea = 0;
  std::size_t mostRects = 0;
};

TEST_F(SecondsTest, EveryFrameMadeFromItsInkEqualsOneDrawnInFull) {
  FaceLook look;
  look.ThemeIndex = 2;
  UpdateHighlightColor(look);
  auto showings = std::make_unique<Showings>(800, 500);
  showings->Layout(look);
  std::vector<std::uint32_t> previous;
  int changedFrames = 0;
  for (int k = 0; k < 3000; ++k) {
    SCOPED_TRACE(k);
    Now = FirstSecond() + k;
    // The user at work: right clicks, wheel turns, and the window resized
    // twice (a new size comes with new buffers).
    if (k == 400 || k == 1700 || k == 2650) {
      look.NumeralStyle = NextNumeralStyle(look.NumeralStyle);
      showings->Layout(look);
    }
    if (k == 900 || k == 901 || k == 2200) {
      MoveTheme(look, k == 2200 ? -120 : 120);
      UpdateHighlightColor(look);
    }
    if (k == 1300 || k == 1400) {
      const int frames = showings->damagedFrames;
      EXPECT_EQ(showings->singleWhole, 1);
      EXPECT_EQ(showings->pairWhole, 2);  // the first frame into each buffer
      // Most seconds change a few labels of the outer rings.
      EXPECT_LT(showings->damagedArea / frames, showings->width * showings->height / 4);
      EXPECT_LE(showings->mostRects, 100u);
      showings = k == 1300 ? std::make_unique<Showings>(600, 420) : std::make_unique<Showings>(800, 500);
      showings->Layout(look);
    }

    Showings& s = *showings;
    s.Draw(k, look);
    const std::uint32_t* reference = std::as_const(s.reference).Pixels();
    ASSERT_TRUE(SamePixels(s.single, reference, s.width));
    ASSERT_TRUE(SamePixels(s.pair, reference, s.width));
    ASSERT_TRUE(SamePixels(s.reference, s.singleScreen.pixels.data(), s.width));
    ASSERT_TRUE(SamePixels(s.reference, s.compositor.pixels.data(), s.width));
    const std::size_t size = static_cast<std::size_t>(s.width) * s.height;
    if (previous.size() != size || !std::equal(previous.begin(), previous.end(), reference)) ++changedFrames;
    previous.assign(reference, reference + size);

    // Now and then against a fresh surface drawn once.
    if (k % 500 == 0 || k == 401 || k == 901 || k == 1300) {
      RasterSurface scratch(s.width, s.height);
      std::tm now{};
      ASSERT_TRUE(TestClock(&now));
      DrawFrame(scratch, ComputeLayout(s.width, s.height, look.NumeralStyle), look, &now);
      ASSERT_TRUE(SamePixels(scratch, reference, s.width));
    }
  }
  // The second hand moves every second: no frame was left unchecked as
  // a repeat of the one before.
  EXPECT_EQ(changedFrames, 3000);
  EXPECT_EQ(showings->pairWhole, 2);
}

}  // namespace
