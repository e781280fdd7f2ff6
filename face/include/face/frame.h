// One complete frame of the face: clear, year line, the six rings from the
// innermost outward, then one copy to the window.
#pragma once

#include <ctime>

#include "face/surface.h"

// The year text of the last `DrawYear`. Wide enough for any year the local
// time conversion can give, sign included.
extern char16_t YearText[24];

// Draws a frame into `BackBufferDC` for the instant of `ClockSource` and
// copies it to the window at the rectangle's top-left. Returns 0.
int DrawFrame(Rect rect);

// The year line for the calendar year `year`.
int DrawYear(Surface& dc, long long year);

// Composes the year line's text into `YearText`; returns its length.
int FormatYear(long long year);

// Days of the month of `time`: 28 to 31, by the Gregorian rule.
int DaysInMonth(const std::tm& time);
