// The GDI back buffer: black at the start, the clock font matched by its
// cell height, text placed by the top-left corner of its cell (also when
// turned), in the colour set; each font made once and kept with the surface.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "face/gdi_surface_win32.h"

namespace {

constexpr int kWidth = 240;
constexpr int kHeight = 160;

struct Box {
  int left = kWidth, top = kHeight, right = -1, bottom = -1;  // inclusive
  int lit = 0;
  bool exactColour = false;
};

class GdiSurfaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, kWidth, kHeight, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    surface_ = new GdiSurface(window_, kWidth, kHeight);
  }
  void TearDown() override {
    delete surface_;
    DestroyWindow(window_);
  }

  // Where the non-black pixels of the buffer are.
  Box Lit(COLORREF colour) const {
    Box box;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const COLORREF pixel = GetPixel(surface_->Dc(), x, y);
        if (pixel == 0) continue;
        ++box.lit;
        if (pixel == colour) box.exactColour = true;
        box.left = std::min(box.left, x);
        box.top = std::min(box.top, y);
        box.right = std::max(box.right, x);
        box.bottom = std::max(box.bottom, y);
      }
    }
    return box;
  }

  void SelectKai(int height, int escapement) {
    ClockFont font;
    font.height = height;
    font.escapement = escapement;
    font.weight = 500;
    font.face = u"楷体";
    surface_->SelectClockFont(font);
  }

  HWND window_ = nullptr;
  GdiSurface* surface_ = nullptr;
};

TEST_F(GdiSurfaceTest, StartsBlackAndTransparent) {
  EXPECT_EQ(Lit(0).lit, 0);
  EXPECT_EQ(GetBkMode(surface_->Dc()), TRANSPARENT);
}

TEST_F(GdiSurfaceTest, ClockFontIsRequestedExactly) {
  SelectKai(40, 1540);
  LOGFONTW font = {};
  ASSERT_NE(GetObjectW(GetCurrentObject(surface_->Dc(), OBJ_FONT), sizeof(font), &font), 0);
  EXPECT_EQ(font.lfHeight, 40);
  EXPECT_EQ(font.lfWidth, 0);
  EXPECT_EQ(font.lfEscapement, 1540);
  EXPECT_EQ(font.lfOrientation, 0);
  EXPECT_EQ(font.lfWeight, 500);
  EXPECT_EQ(font.lfItalic | font.lfUnderline | font.lfStrikeOut, 0);
  EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
  EXPECT_EQ(font.lfOutPrecision, OUT_RASTER_PRECIS);
  EXPECT_EQ(font.lfClipPrecision, CLIP_DEFAULT_PRECIS);
  EXPECT_EQ(font.lfQuality, DRAFT_QUALITY);
  EXPECT_EQ(font.lfPitchAndFamily, FIXED_PITCH | FF_SWISS);
  EXPECT_STREQ(font.lfFaceName, L"楷体");
}

TEST_F(GdiSurfaceTest, ClockFontHeightIsTheCellHeight) {
  SelectKai(40, 0);
  TEXTMETRICW metrics = {};
  ASSERT_TRUE(GetTextMetricsW(surface_->Dc(), &metrics));
  EXPECT_EQ(metrics.tmHeight, 40);
}

TEST_F(GdiSurfaceTest, TextStandsInItsCellInTheTextColour) {
  SelectKai(40, 0);
  surface_->SetTextColor(0x0000FAFA);
  surface_->PutText(30, 20, u"国", 1);
  const Box box = Lit(0x0000FAFA);
  ASSERT_GT(box.lit, 50);
  EXPECT_TRUE(box.exactColour);
  EXPECT_GE(box.left, 30);
  EXPECT_GE(box.top, 20);
  EXPECT_LE(box.right, 30 + 44);
  EXPECT_LE(box.bottom, 20 + 40);

  surface_->FillBlack(0, 0, kWidth, kHeight);
  EXPECT_EQ(Lit(0).lit, 0);
}

TEST_F(GdiSurfaceTest, TurnedTextTurnsAboutTheCellsTopLeft) {
  // A quarter turn counter-clockwise: the text now runs upward from (100,
  // 120), its cell lying to the right of the point.
  SelectKai(40, 900);
  surface_->SetTextColor(0x00FFFFFF);
  surface_->PutText(100, 120, u"国", 1);
  const Box box = Lit(0x00FFFFFF);
  ASSERT_GT(box.lit, 50);
  EXPECT_GE(box.left, 98);
  EXPECT_LE(box.right, 100 + 42);
  EXPECT_LE(box.bottom, 122);
  EXPECT_GE(box.top, 120 - 44);
}

HGDIOBJ CurrentFont(const GdiSurface& surface) {
  return GetCurrentObject(surface.Dc(), OBJ_FONT);
}

TEST_F(GdiSurfaceTest, FontsAreMadeOnceAndLetGoWithTheSurface) {
  SelectKai(30, 0);
  HGDIOBJ upright = CurrentFont(*surface_);
  SelectKai(30, 900);
  HGDIOBJ turned = CurrentFont(*surface_);
  SelectKai(30, 0);
  EXPECT_EQ(CurrentFont(*surface_), upright) << "the same request reuses its font";
  EXPECT_NE(upright, turned);
  EXPECT_EQ(surface_->FontsKept(), 2u);
  EXPECT_EQ(GetObjectType(upright), static_cast<DWORD>(OBJ_FONT));
  EXPECT_EQ(GetObjectType(turned), static_cast<DWORD>(OBJ_FONT));
  delete surface_;
  surface_ = nullptr;
  EXPECT_EQ(GetObjectType(upright), 0u);
  EXPECT_EQ(GetObjectType(turned), 0u);
}

TEST_F(GdiSurfaceTest, TooManyFontsAreAllLetGoAndDrawingGoesOn) {
  SelectKai(30, 0);
  HGDIOBJ first = CurrentFont(*surface_);
  for (int i = 1; i <= static_cast<int>(GdiSurface::kMostFonts); ++i) SelectKai(30, i);
  EXPECT_EQ(surface_->FontsKept(), 1u);
  EXPECT_EQ(GetObjectType(first), 0u);
  SelectKai(40, 0);
  surface_->SetTextColor(0x00FFFFFF);
  surface_->PutText(30, 20, u"国", 1);
  EXPECT_GT(Lit(0x00FFFFFF).lit, 50);
}

}  // namespace
