// The clock's faces, one per monitor, each with its own client area, back
// buffer and layout, all in one look: the numeral style and the theme are the
// same on every monitor.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "face/clock_source.h"
#include "face/layout.h"
#include "face/surface.h"
#include "face/themes.h"

struct MonitorFace {
  Rect client;                    // the face's client area in its back buffer
  Surface* backBuffer = nullptr;  // the platform's; null when none could be made
  FaceLayout layout = {};         // as the face was last drawn
};

// The faces shown, kept by the platform as monitors come, go and change size
// (telling the clock window of each change, clock_window.h). The first is the
// one `ClockRect` and `BackBufferDC` stand for.
extern std::vector<MonitorFace> MonitorFaces;

// The look of every face: the stored settings at start, then the right
// button's style and the wheel's theme.
extern FaceLook ClockLook;

// The back buffer of the clock window (of the first face where there are
// several). Owned by the platform; null until it exists.
extern Surface* BackBufferDC;

// Where the faces' instant comes from: `ReadSystemClock` unless replaced.
extern ClockSourceFn ClockSource;

// Stops `ClockSource` at the local instant `text` ("YYYY-MM-DD HH:MM:SS",
// local_instant.h); false, and the clock left running, when the text is not
// such an instant.
bool FreezeClockAt(std::string_view text);

// Draws every face for one and the same instant, each laid out for its own
// client area in `ClockLook`, and shows it.
void DrawMonitorFaces();

// Draws the face `index` alone, at once (a monitor just added or resized).
void DrawMonitorFace(std::size_t index);
