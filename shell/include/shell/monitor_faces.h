// The clock's faces, one per monitor, each with its own client rectangle and
// back buffer. The face's layout values are process-wide, so the faces are
// drawn one after another, each laid out for its own rectangle just before;
// the numeral style and the theme are the same on all of them.
#pragma once

#include <cstddef>
#include <vector>

#include "face/surface.h"

struct MonitorFace {
  Rect client;                    // the face's client area in its back buffer
  Surface* backBuffer = nullptr;  // the platform's; null when none could be made
};

// The faces shown, kept by the platform as monitors come, go and change size
// (telling the clock window of each change, clock_window.h). The first is the
// one `ClockRect`, `BackBufferDC` and the layout stand for between frames.
extern std::vector<MonitorFace> MonitorFaces;

// Draws every face for one and the same instant: for each, `BackBufferDC`
// points at its back buffer, `ComputeLayout` lays it out and `DrawFrame`
// draws and shows it. Afterwards `BackBufferDC` and the layout are the first
// face's again.
void DrawMonitorFaces();

// Draws the face `index` alone, at once, laid out afresh (a monitor just
// added or resized).
void DrawMonitorFace(std::size_t index);
