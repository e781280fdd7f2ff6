// The seven colour themes: the highlight colour of the current values and the
// year line, and the fading shade of every other ring entry.
#pragma once

#include "face/surface.h"

// Non-zero: themes follow the weekday and the wheel may change them.
extern int ColorByWeekday;
extern int ThemeIndex;
extern ColorRef HighlightColor;
// Shade counter of the ring entry being drawn (set by the ring renderer).
extern int FadeIndex;

inline constexpr int kThemeCount = 7;

// Sets `HighlightColor` from `ThemeIndex` (left alone outside 0..6).
ColorRef UpdateHighlightColor();

// The colour of a non-current ring entry for the ring's fade step and the
// present `FadeIndex`; black for a theme outside 0..6.
ColorRef FadeColor(int step);

// The wheel's step: forward for a positive delta, back otherwise, wrapping.
void MoveTheme(int wheelDelta);
