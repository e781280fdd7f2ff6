#include "face/ring.h"

#include <cmath>

#include "common/wide_format.h"
#include "face/layout.h"
#include "face/numerals.h"
#include "face/themes.h"

float RingAngle = 0.0f;
float StepAngle = 0.0f;
float FadeStep = 0.0f;
int RingCursor = 0;
char16_t LabelText[8] = {};
char16_t WeekdayText[10] = {};

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;

void AdvanceRingAngle() {
  if (NumeralStyle != 0) {
    RingAngle = RingAngle >= 360.0f ? StepAngle : RingAngle + StepAngle;
  } else {
    RingAngle = StepAngle >= RingAngle ? 360.0f : RingAngle - StepAngle;
  }
}

void DrawCurrentEntry(Surface& surface, int radius, int current, const char16_t* unit,
                      int weekdayRing) {
  RingAngle = 360.0f;
  surface.SetTextColor(HighlightColor);
  if (weekdayRing == 0) {
    DrawRingLabel(surface, current, radius, 0, unit);
  } else if (NumeralStyle > 0) {
    const int outward =
        static_cast<int>(static_cast<double>(FontHeight) * 0.5 + static_cast<double>(radius));
    DrawRingLabel(surface, current, outward, weekdayRing, kNoUnit);
  } else {
    if (current == 0) {
      FormatWide(WeekdayText, kSundayArabicLabel, {});
    } else {
      FormatWide(WeekdayText, kWeekdayArabicFormat, {current});
    }
    const int x = static_cast<int>(static_cast<double>(CenterX + radius) -
                                   static_cast<double>(FontHeight) * 0.5);
    const int y = CenterY - FontHeight / 2 + static_cast<int>(static_cast<double>(FontHeight) * -0.3);
    surface.PutText(x, y, WeekdayText, WideLength(WeekdayText));
  }
}

void DrawOtherEntry(Surface& surface, int radius, int weekdayRing, bool secondRun) {
  surface.SetTextColor(FadeColor(static_cast<int>(FadeStep)));
  // A turned label selects its own font before it draws; an upright font
  // chosen for it here would only be replaced, at the cost of a font.
  if (secondRun && NumeralStyle <= 0) SelectClockFont(surface, 0);
  int value = RingCursor;
  if (secondRun && weekdayRing != 0 && RingCursor == 0 && NumeralStyle == 0) value = 7;
  DrawRingLabel(surface, value, radius, weekdayRing, kNoUnit);
}

}  // namespace

void DrawRing(Surface& surface, int radius, int current, int last, const char16_t* unit,
              int fadeDown, int first, int weekdayRing) {
  if (last < 1) return;  // `last` divides the circle and the fade range
  if (weekdayRing != 0) {
    StepAngle = 360.0f / static_cast<float>(last + 1);
  } else if (last == 59 || last == 23) {
    StepAngle = static_cast<float>(360 / last);
  } else {
    StepAngle = 360.0f / static_cast<float>(last);
  }
  FadeStep = 200.0f / static_cast<float>(last);
  FadeIndex = fadeDown != 0 ? last + 1 : 0;

  const auto next = [fadeDown] {
    ++RingCursor;
    FadeIndex += fadeDown != 0 ? -1 : 1;
  };
  for (RingCursor = current; RingCursor <= last; next()) {
    AdvanceRingAngle();
    if (RingCursor == current) {
      DrawCurrentEntry(surface, radius, current, unit, weekdayRing);
    } else {
      DrawOtherEntry(surface, radius, weekdayRing, false);
    }
  }
  for (RingCursor = first; RingCursor < current; next()) {
    AdvanceRingAngle();
    DrawOtherEntry(surface, radius, weekdayRing, true);
  }
}

void DrawRingLabel(Surface& surface, int value, int radius, int weekdayRing, const char16_t* unit) {
  if (NumeralStyle > 0) {
    if (weekdayRing != 0) {
      FormatWide(LabelText, kWeekdayNumeralFormat, {value == 0 ? kSundayWord : NumeralText(value)});
    } else {
      FormatWide(LabelText, kNumeralLabelFormat, {NumeralText(value), unit});
    }
    DrawRotatedText(surface, radius, RingAngle);
    return;
  }
  FormatWide(LabelText, kArabicLabelFormat, {value, unit});
  const double theta = static_cast<double>(RingAngle) * kRadiansPerDegree;
  const int x = static_cast<int>(std::cos(theta) * static_cast<double>(radius) +
                                 static_cast<double>(CenterX));
  const int y = static_cast<int>(
      std::sin(theta) * static_cast<double>(radius) + static_cast<double>(CenterY) -
      static_cast<double>(FontHeight / 2) -
      static_cast<double>(static_cast<int>(static_cast<double>(FontHeight) * 0.3)));
  surface.PutText(x, y, LabelText, WideLength(LabelText));
}

void DrawRotatedText(Surface& surface, int radius, float angle) {
  const int n = WideLength(LabelText);
  if (n == 0) return;
  const double theta = static_cast<double>(angle) * kRadiansPerDegree;
  const double c = std::cos(theta);
  const double s = std::sin(theta);
  const int dy = static_cast<int>(static_cast<double>(FontHeight) * -0.3);
  const int escapement = static_cast<int>(angle) * 10;
  // Every character of the label turns alike: one font serves them all.
  SelectClockFont(surface, escapement);
  for (int k = 0; k < n; ++k) {
    const int rr = radius + k * FontHeight;
    surface.PutText(static_cast<int>(static_cast<double>(rr) * c) + CenterX,
                    CenterY - static_cast<int>(static_cast<double>(rr) * s) + dy, &LabelText[k], 1);
  }
}
