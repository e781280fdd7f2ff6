// The face layout: client size, the reference point of the face, the height
// of all clock text and the radii of the six rings, from the client size and
// the numeral style.
#pragma once

#include <cstdint>

struct FaceLayout {
  int ClientWidth = 0;
  int ClientHeight = 0;
  int CenterX = 0;
  int CenterY = 0;
  int FontHeight = 0;
  int MonthRadius = 0;
  int DayRadius = 0;
  int WeekdayRadius = 0;
  int HourRadius = 0;
  int MinuteRadius = 0;
  int SecondRadius = 0;
};

// The layout of a face of `width` x `height` pixels in `numeralStyle`, sized
// from the shorter side.
FaceLayout ComputeLayout(int width, int height, std::int16_t numeralStyle);
