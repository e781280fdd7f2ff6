// The face drawn into an HTML canvas: each operation of the face becomes a
// call on the page's 2D context (Module.orbidialContext). Text is placed as
// the raster surface places it: the cell height maps to the em and the
// ascent by the font's OS/2 ratios, each glyph stands at a whole-pixel
// origin on the baseline, turned by the escapement about the cell's top-left.
#pragma once

#include <cstdint>
#include <unordered_map>

#include "face/surface.h"

class CanvasSurface : public Surface {
 public:
  void FillBlack(int x, int y, int width, int height) override;
  void SetTextColor(ColorRef color) override;
  void SelectClockFont(const ClockFont& font) override;
  void PutText(int x, int y, const char16_t* text, int count) override;
  // The canvas shows what was drawn once the page's script returns to the
  // browser, so the face draws straight into it and a copy has nothing to do.
  void CopyToWindow(int x, int y, int width, int height) override;

  // The page's canvas has a new size or a new context: fonts are set again.
  void Reset();

 private:
  double Advance(char32_t code);

  bool haveFont_ = false;
  const char16_t* requestedFace_ = nullptr;
  int requestedHeight_ = 0;
  int requestedEscapement_ = 0;
  int face_ = 0;       // index into the page's font families
  int ppem_ = 0;       // pixels per em, whole as the raster surface draws them
  double ascent_ = 0;  // whole pixels
  int escapement_ = 0;
  double cosine_ = 1, sine_ = 0;
  int contextFace_ = -1;  // the font the context holds
  int contextPpem_ = 0;
  bool colorSet_ = false;
  ColorRef color_ = 0;
  // Advances in pixels by (face, ppem, character): measured once each.
  std::unordered_map<std::uint64_t, double> advances_;
};
