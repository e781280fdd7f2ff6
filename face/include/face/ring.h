// The ring renderer: one ring of the face, every value of a unit set out on a
// circle, the current value at 3 o'clock in the highlight colour, the others
// counter-clockwise in fading shades.
#pragma once

#include "face/layout.h"
#include "face/numerals.h"
#include "face/surface.h"
#include "face/themes.h"

// One ring: its values `first`..`last` at `radius`, `current` at 3 o'clock.
struct RingSpec {
  int radius = 0;
  int current = 0;
  int first = 0;
  int last = 0;
  const char16_t* unit = kNoUnit;  // after the current value only
  bool fadeDown = false;  // shades darken from the value after `current` on
  bool weekdayRing = false;
};

// The working values of the rings being drawn. The direction of the entry
// drawn is carried from ring to ring of a frame.
struct RingWork {
  float RingAngle = 0.0f;  // degrees
  float StepAngle = 0.0f;
  float FadeStep = 0.0f;
  int RingCursor = 0;
  int FadeIndex = 0;  // shade counter of the entry drawn
  char16_t LabelText[8] = {};
  char16_t WeekdayText[10] = {};
};

// What a ring is drawn with: the face's place and look, its style's row, and
// the working values.
struct RingPen {
  Surface& surface;
  const FaceLayout& layout;
  const FaceLook& look;
  const NumeralStyleRow& style;
  RingWork& work;
};

void DrawRing(const RingPen& pen, const RingSpec& ring);

// The label of `value` at `radius` in the direction `RingAngle`.
void DrawRingLabel(const RingPen& pen, int value, int radius, bool weekdayRing,
                   const char16_t* unit);

// `LabelText` laid along the ray of direction `angle`, one turned character
// per `FontHeight`, starting at `radius`.
void DrawRotatedText(const RingPen& pen, int radius, float angle);
