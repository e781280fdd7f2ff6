// Shared set-up for the face tests: process-wide values back at their start
// values, a recording surface as the back buffer, and a fixed clock.
#pragma once

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "common/utf_conversion.h"
#include "common/wide_format.h"
#include "face/clock_source.h"
#include "face/frame.h"
#include "face/layout.h"
#include "face/numerals.h"
#include "face/recording_surface.h"
#include "face/ring.h"
#include "face/themes.h"

inline std::tm FixedTime;
inline bool FixedTimeOk = true;
inline bool ReadFixedTime(std::tm* out) {
  *out = FixedTime;
  return FixedTimeOk;
}

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

class FaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    NumeralStyle = 1;
    NumeralTable = ChineseNumerals;
    ColorByWeekday = 1;
    ThemeIndex = 0;
    HighlightColor = 0;
    FadeIndex = 0;
    RingAngle = StepAngle = FadeStep = 0.0f;
    RingCursor = 0;
    FixedTimeOk = true;
    ClockSource = ReadFixedTime;
    BackBufferDC = &surface;
  }
  void TearDown() override {
    BackBufferDC = nullptr;
    ClockSource = ReadSystemClock;
  }

  void Layout(int width, int height) {
    ComputeLayout(Rect{0, 0, width, height});
    surface.Clear();
  }

  // Texts drawn, in order, with their positions and the colour and font in
  // effect when each was drawn.
  struct Text {
    int x, y;
    std::string text;
    ColorRef color;
    int escapement;
    int height;
    std::string face;
    int weight;
  };
  std::vector<Text> Texts() const {
    std::vector<Text> out;
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

  RecordingSurface surface;
};
