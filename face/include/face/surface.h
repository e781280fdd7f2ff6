// The drawing operations the clock face needs. Every platform supplies one
// surface (FreeType raster buffer, GDI memory DC, or the recording surface of
// the tests); the face code only ever talks to this interface.
#pragma once

#include "common/color.h"
#include "common/geometry.h"

// The clock font as it is requested: a positive height is the character cell
// height (ascent plus descent), 0 the surface's default; escapement in tenths
// of a degree, counter-clockwise, turning about the top-left of the cell.
struct ClockFont {
  int height = 0;
  int escapement = 0;
  int orientation = 0;
  int weight = 0;
  const char16_t* face = u"";
};

class Surface {
 public:
  virtual ~Surface() = default;
  // Fill a rectangle with black.
  virtual void FillBlack(int x, int y, int width, int height) = 0;
  // Colour of the text drawn from now on.
  virtual void SetTextColor(ColorRef color) = 0;
  // Make a clock font current; it stays current until the next one.
  virtual void SelectClockFont(const ClockFont& font) = 0;
  // Draw `count` UTF-16 units of `text` with the top-left of the first
  // character cell at (x, y), over a transparent background.
  virtual void PutText(int x, int y, const char16_t* text, int count) = 0;
  // Copy a rectangle of the finished frame to the visible window.
  virtual void CopyToWindow(int x, int y, int width, int height) = 0;
};
