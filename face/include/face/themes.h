// The seven colour themes: the highlight colour of the current values and the
// year line, and the fading shade of every other ring entry.
#pragma once

#include <cstdint>

#include "face/surface.h"

inline constexpr int kThemeCount = 7;

// How a face looks, whatever its size: shared by every face it is given to.
struct FaceLook {
  // 0 Arabic digits, 1 Chinese numerals, 2 formal Chinese numerals (others
  // as `NumeralStyleFor` says).
  std::int16_t NumeralStyle = 1;
  // Non-zero: themes follow the weekday and the wheel may change them.
  int ColorByWeekday = 1;
  int ThemeIndex = 0;
  ColorRef HighlightColor = 0;
};

// Sets `look.HighlightColor` from its `ThemeIndex` (left alone outside 0..6).
ColorRef UpdateHighlightColor(FaceLook& look);

// The colour of a non-current ring entry of `theme` for the ring's fade step
// and the entry's shade counter `fadeIndex`; black for a theme outside 0..6.
ColorRef FadeColor(int theme, int step, int fadeIndex);

// The wheel's step: forward for a positive delta, back otherwise, wrapping.
void MoveTheme(FaceLook& look, int wheelDelta);
