#include "face/layout.h"

#include "face/numerals.h"

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

void ComputeLayout(Rect rect) {
  ClientWidth = rect.right - rect.left;
  CenterX = ClientWidth / 2;
  ClientHeight = rect.bottom - rect.top;
  // The face stays centred on the same point whatever the style, so a right
  // click never shifts it.
  CenterY = ClientHeight / 2;
  FontHeight = NumeralStyle <= 0 ? ClientHeight / 48 : ClientHeight / 56;

  const int h = FontHeight;
  MonthRadius = 4 * h;
  DayRadius = 7 * h;
  if (NumeralStyle <= 0) {
    WeekdayRadius = 10 * h;
    HourRadius = 13 * h;
    MinuteRadius = 16 * h;
    SecondRadius = 19 * h;
  } else {
    WeekdayRadius = 11 * h;
    HourRadius = 15 * h;
    MinuteRadius = static_cast<int>(static_cast<double>(15 * h) + static_cast<double>(h) * 4.5);
    SecondRadius = static_cast<int>(static_cast<double>(MinuteRadius) + static_cast<double>(h) * 4.5);
  }

  if (BackBufferDC != nullptr) SelectClockFont(*BackBufferDC, 0);
}
