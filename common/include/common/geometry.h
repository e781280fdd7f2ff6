// Places on a screen or in a window, in pixels.
#pragma once

// A rectangle of client pixels: left, top, right, bottom.
struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};
