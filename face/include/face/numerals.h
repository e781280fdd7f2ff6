// The vocabulary of the face: numeral styles, the two tables of Chinese
// numerals for 0..60, unit and weekday words, label formats, and the one rule
// for the clock font.
#pragma once

#include <cstdint>

#include "face/surface.h"

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

// The numerals 0..60, each in a fixed cell: three characters at most and
// the terminating zero.
inline constexpr int kNumeralCell = 4;
extern const char16_t ChineseNumerals[61][kNumeralCell];
extern const char16_t FormalNumerals[61][kNumeralCell];

// What the labels of a style are spelled in.
enum class NumeralSet : std::uint8_t { kArabicDigits, kChinese, kFormal };

// Everything that differs from one numeral style to another.
struct NumeralStyleRow {
  NumeralSet NumeralTable;    // Arabic digits, or the numerals labels spell
  const char16_t* face;       // the clock font's face and weight
  int weight;
  int layoutDivisor;          // the client height over the font height
  bool anglesRise;            // each ring entry turns counter-clockwise on
  const char16_t* hourUnit;
  bool sundayAfterSaturday;   // the weekday ring's late Sunday reads 7

  bool Arabic() const { return NumeralTable == NumeralSet::kArabicDigits; }
};

// The row of a numeral style: 0 Arabic digits, 1 Chinese numerals, 2 formal
// Chinese numerals. Other values come only from a hand-edited settings file
// and mean what they always have: a negative style is laid out and spelled
// in Arabic digits, in the Kai face, turning as the Chinese styles do; a
// style above 2 is style 1.
NumeralStyleRow NumeralStyleFor(std::int16_t style);

// The numeral of `value` in `set`; the empty text outside 0..60 or for
// Arabic digits, so a bad value can never index past a table.
const char16_t* NumeralText(NumeralSet set, long long value);

// The clock font of `style` at `height`, with `escapement` in tenths of a
// degree.
ClockFont MakeClockFont(const NumeralStyleRow& style, int height, int escapement);

// A style as stored in the settings: its low 16 bits as a signed value.
std::int16_t StoredNumeralStyle(long long stored);

// The right button's step: 0 -> 1 -> 2 -> 0, any other value to 0.
std::int16_t NextNumeralStyle(std::int16_t style);
