// The clock window's values and the handling of its events, shared by every
// platform: creation, the frame timer, the right button, the wheel, the keys
// and clicks that end a full-screen run, and the shutdown steps. The platform
// file (clock_window_x11.cpp, clock_window_win32.cpp) owns the real window and
// turns its events into the calls below, and supplies its operations through
// `ClockPlatform`.
#pragma once

#include <cstddef>
#include <cstdint>

#include "face/surface.h"
#include "shell/keyboard_filter.h"

// A window handle as a number: an X window id, or an HWND's value.
using WindowHandle = std::uintptr_t;

// Where the clock shows: over the whole screen (a click or Escape ends the
// run, and the window keeps the focus), in a host's preview window, as a
// host's hack in a window it made (or its root), or in a window of its own
// among others (the browser page). The last three only show: their clicks
// and keys are the host's or the user's.
enum class WindowPlacement { kFullScreen, kPreview, kHack, kWindow };
extern WindowPlacement ClockPlacement;
// Preview parent (and owner of the options dialog); 0 when none was given.
extern WindowHandle ParentWindow;
// Client area of the clock window (of the first monitor's face where there
// are several): set at creation, and again when the window changes size.
extern Rect ClockRect;
// The wait in milliseconds before a frame that must show at once (the first,
// and after a style or theme change); regular frames come on the second
// (frame_schedule.h).
inline constexpr int kFirstFrameDelay = 10;

// ---- The back end ------------------------------------------------------

// What the shared logic asks of the platform that shows the clock. Each back
// end (X11, Wayland, Win32) fills one table and points `ClockPlatformInUse`
// at it before it creates the window; while none is in use every operation
// does nothing.
struct ClockPlatform {
  // Makes `BackBufferDC` a black surface of `width` x `height` whose copies
  // go to the clock window. Leaves it null when that is impossible.
  void (*createBackBuffer)(int width, int height);
  // Frees the back buffer (every face's, where there are several) and sets
  // `BackBufferDC` to null.
  void (*freeBackBuffer)();
  // (Re)arms the one frame timer to fire once after `milliseconds`.
  void (*armClockTimer)(int milliseconds);
  void (*stopClockTimer)();
  // Lets the system keys go, if the back end holds them (a hook, a grab or
  // a shortcuts inhibitor); nothing otherwise.
  void (*removeKeyboardFilter)();
  // Gives the input focus back to the clock window.
  void (*takeFocusBack)();
  // Ends the back end's event loop with `code` once the current event is
  // done.
  void (*postQuit)(int code);
};
extern const ClockPlatform* ClockPlatformInUse;

// ---- Event handling ------------------------------------------------------

// Creation: `client` is the face's rectangle in the window. Builds the back
// buffer, lays the face out, picks the theme and arms the first frame.
void ClockCreate(Rect client);
// Creation where the platform has made the faces itself, one per monitor
// (`MonitorFaces`, monitor_faces.h): lays the first out, picks the theme and
// arms the first frame.
void ClockStart();
// The face `index` of `MonitorFaces` is new or has a new size and back
// buffer: shown at once, laid out for its rectangle.
void ClockFaceChanged(std::size_t index);
// The frame timer fired: draw a frame and wait until just after the next
// whole second of the wall clock.
void ClockTimerTick();
// Right button released: the next numeral style, shown at once.
void ClockRightButtonUp();
// One step of the wheel (`step` above 0 forward, else back): the next or
// the previous theme, with colour themes on.
void ClockWheel(int step);
// Left button pressed: ends a full-screen run.
void ClockLeftButtonDown();
// A key that reached the window: Escape pressed or released without Alt
// ends a full-screen run.
void ClockKey(const KeyEvent& event);
// A raw key event where no system hook filters beforehand: keys the filter
// swallows (a release too when its press was) are dropped, the rest go to
// `ClockKey`.
void ClockKeyEvent(const KeyEvent& event);
// The window lost the input focus: a full-screen run takes it back, a
// preview leaves it where it went.
void ClockFocusLost();
// The window (or its preview parent) is being destroyed.
void ClockDestroyed();
// The shutdown steps; only the first call acts.
void ClockShutdown();
// True once the shutdown steps have run; every handler then does nothing.
bool ClockClosed();
