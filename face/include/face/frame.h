// One complete frame of the face: clear, year line, the six rings from the
// innermost outward, then one copy to the window.
#pragma once

#include <ctime>

#include "face/layout.h"
#include "face/numerals.h"
#include "face/ring.h"
#include "face/surface.h"
#include "face/themes.h"

// Wide enough for the year line of any year the local time conversion can
// give, sign included.
inline constexpr int kYearTextSize = 24;

// Draws the frame of the local time `now` into `dc`, laid out by `layout`,
// and copies it to the window, the whole client area from its top-left. A
// null `now` (a clock the local-time conversion cannot take) leaves the frame
// black rather than showing a made-up date. Returns 0.
int DrawFrame(Surface& dc, const FaceLayout& layout, const FaceLook& look, const std::tm* now);

// The year line for the calendar year `year`, with the pen's surface, layout,
// look and style.
int DrawYear(const RingPen& pen, long long year);

// Composes the year line's text of `style` into `YearText`; returns its
// length.
int FormatYear(char16_t (&YearText)[kYearTextSize], const NumeralStyleRow& style, long long year);

// Days of the month of `time`: 28 to 31, by the Gregorian rule.
int DaysInMonth(const std::tm& time);
