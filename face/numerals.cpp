#include "face/numerals.h"

const char16_t ChineseNumerals[61][kNumeralCell] = {
    u"零",     u"一",     u"二",     u"三",     u"四",     u"五",     u"六",     u"七",
    u"八",     u"九",     u"十",     u"十一",   u"十二",   u"十三",   u"十四",   u"十五",
    u"十六",   u"十七",   u"十八",   u"十九",   u"二十",   u"二十一", u"二十二", u"二十三",
    u"二十四", u"二十五", u"二十六", u"二十七", u"二十八", u"二十九", u"三十",   u"三十一",
    u"三十二", u"三十三", u"三十四", u"三十五", u"三十六", u"三十七", u"三十八", u"三十九",
    u"四十",   u"四十一", u"四十二", u"四十三", u"四十四", u"四十五", u"四十六", u"四十七",
    u"四十八", u"四十九", u"五十",   u"五十一", u"五十二", u"五十三", u"五十四", u"五十五",
    u"五十六", u"五十七", u"五十八", u"五十九", u"六十",
};

const char16_t FormalNumerals[61][kNumeralCell] = {
    u"零",     u"壹",     u"贰",     u"叁",     u"肆",     u"伍",     u"陆",     u"柒",
    u"捌",     u"玖",     u"拾",     u"拾壹",   u"拾贰",   u"拾叁",   u"拾肆",   u"拾伍",
    u"拾陆",   u"拾柒",   u"拾捌",   u"拾玖",   u"贰拾",   u"贰拾壹", u"贰拾贰", u"贰拾叁",
    u"贰拾肆", u"贰拾伍", u"贰拾陆", u"贰拾柒", u"贰拾捌", u"贰拾玖", u"叁拾",   u"叁拾壹",
    u"叁拾贰", u"叁拾叁", u"叁拾肆", u"叁拾伍", u"叁拾陆", u"叁拾柒", u"叁拾捌", u"叁拾玖",
    u"肆拾",   u"肆拾壹", u"肆拾贰", u"肆拾叁", u"肆拾肆", u"肆拾伍", u"肆拾陆", u"肆拾柒",
    u"肆拾捌", u"肆拾玖", u"伍拾",   u"伍拾壹", u"伍拾贰", u"伍拾叁", u"伍拾肆", u"伍拾伍",
    u"伍拾陆", u"伍拾柒", u"伍拾捌", u"伍拾玖", u"陆拾",
};

NumeralStyleRow NumeralStyleFor(std::int16_t style) {
  // Made here rather than read from a table: a table of pointers is data the
  // loader relocates, writable as the program starts. Each row: numerals,
  // face, weight, layout divisor, angles rise, hour unit, late Sunday is 7.
  if (style < 0) {
    return {NumeralSet::kArabicDigits, kNumeralFace, kNumeralWeight, 48, true, kHourUnitArabic, false};
  }
  if (style == 0) {
    return {NumeralSet::kArabicDigits, kArabicFace, kArabicWeight, 48, false, kHourUnitArabic, true};
  }
  if (style == 2) {
    return {NumeralSet::kFormal, kNumeralFace, kNumeralWeight, 56, true, kHourUnitNumeral, false};
  }
  return {NumeralSet::kChinese, kNumeralFace, kNumeralWeight, 56, true, kHourUnitNumeral, false};
}

const char16_t* NumeralText(NumeralSet set, long long value) {
  if (value < 0 || value > 60) return u"";
  switch (set) {
    case NumeralSet::kChinese: return ChineseNumerals[value];
    case NumeralSet::kFormal: return FormalNumerals[value];
    default: return u"";
  }
}

ClockFont MakeClockFont(const NumeralStyleRow& style, int height, int escapement) {
  ClockFont font;
  font.height = height;
  font.escapement = escapement;
  font.orientation = 0;
  font.weight = style.weight;
  font.face = style.face;
  return font;
}

std::int16_t StoredNumeralStyle(long long stored) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(stored & 0xFFFF));
}

std::int16_t NextNumeralStyle(std::int16_t style) {
  const auto next = static_cast<std::int16_t>(style + 1);
  return next == 1 || next == 2 ? next : std::int16_t{0};
}
