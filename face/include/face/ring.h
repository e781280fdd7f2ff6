// The ring renderer: one ring of the face, every value of a unit set out on a
// circle, the current value at 3 o'clock in the highlight colour, the others
// counter-clockwise in fading shades.
#pragma once

#include "face/surface.h"

// Direction of the entry being drawn, in degrees; carried from ring to ring
// and from frame to frame.
extern float RingAngle;
extern float StepAngle;
extern float FadeStep;
extern int RingCursor;
extern char16_t LabelText[8];
extern char16_t WeekdayText[10];

void DrawRing(Surface& surface, int radius, int current, int last, const char16_t* unit,
              int fadeDown, int first, int weekdayRing);

// The label of `value` at `radius` in the direction `RingAngle`.
void DrawRingLabel(Surface& surface, int value, int radius, int weekdayRing, const char16_t* unit);

// `LabelText` laid along the ray of direction `angle`, one turned character
// per `FontHeight`, starting at `radius`.
void DrawRotatedText(Surface& surface, int radius, float angle);
