#include "face/frame.h"

#include "common/wide_format.h"

int FormatYear(char16_t (&YearText)[kYearTextSize], const NumeralStyleRow& style, long long year) {
  if (style.Arabic()) return FormatWide(YearText, kYearArabicFormat, {year});
  const NumeralSet set = style.NumeralTable;
  if (year >= 0 && year <= 9999) {
    return FormatWide(YearText, kYearNumeralFormat,
                      {NumeralText(set, year / 1000), NumeralText(set, (year % 1000) / 100),
                       NumeralText(set, (year % 100) / 10), NumeralText(set, year % 10)});
  }
  // A year beyond four digits (or before year 0) is still spelled digit by
  // digit, every digit of it, with a leading minus word for negative years.
  char16_t digits[kYearTextSize];
  int n = 0;
  unsigned long long magnitude = year < 0 ? 0ULL - static_cast<unsigned long long>(year)
                                          : static_cast<unsigned long long>(year);
  do {
    digits[n++] = NumeralText(set, static_cast<long long>(magnitude % 10))[0];
    magnitude /= 10;
  } while (magnitude != 0);
  int length = 0;
  const int room = kYearTextSize - 2;
  if (year < 0) YearText[length++] = u'负';
  while (n > 0 && length < room) YearText[length++] = digits[--n];
  YearText[length++] = u'年';
  YearText[length] = 0;
  return length;
}

int DrawYear(const RingPen& pen, long long year) {
  const FaceLayout& layout = pen.layout;
  char16_t YearText[kYearTextSize];
  const int length = FormatYear(YearText, pen.style, year);
  const int h = layout.FontHeight;
  int x, y;
  if (pen.style.Arabic()) {
    x = layout.CenterX - h;
    y = static_cast<int>(static_cast<double>(layout.CenterY - h / 2) - 0.3 * static_cast<double>(h));
  } else {
    x = layout.CenterX - 2 * h;
    y = static_cast<int>(static_cast<double>(layout.CenterY) - 0.25 * static_cast<double>(h));
  }
  pen.surface.SelectClockFont(MakeClockFont(pen.style, h, 0));
  pen.surface.SetTextColor(pen.look.HighlightColor);
  pen.surface.PutText(x, y, YearText, length);
  return 0;
}

int DaysInMonth(const std::tm& time) {
  const int m = time.tm_mon + 1;
  switch (m) {
    case 1: case 3: case 5: case 7: case 8: case 10: case 12:
      return 31;
    case 4: case 6: case 9: case 11:
      return 30;
    default: {
      const long long y = static_cast<long long>(time.tm_year) + 1900;
      return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0 ? 29 : 28;
    }
  }
}

int DrawFrame(Surface& dc, const FaceLayout& layout, const FaceLook& look, const std::tm* now) {
  dc.FillBlack(0, 0, layout.ClientWidth, layout.ClientHeight);
  if (now != nullptr) {
    const NumeralStyleRow style = NumeralStyleFor(look.NumeralStyle);
    RingWork work;
    const RingPen pen{dc, layout, look, style, work};
    DrawYear(pen, static_cast<long long>(now->tm_year) + 1900);
    const FaceLayout& l = layout;
    DrawRing(pen, {.radius = l.MonthRadius, .current = now->tm_mon + 1, .first = 1, .last = 12,
                   .unit = kMonthUnit, .fadeDown = true});
    DrawRing(pen, {.radius = l.DayRadius, .current = now->tm_mday, .first = 1,
                   .last = DaysInMonth(*now), .unit = kDayUnit});
    DrawRing(pen, {.radius = l.WeekdayRadius, .current = now->tm_wday, .first = 0, .last = 6,
                   .weekdayRing = true});
    DrawRing(pen, {.radius = l.HourRadius, .current = now->tm_hour, .first = 0, .last = 23,
                   .unit = style.hourUnit, .fadeDown = true});
    DrawRing(pen, {.radius = l.MinuteRadius, .current = now->tm_min, .first = 0, .last = 59,
                   .unit = kMinuteUnit});
    DrawRing(pen, {.radius = l.SecondRadius, .current = now->tm_sec, .first = 0, .last = 59,
                   .unit = kSecondUnit, .fadeDown = true});
  }
  dc.CopyToWindow(0, 0, layout.ClientWidth, layout.ClientHeight);
  return 0;
}
