#include "face/layout.h"

#include "face/numerals.h"

FaceLayout ComputeLayout(int width, int height, std::int16_t numeralStyle) {
  const NumeralStyleRow style = NumeralStyleFor(numeralStyle);
  FaceLayout l;
  l.ClientWidth = width;
  l.CenterX = width / 2;
  l.ClientHeight = height;
  // The face stays centred on the same point whatever the style, so a right
  // click never shifts it.
  l.CenterY = height / 2;
  // Sized from the shorter side: on a screen taller than wide (a turned
  // monitor) the rings would otherwise run off both sides, and the current
  // values at 3 o'clock with them.
  l.FontHeight = (height > width ? width : height) / style.layoutDivisor;

  const int h = l.FontHeight;
  l.MonthRadius = 4 * h;
  l.DayRadius = 7 * h;
  if (style.Arabic()) {
    l.WeekdayRadius = 10 * h;
    l.HourRadius = 13 * h;
    l.MinuteRadius = 16 * h;
    l.SecondRadius = 19 * h;
  } else {
    l.WeekdayRadius = 11 * h;
    l.HourRadius = 15 * h;
    l.MinuteRadius = static_cast<int>(static_cast<double>(15 * h) + static_cast<double>(h) * 4.5);
    l.SecondRadius =
        static_cast<int>(static_cast<double>(l.MinuteRadius) + static_cast<double>(h) * 4.5);
  }
  return l;
}
