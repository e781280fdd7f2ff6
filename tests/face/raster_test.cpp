// The FreeType surface: where glyphs land, colours, clipping, the glyph cache,
// the PNG writer, and a whole frame drawn through the face logic.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <initializer_list>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "face/font_lookup.h"
#include "face/frame.h"
#include "face/layout.h"
#include "face/numerals.h"
#include "face/png_writer.h"
#include "face/raster_surface.h"
#include "face/recording_surface.h"
#include "face/themes.h"

namespace {

namespace fs = std::filesystem;

struct Box {
  int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;  // inclusive
  bool Empty() const { return left > right; }
};

// The bounding box of every pixel that is not black.
Box Ink(const RasterSurface& s) {
  Box box;
  for (int y = 0; y < s.Height(); ++y) {
    for (int x = 0; x < s.Width(); ++x) {
      if (s.Pixels()[y * s.Width() + x] == 0) continue;
      box.left = std::min(box.left, x);
      box.right = std::max(box.right, x);
      box.top = std::min(box.top, y);
      box.bottom = std::max(box.bottom, y);
    }
  }
  return box;
}

// Pixels that are `pixel` laid over black with at least half coverage: thin
// strokes of a small Kai glyph seldom cover a pixel fully.
int CountShade(const RasterSurface& s, std::uint32_t pixel, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = std::max(0, y0); y < std::min(s.Height(), y1); ++y) {
    for (int x = std::max(0, x0); x < std::min(s.Width(), x1); ++x) {
      const std::uint32_t p = s.Pixels()[y * s.Width() + x];
      double share = -1;
      bool close = true;
      for (int shift : {16, 8, 0}) {
        const int want = (pixel >> shift) & 0xFF, got = (p >> shift) & 0xFF;
        if (want == 0) {
          close = close && got <= 4;
          continue;
        }
        const double t = static_cast<double>(got) / want;
        if (share < 0) share = t;
        close = close && std::abs(got - share * want) <= 4;
      }
      if (close && share >= 0.5) ++n;
    }
  }
  return n;
}

int CountColor(const RasterSurface& s, std::uint32_t pixel, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = std::max(0, y0); y < std::min(s.Height(), y1); ++y) {
    for (int x = std::max(0, x0); x < std::min(s.Width(), x1); ++x) {
      if (s.Pixels()[y * s.Width() + x] == pixel) ++n;
    }
  }
  return n;
}

ClockFont Font(int height, int escapement, const char16_t* face = kNumeralFace) {
  ClockFont font;
  font.height = height;
  font.escapement = escapement;
  font.weight = face == kArabicFace ? kArabicWeight : kNumeralWeight;
  font.face = face;
  return font;
}

std::vector<std::string> FilesIn(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
  return names;
}

// A fresh folder for a test that runs its body again in a child process
// (the "threadsafe" death-test style): the parent makes it and hands its name
// down in `variable`, so the child uses the same one.
fs::path FolderForChild(const char* variable) {
  if (const char* given = std::getenv(variable)) return given;
  std::string name = (fs::temp_directory_path() / "orbidial-fc-XXXXXX").string();
  if (mkdtemp(name.data()) == nullptr) return {};
  setenv(variable, name.c_str(), 1);
  return name;
}

void DoneWithFolder(const char* variable, const fs::path& dir) {
  unsetenv(variable);
  fs::remove_all(dir);
}

class RasterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(LoadClockFaces(&error)) << error;
  }
};

TEST_F(RasterTest, FontconfigResolvesTheWindowsNamesToTheDebianFaces) {
  const std::string arabic = ClockFaceSource(kArabicFace);
  const std::string numeral = ClockFaceSource(kNumeralFace);
  EXPECT_NE(arabic.find("NotoSansCJK-Bold.ttc"), std::string::npos) << arabic;
  EXPECT_NE(arabic.find("Noto Sans CJK SC"), std::string::npos) << arabic;
  EXPECT_NE(numeral.find("gkai00mp"), std::string::npos) << numeral;
  std::string again;
  EXPECT_TRUE(LoadClockFaces(&again));
}

// A rule of the user's own configuration for a Windows name wins over ours,
// even the weaker <accept> kind.
TEST(ClockFacesTest, UserConfigurationRemapsAName) {
  // A fresh process, since the faces are resolved once per process.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const fs::path dir = FolderForChild("ORBIDIAL_TEST_FC_USER");
  ASSERT_FALSE(dir.empty());
  std::ofstream(dir / "fonts.conf")
      << "<?xml version=\"1.0\"?>\n<fontconfig>\n"
         "<include ignore_missing=\"yes\">/etc/fonts/fonts.conf</include>\n"
         "<alias binding=\"strong\"><family>楷体</family>"
         "<accept><family>Noto Sans CJK SC</family></accept></alias>\n"
         "</fontconfig>\n";
  const std::string file = (dir / "fonts.conf").string();
  EXPECT_EXIT(
      {
        setenv("FONTCONFIG_FILE", file.c_str(), 1);
        std::string error;
        const bool ok = LoadClockFaces(&error);
        std::fprintf(stderr, "%s\n", ClockFaceSource(kNumeralFace).c_str());
        std::exit(ok && ClockFaceSource(kNumeralFace).find("NotoSansCJK") != std::string::npos ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "NotoSansCJK");
  DoneWithFolder("ORBIDIAL_TEST_FC_USER", dir);
}

// With only a Latin font installed, fontconfig still answers; we refuse it.
TEST(ClockFacesTest, AFontWithoutTheCharactersIsRefusedWithThePackageToInstall) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  if (!fs::exists("/usr/share/fonts/truetype/dejavu")) GTEST_SKIP() << "no DejaVu fonts";
  const fs::path dir = FolderForChild("ORBIDIAL_TEST_FC_LATIN");
  ASSERT_FALSE(dir.empty());
  std::ofstream(dir / "fonts.conf") << "<?xml version=\"1.0\"?>\n<fontconfig>\n"
                                       "<dir>/usr/share/fonts/truetype/dejavu</dir>\n"
                                       "<cachedir>" << (dir / "cache").string() << "</cachedir>\n"
                                       "</fontconfig>\n";
  const std::string file = (dir / "fonts.conf").string();
  EXPECT_EXIT(
      {
        setenv("FONTCONFIG_FILE", file.c_str(), 1);
        std::string error;
        const bool ok = LoadClockFaces(&error);
        std::fprintf(stderr, "%s\n", error.c_str());
        std::exit(ok ? 0 : 3);
      },
      ::testing::ExitedWithCode(3), "^no font for 微软雅黑 \\(install fonts-noto-cjk\\)\n$");
  DoneWithFolder("ORBIDIAL_TEST_FC_LATIN", dir);
}

TEST_F(RasterTest, UprightGlyphStaysInsideItsCellInTheTextColour) {
  for (const char16_t* face : {kArabicFace, kNumeralFace}) {
    RasterSurface s(200, 200);
    s.SelectClockFont(Font(40, 0, face));
    s.SetTextColor(0x00336699);  // COLORREF: red 0x99, green 0x66, blue 0x33
    s.PutText(50, 60, u"期", 1);
    const Box ink = Ink(s);
    ASSERT_FALSE(ink.Empty());
    EXPECT_GE(ink.left, 50);
    EXPECT_LT(ink.right, 90);
    EXPECT_GE(ink.top, 60);
    EXPECT_LT(ink.bottom, 100);
    // The character is big: it fills most of the cell.
    EXPECT_GT(ink.right - ink.left, 20);
    EXPECT_GT(ink.bottom - ink.top, 20);
    EXPECT_GT(CountColor(s, 0x996633, 0, 0, 200, 200), 20) << "full coverage is the exact colour";
  }
}

TEST_F(RasterTest, TextAdvancesCellByCellAndBlendsOverWhatIsThere) {
  RasterSurface s(300, 100);
  s.SelectClockFont(Font(40, 0));
  s.SetTextColor(0x000000FF);
  s.PutText(10, 10, u"一", 1);
  const Box one = Ink(s);
  s.FillBlack(0, 0, 300, 100);
  s.PutText(10, 10, u"一一", 2);
  const Box two = Ink(s);
  // The Kai face's advance is its em, which is its cell.
  EXPECT_EQ(two.left, one.left);
  EXPECT_EQ(two.right, one.right + 40);
  // Transparent background: a second colour over the first leaves the rest.
  s.SetTextColor(0x0000FF00);
  s.PutText(10, 10, u"一", 1);
  EXPECT_GT(CountColor(s, 0x00FF00, 0, 0, 50, 100), 0);
  EXPECT_GT(CountColor(s, 0xFF0000, 50, 0, 300, 100), 0);
  EXPECT_EQ(CountColor(s, 0xFF0000, 0, 0, 50, 100) + CountColor(s, 0x00FF00, 50, 0, 300, 100), 0);
}

TEST_F(RasterTest, TurnedGlyphTurnsAboutTheTopLeftOfItsCell) {
  // 90 degrees counter-clockwise: the cell's top edge now runs up from P,
  // so the glyph sits in [x, x + cell) x (y - cell, y].
  RasterSurface s(200, 200);
  s.SelectClockFont(Font(40, 900));
  s.SetTextColor(0x00FFFFFF);
  s.PutText(100, 100, u"期", 1);
  Box ink = Ink(s);
  ASSERT_FALSE(ink.Empty());
  EXPECT_GE(ink.left, 99);
  EXPECT_LE(ink.right, 140);
  EXPECT_GE(ink.top, 59);
  EXPECT_LE(ink.bottom, 101);

  // 180 degrees: upside down, left and above P.
  s.FillBlack(0, 0, 200, 200);
  s.SelectClockFont(Font(40, 1800));
  s.PutText(100, 100, u"期", 1);
  ink = Ink(s);
  EXPECT_GE(ink.left, 59);
  EXPECT_LE(ink.right, 101);
  EXPECT_GE(ink.top, 59);
  EXPECT_LE(ink.bottom, 101);

  // A full turn is no turn.
  RasterSurface upright(200, 200), turned(200, 200);
  upright.SelectClockFont(Font(40, 0));
  turned.SelectClockFont(Font(40, 3600));
  upright.PutText(80, 80, u"秒", 1);
  turned.PutText(80, 80, u"秒", 1);
  EXPECT_TRUE(std::equal(upright.Pixels(), upright.Pixels() + 200 * 200, turned.Pixels()));
}

TEST_F(RasterTest, HeightZeroIsADefaultSizeAndGdiCellRuleHolds) {
  RasterSurface s(100, 100);
  s.SelectClockFont(Font(0, 0, kArabicFace));
  s.SetTextColor(0x00FFFFFF);
  s.PutText(10, 10, u"期", 1);
  const Box ink = Ink(s);
  ASSERT_FALSE(ink.Empty());
  EXPECT_LE(ink.bottom - ink.top, 16);
  EXPECT_GE(ink.bottom - ink.top, 8);
  // The sans face's cell is taller than its em: its glyph is smaller than
  // the Kai face's at the same cell height.
  RasterSurface kai(100, 100);
  kai.SelectClockFont(Font(60, 0, kNumeralFace));
  kai.SetTextColor(0x00FFFFFF);
  kai.PutText(0, 0, u"一", 1);
  RasterSurface sans(100, 100);
  sans.SelectClockFont(Font(60, 0, kArabicFace));
  sans.SetTextColor(0x00FFFFFF);
  sans.PutText(0, 0, u"一", 1);
  const Box kaiInk = Ink(kai), sansInk = Ink(sans);
  ASSERT_FALSE(kaiInk.Empty());
  ASSERT_FALSE(sansInk.Empty());
  EXPECT_GT(kaiInk.right - kaiInk.left, sansInk.right - sansInk.left + 5);
}

TEST_F(RasterTest, BaselineStandsGdisWholeAscentBelowTheCellTop) {
  // GDI's ascent is whole pixels from the rounded em: a 22 px cell of the
  // sans face is 15 ppem, whose ascent is 17 px (the cell's share, 17.6,
  // would round to 18). A digit's foot rests on the baseline.
  RasterSurface s(100, 100);
  s.SelectClockFont(Font(22, 0, kArabicFace));
  s.SetTextColor(0x00FFFFFF);
  s.PutText(10, 10, u"1", 1);
  const Box ink = Ink(s);
  ASSERT_FALSE(ink.Empty());
  EXPECT_EQ(ink.bottom, 10 + 17 - 1);
}

TEST_F(RasterTest, DrawingAndFillingClipAtEveryEdge) {
  RasterSurface s(50, 40);
  s.SelectClockFont(Font(30, 0));
  s.SetTextColor(0x00FFFFFF);
  s.PutText(-15, -15, u"十", 1);  // partly above and left
  s.PutText(35, 25, u"十", 1);    // partly below and right
  const Box ink = Ink(s);
  EXPECT_EQ(ink.left, 0);
  EXPECT_EQ(ink.top, 0);
  EXPECT_EQ(ink.right, 49);
  EXPECT_EQ(ink.bottom, 39);
  for (int escapement : {0, 450, 900, 1800, 2700}) {
    s.SelectClockFont(Font(30, escapement));
    for (int x : {INT_MIN, -100000, 100000, INT_MAX}) {
      for (int y : {INT_MIN, -100000, 100000, INT_MAX}) s.PutText(x, y, u"十一二", 3);
    }
  }
  s.SelectClockFont(Font(INT_MAX, 0));
  s.PutText(0, 0, u"十", 1);
  s.SelectClockFont(Font(INT_MIN, 900));
  s.PutText(0, 0, u"十", 1);
  const Box after = Ink(s);
  EXPECT_EQ(after.left, ink.left);
  EXPECT_EQ(after.right, ink.right);

  std::fill(s.Pixels(), s.Pixels() + 50 * 40, 0x00FFFFFFu);
  s.FillBlack(-10, -10, 20, 15);  // clears [0,10) x [0,5)
  EXPECT_EQ(CountColor(s, 0, 0, 0, 50, 40), 50);
  EXPECT_EQ(CountColor(s, 0, 0, 0, 10, 5), 50);
  s.FillBlack(INT_MAX, INT_MAX, INT_MAX, INT_MAX);
  s.FillBlack(INT_MIN, INT_MIN, 5, 5);
  s.FillBlack(40, 30, INT_MAX, INT_MAX);
  EXPECT_EQ(CountColor(s, 0, 0, 0, 50, 40), 50 + 100);
  s.FillBlack(INT_MIN, INT_MIN, INT_MAX, INT_MAX);  // ends at -1: nothing
  EXPECT_EQ(CountColor(s, 0, 0, 0, 50, 40), 150);

  RasterSurface empty(0, 0);
  empty.SelectClockFont(Font(30, 0));
  empty.PutText(0, 0, u"十", 1);
  empty.FillBlack(0, 0, 10, 10);
}

TEST_F(RasterTest, TheGlyphCacheStaysWithinItsLimitAndDrawsAsWithout) {
  RasterSurface cached(300, 300), fresh(300, 300);
  fresh.SetGlyphCacheEnabled(false);
  const auto frame = [&](std::initializer_list<RasterSurface*> surfaces, std::size_t* most) {
    for (RasterSurface* s : surfaces) s->FillBlack(0, 0, 300, 300);
    for (int escapement = 0; escapement < 3600; escapement += 37) {
      for (RasterSurface* s : surfaces) {
        s->SelectClockFont(Font(30, escapement));
        s->SetTextColor(static_cast<ColorRef>(escapement * 4099));
        s->PutText(150, 150, u"星期贰", 3);
      }
      *most = std::max(*most, cached.GlyphCacheBytes());
    }
  };
  // Room for three quarters of a frame's glyphs: each frame clears the
  // cache once, and the next looks its glyphs up in the same order, some
  // before the clear and some after.
  std::size_t all = 0;
  frame({&cached}, &all);
  const std::size_t limit = all * 3 / 4;
  cached.SetGlyphCacheLimit(limit);
  std::size_t most = 0;
  for (int round = 0; round < 3; ++round) frame({&cached, &fresh}, &most);
  EXPECT_GT(most, 0u);
  EXPECT_LE(most, limit);
  EXPECT_TRUE(std::equal(cached.Pixels(), cached.Pixels() + 300 * 300, fresh.Pixels()));
  // A glyph too big to keep is still drawn.
  RasterSurface big(600, 600);
  big.SetGlyphCacheLimit(1024);
  big.SelectClockFont(Font(500, 0));
  big.SetTextColor(0x00FFFFFF);
  big.PutText(50, 50, u"十", 1);
  EXPECT_FALSE(Ink(big).Empty());
  EXPECT_EQ(big.GlyphCacheBytes(), 0u);
}

TEST_F(RasterTest, CopyCallsThePresenter) {
  RasterSurface s(10, 10);
  s.CopyToWindow(0, 0, 10, 10);  // no presenter: nothing happens
  int calls = 0, width = 0;
  s.SetPresenter([&](int, int, int w, int) { ++calls; width = w; });
  s.CopyToWindow(1, 2, 8, 9);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(width, 8);
}

// ---- Whole frames through the face logic ----

std::tm FixedInstant() {
  std::tm t{};
  t.tm_year = 2026 - 1900;
  t.tm_mon = 11;
  t.tm_mday = 9;
  t.tm_hour = 10;
  t.tm_min = 8;
  t.tm_sec = 30;
  t.tm_wday = 3;
  return t;
}

class FrameOnRasterTest : public RasterTest {
 protected:
  void SetUp() override {
    RasterTest::SetUp();
    look.ThemeIndex = 3;
    UpdateHighlightColor(look);
  }
  // The frame of the fixed instant in `style` on `surface`; its layout.
  FaceLayout Draw(Surface* surface, int style, int width, int height) {
    look.NumeralStyle = StoredNumeralStyle(style);
    const FaceLayout layout = ComputeLayout(width, height, look.NumeralStyle);
    const std::tm now = FixedInstant();
    DrawFrame(*surface, layout, look, &now);
    return layout;
  }
  FaceLook look;
};

TEST_F(FrameOnRasterTest, GlyphCacheOnOrOffDrawsTheSamePixels) {
  for (int style : {0, 1}) {
    RasterSurface cached(640, 480), fresh(640, 480);
    fresh.SetGlyphCacheEnabled(false);
    Draw(&cached, style, 640, 480);
    Draw(&fresh, style, 640, 480);
    EXPECT_TRUE(std::equal(cached.Pixels(), cached.Pixels() + 640 * 480, fresh.Pixels()));
    Draw(&cached, style, 640, 480);  // now from the warm cache
    EXPECT_TRUE(std::equal(cached.Pixels(), cached.Pixels() + 640 * 480, fresh.Pixels()));
    EXPECT_FALSE(Ink(cached).Empty());
  }
}

// Every highlighted text of the frame (the year line and each ring's current
// value) shows the highlight colour inside the cells it was given.
TEST_F(FrameOnRasterTest, HighlightColourStandsWhereEveryCurrentLabelIsDrawn) {
  // Landscape, and a portrait screen, laid out from its width so that the
  // current values at 3 o'clock stay on the screen.
  for (const auto& [width, height] : {std::pair{1920, 1080}, std::pair{800, 1280}}) {
    for (int style : {0, 1, 2}) {
      SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height) + " style " +
                   std::to_string(style));
      RecordingSurface recording;
      Draw(&recording, style, width, height);
      RasterSurface s(width, height);
      const FaceLayout l = Draw(&s, style, width, height);
      const ColorRef h = look.HighlightColor;
      const std::uint32_t highlight = ((h & 0xFF) << 16) | (h & 0xFF00) | ((h >> 16) & 0xFF);
      const int fontHeight = l.FontHeight;

      ColorRef color = 0;
      int highlighted = 0;
      bool yearSeen = false;
      for (const RecordedCall& call : recording.Calls()) {
        if (call.kind == RecordedCall::kColor) color = call.color;
        if (call.kind != RecordedCall::kText || color != h) continue;
        const int cells = static_cast<int>(call.text.size());
        const int right = call.x + cells * fontHeight, bottom = call.y + fontHeight;
        EXPECT_GE(CountShade(s, highlight, call.x, call.y, right, bottom), 3)
            << RecordingSurface::Line(call);
        // Whole on the screen, unit and all.
        EXPECT_LE(right, width) << RecordingSurface::Line(call);
        ++highlighted;
        if (call.text.find(u'年') != std::u16string::npos) {
          yearSeen = true;
          // The year line is inked from its first character to its last.
          EXPECT_GT(CountShade(s, highlight, call.x, call.y, call.x + fontHeight / 2, bottom), 0);
          EXPECT_GT(CountShade(s, highlight, right - 2 * fontHeight, call.y, right, bottom), 0);
        }
        // All highlighted labels stand on the horizontal line through the centre.
        EXPECT_LE(std::abs(call.y + fontHeight / 2 - l.CenterY), fontHeight);
      }
      EXPECT_TRUE(yearSeen);
      EXPECT_GE(highlighted, 7);
      // Nothing in the highlight colour far from that line.
      EXPECT_EQ(CountShade(s, highlight, 0, 0, width, l.CenterY - 2 * fontHeight), 0);
      EXPECT_EQ(CountShade(s, highlight, 0, l.CenterY + 2 * fontHeight, width, height), 0);
    }
  }
}

// Faces of different sizes, styles and themes drawn in turns, in any order,
// in one process: each shows, second by second, what it shows drawn alone.
TEST_F(RasterTest, FacesDrawnInTurnsEachShowWhatTheyShowAlone) {
  struct Face {
    int width, height;
    std::int16_t style;
    int theme;
    const char16_t* current;  // its highlighted labels at 10:08:57
    FaceLook look;
    FaceLayout layout;
    std::vector<std::vector<std::uint32_t>> alone;  // pixels of each second
  };
  Face faces[3] = {
      {1024, 768, 1, 3, u"二零二六年十二月九日星期三十点八分五十七秒", {}, {}, {}},
      {640, 400, 0, 6, u"2026  年12 月9 日星期 310 时8 分57 秒", {}, {}, {}},
      {600, 900, 2, 0, u"贰零贰陆年拾贰月玖日星期叁拾点捌分伍拾柒秒", {}, {}, {}}};
  const auto second = [](int k) {
    std::tm t = FixedInstant();
    t.tm_sec = 57 + k;  // on into the next minute
    return t;
  };
  constexpr int kSeconds = 4;
  for (Face& f : faces) {
    f.look.NumeralStyle = f.style;
    f.look.ThemeIndex = f.theme;
    UpdateHighlightColor(f.look);
    f.layout = ComputeLayout(f.width, f.height, f.style);
    RasterSurface alone(f.width, f.height);
    for (int k = 0; k < kSeconds; ++k) {
      const std::tm now = second(k);
      DrawFrame(alone, f.layout, f.look, &now);
      f.alone.emplace_back(alone.Pixels(), alone.Pixels() + f.width * f.height);
    }
  }
  RasterSurface a(faces[0].width, faces[0].height), b(faces[1].width, faces[1].height),
      c(faces[2].width, faces[2].height);
  RasterSurface* surfaces[3] = {&a, &b, &c};
  const int orders[kSeconds][3] = {{0, 1, 2}, {2, 0, 1}, {1, 2, 0}, {2, 1, 0}};
  for (int k = 0; k < kSeconds; ++k) {
    const std::tm now = second(k);
    for (const int i : orders[k]) {
      DrawFrame(*surfaces[i], faces[i].layout, faces[i].look, &now);
      if (k != 0) continue;
      // Each in its own style, whatever was drawn before it.
      RecordingSurface recording;
      DrawFrame(recording, faces[i].layout, faces[i].look, &now);
      std::u16string highlighted;
      ColorRef color = 0;
      for (const RecordedCall& call : recording.Calls()) {
        if (call.kind == RecordedCall::kColor) color = call.color;
        if (call.kind == RecordedCall::kText && color == faces[i].look.HighlightColor) {
          highlighted += call.text;
        }
      }
      EXPECT_EQ(highlighted, faces[i].current) << "face " << i;
    }
    for (int i = 0; i < 3; ++i) {
      const std::vector<std::uint32_t>& want = faces[i].alone[static_cast<std::size_t>(k)];
      EXPECT_TRUE(std::equal(want.begin(), want.end(), surfaces[i]->Pixels()))
          << "face " << i << ", second " << k;
    }
  }
}

// ---- PNG ----

class PngTest : public RasterTest {
 protected:
  void SetUp() override {
    RasterTest::SetUp();
    dir_ = fs::temp_directory_path() / ("orbidial-png-" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST_F(PngTest, WritesAnRgbImageThatReadsBack) {
  RasterSurface s(7, 3);
  s.Pixels()[0] = 0x123456;
  s.Pixels()[7 * 3 - 1] = 0xFFFFFF;
  const std::string path = (dir_ / "frame.png").string();
  std::string error;
  ASSERT_TRUE(WritePng(s, path, &error)) << error;
  EXPECT_EQ(FilesIn(dir_), std::vector<std::string>{"frame.png"});

  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, path.c_str()));
  EXPECT_EQ(image.width, 7u);
  EXPECT_EQ(image.height, 3u);
  EXPECT_EQ(image.format & PNG_FORMAT_FLAG_COLOR, PNG_FORMAT_FLAG_COLOR);
  image.format = PNG_FORMAT_RGB;
  std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
  EXPECT_EQ(rgb[0], 0x12);
  EXPECT_EQ(rgb[1], 0x34);
  EXPECT_EQ(rgb[2], 0x56);
  EXPECT_EQ(rgb[rgb.size() - 1], 0xFF);
  EXPECT_EQ(rgb[3], 0);
}

// The temporary file starts private; the image ends with the permissions
// any new file of the user's gets, replacing an older image or not.
TEST_F(PngTest, AnImageGetsTheUsualPermissionsOfANewFile) {
  RasterSurface s(2, 2);
  const std::string path = (dir_ / "frame.png").string();
  std::string error;
  const mode_t old = umask(022);
  ASSERT_TRUE(WritePng(s, path, &error)) << error;
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
  umask(027);
  ASSERT_TRUE(WritePng(s, path, &error)) << error;
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  umask(old);
  EXPECT_EQ(FilesIn(dir_), std::vector<std::string>{"frame.png"});
}

TEST_F(PngTest, AFailureNamesTheProblemAndLeavesNoFile) {
  RasterSurface s(4, 4);
  std::string error;
  const std::string missing = (dir_ / "no-such-dir" / "x.png").string();
  EXPECT_FALSE(WritePng(s, missing, &error));
  EXPECT_EQ(error, "cannot write " + missing + ": No such file or directory");

  std::ofstream(dir_ / "plain-file") << "x";
  const std::string underFile = (dir_ / "plain-file" / "x.png").string();
  EXPECT_FALSE(WritePng(s, underFile, &error));
  EXPECT_EQ(error, "cannot write " + underFile + ": Not a directory");

  fs::create_directories(dir_ / "a-dir.png");
  EXPECT_FALSE(WritePng(s, (dir_ / "a-dir.png").string(), &error));
  EXPECT_NE(error.find("Is a directory"), std::string::npos) << error;
  EXPECT_TRUE(fs::is_directory(dir_ / "a-dir.png"));
  EXPECT_TRUE(fs::is_empty(dir_ / "a-dir.png"));

  std::vector<std::string> files = FilesIn(dir_);
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"a-dir.png", "plain-file"}));
}

// Writes a noisy 300x300 image (far over `limit` bytes) with the file size
// limited, as a disk that fills up part way through.
bool WriteWithFileSizeLimit(const std::string& path, rlim_t limit) {
  std::signal(SIGXFSZ, SIG_IGN);
  const rlimit bound = {limit, limit};
  setrlimit(RLIMIT_FSIZE, &bound);
  RasterSurface big(300, 300);
  for (int i = 0; i < 300 * 300; ++i) {
    big.Pixels()[i] = (static_cast<std::uint32_t>(i) * 2654435761u) & 0xFFFFFFu;
  }
  std::string error;
  const bool ok = WritePng(big, path, &error);
  std::fprintf(stderr, "%s\n", error.c_str());
  return ok;
}

// A full disk part way through: the old image stays, no temporary is left.
TEST_F(PngTest, AWriteThatRunsOutOfRoomKeepsTheOldFile) {
  // Forked, so the child writes into this test's folder.
  GTEST_FLAG_SET(death_test_style, "fast");
  const std::string path = (dir_ / "frame.png").string();
  std::ofstream(path) << "old";
  EXPECT_EXIT(
      {
        std::exit(WriteWithFileSizeLimit(path, 1000) ? 0 : 3);
      },
      ::testing::ExitedWithCode(3), "cannot write .*frame.png: File too large");
  EXPECT_EQ(FilesIn(dir_), std::vector<std::string>{"frame.png"});
  std::ifstream in(path);
  std::string content;
  in >> content;
  EXPECT_EQ(content, "old");
}

}  // namespace
