#include "face/ring.h"

#include <cmath>

#include "common/wide_format.h"

namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;

void AdvanceRingAngle(const RingPen& pen) {
  RingWork& w = pen.work;
  if (pen.style.anglesRise) {
    w.RingAngle = w.RingAngle >= 360.0f ? w.StepAngle : w.RingAngle + w.StepAngle;
  } else {
    w.RingAngle = w.StepAngle >= w.RingAngle ? 360.0f : w.RingAngle - w.StepAngle;
  }
}

void SelectClockFont(const RingPen& pen, int escapement) {
  pen.surface.SelectClockFont(MakeClockFont(pen.style, pen.layout.FontHeight, escapement));
}

void DrawCurrentEntry(const RingPen& pen, const RingSpec& ring) {
  const FaceLayout& l = pen.layout;
  RingWork& w = pen.work;
  w.RingAngle = 360.0f;
  pen.surface.SetTextColor(pen.look.HighlightColor);
  if (!ring.weekdayRing) {
    DrawRingLabel(pen, ring.current, ring.radius, false, ring.unit);
  } else if (!pen.style.Arabic()) {
    const int outward = static_cast<int>(static_cast<double>(l.FontHeight) * 0.5 +
                                         static_cast<double>(ring.radius));
    DrawRingLabel(pen, ring.current, outward, true, kNoUnit);
  } else {
    if (ring.current == 0) {
      FormatWide(w.WeekdayText, kSundayArabicLabel, {});
    } else {
      FormatWide(w.WeekdayText, kWeekdayArabicFormat, {ring.current});
    }
    const int x = static_cast<int>(static_cast<double>(l.CenterX + ring.radius) -
                                   static_cast<double>(l.FontHeight) * 0.5);
    const int y =
        l.CenterY - l.FontHeight / 2 + static_cast<int>(static_cast<double>(l.FontHeight) * -0.3);
    pen.surface.PutText(x, y, w.WeekdayText, WideLength(w.WeekdayText));
  }
}

void DrawOtherEntry(const RingPen& pen, const RingSpec& ring, bool secondRun) {
  const RingWork& w = pen.work;
  pen.surface.SetTextColor(
      FadeColor(pen.look.ThemeIndex, static_cast<int>(w.FadeStep), w.FadeIndex));
  // A turned label selects its own font before it draws; an upright font
  // chosen for it here would only be replaced, at the cost of a font.
  if (secondRun && pen.style.Arabic()) SelectClockFont(pen, 0);
  int value = w.RingCursor;
  if (secondRun && ring.weekdayRing && w.RingCursor == 0 && pen.style.sundayAfterSaturday) {
    value = 7;
  }
  DrawRingLabel(pen, value, ring.radius, ring.weekdayRing, kNoUnit);
}

}  // namespace

void DrawRing(const RingPen& pen, const RingSpec& ring) {
  const int last = ring.last;
  if (last < 1) return;  // `last` divides the circle and the fade range
  RingWork& w = pen.work;
  if (ring.weekdayRing) {
    w.StepAngle = 360.0f / static_cast<float>(last + 1);
  } else if (last == 59 || last == 23) {
    w.StepAngle = static_cast<float>(360 / last);
  } else {
    w.StepAngle = 360.0f / static_cast<float>(last);
  }
  w.FadeStep = 200.0f / static_cast<float>(last);
  w.FadeIndex = ring.fadeDown ? last + 1 : 0;

  const auto next = [&w, &ring] {
    ++w.RingCursor;
    w.FadeIndex += ring.fadeDown ? -1 : 1;
  };
  for (w.RingCursor = ring.current; w.RingCursor <= last; next()) {
    AdvanceRingAngle(pen);
    if (w.RingCursor == ring.current) {
      DrawCurrentEntry(pen, ring);
    } else {
      DrawOtherEntry(pen, ring, false);
    }
  }
  for (w.RingCursor = ring.first; w.RingCursor < ring.current; next()) {
    AdvanceRingAngle(pen);
    DrawOtherEntry(pen, ring, true);
  }
}

void DrawRingLabel(const RingPen& pen, int value, int radius, bool weekdayRing,
                   const char16_t* unit) {
  const FaceLayout& l = pen.layout;
  RingWork& w = pen.work;
  if (!pen.style.Arabic()) {
    if (weekdayRing) {
      FormatWide(w.LabelText, kWeekdayNumeralFormat,
                 {value == 0 ? kSundayWord : NumeralText(pen.style.NumeralTable, value)});
    } else {
      FormatWide(w.LabelText, kNumeralLabelFormat, {NumeralText(pen.style.NumeralTable, value), unit});
    }
    DrawRotatedText(pen, radius, w.RingAngle);
    return;
  }
  FormatWide(w.LabelText, kArabicLabelFormat, {value, unit});
  const double theta = static_cast<double>(w.RingAngle) * kRadiansPerDegree;
  const int x = static_cast<int>(std::cos(theta) * static_cast<double>(radius) +
                                 static_cast<double>(l.CenterX));
  const int y = static_cast<int>(
      std::sin(theta) * static_cast<double>(radius) + static_cast<double>(l.CenterY) -
      static_cast<double>(l.FontHeight / 2) -
      static_cast<double>(static_cast<int>(static_cast<double>(l.FontHeight) * 0.3)));
  pen.surface.PutText(x, y, w.LabelText, WideLength(w.LabelText));
}

void DrawRotatedText(const RingPen& pen, int radius, float angle) {
  const FaceLayout& l = pen.layout;
  const char16_t* text = pen.work.LabelText;
  const int n = WideLength(text);
  if (n == 0) return;
  const double theta = static_cast<double>(angle) * kRadiansPerDegree;
  const double c = std::cos(theta);
  const double s = std::sin(theta);
  const int dy = static_cast<int>(static_cast<double>(l.FontHeight) * -0.3);
  const int escapement = static_cast<int>(angle) * 10;
  // Every character of the label turns alike: one font serves them all.
  SelectClockFont(pen, escapement);
  for (int k = 0; k < n; ++k) {
    const int rr = radius + k * l.FontHeight;
    pen.surface.PutText(static_cast<int>(static_cast<double>(rr) * c) + l.CenterX,
                        l.CenterY - static_cast<int>(static_cast<double>(rr) * s) + dy, &text[k], 1);
  }
}
