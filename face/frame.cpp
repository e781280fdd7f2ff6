#include "face/frame.h"

#include "common/wide_format.h"
#include "face/clock_source.h"
#include "face/layout.h"
#include "face/numerals.h"
#include "face/ring.h"
#include "face/themes.h"

Surface* BackBufferDC = nullptr;
char16_t YearText[24] = {};

int FormatYear(long long year) {
  if (NumeralStyle <= 0) return FormatWide(YearText, kYearArabicFormat, {year});
  if (year >= 0 && year <= 9999) {
    return FormatWide(YearText, kYearNumeralFormat,
                      {NumeralText(year / 1000), NumeralText((year % 1000) / 100),
                       NumeralText((year % 100) / 10), NumeralText(year % 10)});
  }
  // A year beyond four digits (or before year 0) is still spelled digit by
  // digit, every digit of it, with a leading minus word for negative years.
  char16_t digits[24];
  int n = 0;
  unsigned long long magnitude = year < 0 ? 0ULL - static_cast<unsigned long long>(year)
                                          : static_cast<unsigned long long>(year);
  do {
    digits[n++] = NumeralText(static_cast<long long>(magnitude % 10))[0];
    magnitude /= 10;
  } while (magnitude != 0);
  int length = 0;
  const int room = static_cast<int>(sizeof(YearText) / sizeof(YearText[0])) - 2;
  if (year < 0) YearText[length++] = u'负';
  while (n > 0 && length < room) YearText[length++] = digits[--n];
  YearText[length++] = u'年';
  YearText[length] = 0;
  return length;
}

int DrawYear(Surface& dc, long long year) {
  const int length = FormatYear(year);
  int x, y;
  if (NumeralStyle <= 0) {
    x = CenterX - FontHeight;
    y = static_cast<int>(static_cast<double>(CenterY - FontHeight / 2) -
                         0.3 * static_cast<double>(FontHeight));
  } else {
    x = CenterX - 2 * FontHeight;
    y = static_cast<int>(static_cast<double>(CenterY) - 0.25 * static_cast<double>(FontHeight));
  }
  SelectClockFont(dc, 0);
  dc.SetTextColor(HighlightColor);
  dc.PutText(x, y, YearText, length);
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

int DrawFrame(Rect rect) {
  if (BackBufferDC == nullptr) return 0;
  Surface& dc = *BackBufferDC;
  dc.FillBlack(rect.left, rect.top, ClientWidth, ClientHeight);
  std::tm now{};
  // A clock the local-time conversion cannot take leaves the frame black
  // rather than showing a made-up date.
  if (ClockSource(&now)) {
    DrawYear(dc, static_cast<long long>(now.tm_year) + 1900);
    const char16_t* hourUnit = NumeralStyle <= 0 ? kHourUnitArabic : kHourUnitNumeral;
    DrawRing(dc, MonthRadius, now.tm_mon + 1, 12, kMonthUnit, 1, 1, 0);
    DrawRing(dc, DayRadius, now.tm_mday, DaysInMonth(now), kDayUnit, 0, 1, 0);
    DrawRing(dc, WeekdayRadius, now.tm_wday, 6, kNoUnit, 0, 0, 1);
    DrawRing(dc, HourRadius, now.tm_hour, 23, hourUnit, 1, 0, 0);
    DrawRing(dc, MinuteRadius, now.tm_min, 59, kMinuteUnit, 0, 0, 0);
    DrawRing(dc, SecondRadius, now.tm_sec, 59, kSecondUnit, 1, 0, 0);
  }
  dc.CopyToWindow(rect.left, rect.top, ClientWidth, ClientHeight);
  return 0;
}
