// What the face tests read back from a recording surface: the texts drawn,
// with their places, colours and fonts, and instants as the clock gives them.
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "common/utf_conversion.h"
#include "common/wide_format.h"
#include "face/recording_surface.h"

// A broken-down local time as the clock would give it (weekday worked out).
inline std::tm MakeTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  // Zeller-free weekday: days since 1970-01-01 (a Thursday).
  long long y = year, m = month;
  if (m <= 2) { y -= 1; m += 12; }
  const long long days = 365 * y + y / 4 - y / 100 + y / 400 + (153 * (m - 3) + 2) / 5 + day - 719469;
  t.tm_wday = static_cast<int>(((days + 4) % 7 + 7) % 7);
  return t;
}

// Texts drawn, in order, with their positions and the colour and font in
// effect when each was drawn.
struct DrawnText {
  int x, y;
  std::string text;
  ColorRef color;
  int escapement;
  int height;
  std::string face;
  int weight;
};

inline std::vector<DrawnText> Texts(const RecordingSurface& surface) {
  std::vector<DrawnText> out;
  ColorRef color = 0;
  ClockFont font;
  for (const RecordedCall& c : surface.Calls()) {
    if (c.kind == RecordedCall::kColor) color = c.color;
    if (c.kind == RecordedCall::kFont) font = c.font;
    if (c.kind == RecordedCall::kText) {
      out.push_back({c.x, c.y, Utf16ToUtf8(c.text), color, font.escapement, font.height,
                     Utf16ToUtf8(font.face, WideLength(font.face)), font.weight});
    }
  }
  return out;
}

inline std::vector<std::string> Lines(const RecordingSurface& surface) {
  std::vector<std::string> lines;
  for (const RecordedCall& call : surface.Calls()) lines.push_back(RecordingSurface::Line(call));
  return lines;
}
