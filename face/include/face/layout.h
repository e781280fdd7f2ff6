// The face layout: client size, the reference point of the face, the height
// of all clock text and the radii of the six rings, from the client rectangle
// and the numeral style.
#pragma once

#include "face/surface.h"

extern int ClientWidth;
extern int ClientHeight;
extern int CenterX;
extern int CenterY;
extern int FontHeight;
extern int MonthRadius;
extern int DayRadius;
extern int WeekdayRadius;
extern int HourRadius;
extern int MinuteRadius;
extern int SecondRadius;

// Sets every metric above for `rect` and the present `NumeralStyle`, and makes
// the clock font current on `BackBufferDC` when it exists.
void ComputeLayout(Rect rect);
