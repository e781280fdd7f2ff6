// The vocabulary of the face: numeral styles, the two tables of Chinese
// numerals for 0..60, unit and weekday words, label formats, and the one rule
// for the clock font.
#pragma once

#include <cstdint>

#include "face/surface.h"

// 0 Arabic digits, 1 Chinese numerals, 2 formal Chinese numerals. Other
// values come only from a hand-edited settings file and are kept as read.
extern std::int16_t NumeralStyle;

using NumeralTableRef = const char16_t* const*;
extern const char16_t* const ChineseNumerals[61];
extern const char16_t* const FormalNumerals[61];
// The table of the present numeral style (`ChineseNumerals` at start).
extern NumeralTableRef NumeralTable;

// The entry of `NumeralTable` for `value`; the empty text outside 0..60, so a
// bad value can never index past a table.
const char16_t* NumeralText(long long value);

// Unit and weekday words, label formats.
inline constexpr const char16_t* kMonthUnit = u"月";
inline constexpr const char16_t* kDayUnit = u"日";
inline constexpr const char16_t* kHourUnitArabic = u"时";
inline constexpr const char16_t* kHourUnitNumeral = u"点";
inline constexpr const char16_t* kMinuteUnit = u"分";
inline constexpr const char16_t* kSecondUnit = u"秒";
inline constexpr const char16_t* kNoUnit = u"";
inline constexpr const char16_t* kSundayWord = u"天";
inline constexpr const char16_t* kWeekdayNumeralFormat = u"星期%s";
inline constexpr const char16_t* kSundayArabicLabel = u"星期日";
inline constexpr const char16_t* kWeekdayArabicFormat = u"星期 %d";
inline constexpr const char16_t* kArabicLabelFormat = u"%d%2s";
inline constexpr const char16_t* kNumeralLabelFormat = u"%s%s";
inline constexpr const char16_t* kYearArabicFormat = u"%d  年";
inline constexpr const char16_t* kYearNumeralFormat = u"%s%s%s%s年";

// The two faces of the clock font.
inline constexpr const char16_t* kArabicFace = u"微软雅黑";
inline constexpr const char16_t* kNumeralFace = u"楷体";
inline constexpr int kArabicWeight = 700;
inline constexpr int kNumeralWeight = 500;

// The clock font for the present style and `FontHeight`, with `escapement`
// in tenths of a degree.
ClockFont MakeClockFont(int escapement);

// Creates the clock font and makes it current on `surface`.
void SelectClockFont(Surface& surface, int escapement);

// Sets `NumeralStyle` from a stored value: its low 16 bits as a signed value,
// and `FormalNumerals` when that is 2 (the table is otherwise left alone).
void SetStoredNumeralStyle(long long stored);

// The right button's step: 0 -> 1 -> 2 -> 0, any other value to 0.
void AdvanceNumeralStyle();
