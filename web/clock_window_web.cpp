// The clock window in a web page: the shared window logic with a canvas for
// its back buffer and the page's timer for its clock timer. The page
// (orbidial.js) owns the canvas and the events and calls the functions
// exported below.
#include <emscripten.h>

#include "canvas_surface.h"
#include "face/numerals.h"
#include "face/themes.h"
#include "shell/clock_window.h"
#include "shell/monitor_faces.h"

namespace {

CanvasSurface Canvas;

}  // namespace

// The page's timer: one at a time, each arming replaces the one before. The
// frames are counted, and the first one's time after the navigation kept,
// for whoever watches the page.
EM_JS(void, JsArmTimer, (int milliseconds), {
  clearTimeout(Module.orbidialTimer);
  Module.orbidialTimer = setTimeout(() => {
    Module._orbidial_tick();
    Module.orbidialFrames = (Module.orbidialFrames || 0) + 1;
    if (Module.orbidialFrames === 1) Module.orbidialFirstFrame = performance.now();
  }, milliseconds);
});
EM_JS(void, JsStopTimer, (), { clearTimeout(Module.orbidialTimer); });

namespace {

void CreateCanvasBuffer(int, int) {
  Canvas.Reset();
  BackBufferDC = &Canvas;
}
void FreeCanvasBuffer() { BackBufferDC = nullptr; }
// A page has no system keys to hold back, no focus to take and no loop to end.
void Nothing() {}
void NoQuit(int) {}

const ClockPlatform PagePlatform = {CreateCanvasBuffer, FreeCanvasBuffer, JsArmTimer, JsStopTimer,
                                    Nothing,            Nothing,          NoQuit};

}  // namespace

extern "C" {

// Starts the face on a canvas of `width` x `height` device pixels. `style` is
// stored as the settings file's "Han" is; `theme` 0..6 picks the theme, any
// other value leaves it to the weekday (with `colorByWeekday`) or 0; `at`, when
// it is a local instant "YYYY-MM-DD HH:MM:SS", stops the clock there.
EMSCRIPTEN_KEEPALIVE void orbidial_start(int width, int height, int style, int colorByWeekday, int theme,
                                         const char* at) {
  if (at != nullptr && *at != 0) FreezeClockAt(at);
  ClockLook.NumeralStyle = StoredNumeralStyle(style);
  ClockLook.ColorByWeekday = colorByWeekday != 0 ? 1 : 0;
  ClockPlacement = WindowPlacement::kWindow;  // a click is the page's, not the end of the clock
  ClockPlatformInUse = &PagePlatform;
  ClockCreate(Rect{0, 0, width, height});
  if (theme >= 0 && theme < kThemeCount) {
    ClockLook.ThemeIndex = theme;
    UpdateHighlightColor(ClockLook);
  }
}

EMSCRIPTEN_KEEPALIVE void orbidial_tick() { ClockTimerTick(); }

// The canvas has a new size in device pixels: laid out again and shown at once.
EMSCRIPTEN_KEEPALIVE void orbidial_resize(int width, int height) {
  if (MonitorFaces.empty()) return;
  Canvas.Reset();
  MonitorFaces.front().client = Rect{0, 0, width, height};
  ClockFaceChanged(0);
  JsArmTimer(kFirstFrameDelay);
}

EMSCRIPTEN_KEEPALIVE void orbidial_right_button() { ClockRightButtonUp(); }

// One notch of the wheel: forward above 0.
EMSCRIPTEN_KEEPALIVE void orbidial_wheel(int forward) { ClockWheel(forward > 0 ? 1 : -1); }

EMSCRIPTEN_KEEPALIVE int orbidial_style() { return ClockLook.NumeralStyle; }
EMSCRIPTEN_KEEPALIVE int orbidial_theme() { return ClockLook.ThemeIndex; }

}  // extern "C"
