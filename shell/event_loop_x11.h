// The saver's one thread on X: a poll() over the X connection and a
// signalfd, with the frame timer of clock_window.h (and one deferred call) as
// its deadlines. Supplies the timer and quit operations of the X11 back end.
#pragma once

#include <X11/Xlib.h>

// SIGTERM (how xscreensaver ends a hack), SIGINT and SIGHUP arrive as
// readable data in the loop instead of interrupting it: blocks them and
// returns the descriptor, or -1.
int OpenSignalFd();

// Runs until `PostQuit`: every event goes to `handle`; after each batch of
// events `afterEvents` runs and any X errors are reported; a signal runs the
// shutdown steps. Returns the posted code.
int RunEventLoop(Display* display, int signalFd, void (*handle)(XEvent& event), void (*afterEvents)());

// Calls `what` once, `milliseconds` from now, from the loop; replaces a call
// still waiting.
void CallLater(int milliseconds, void (*what)());

// Milliseconds of the monotonic clock, for spacing things out.
long long MonotonicMilliseconds();

// The frame timer: fires `ClockTimerTick` once, `milliseconds` from now;
// re-arming replaces the wait.
void ArmClockTimer(int milliseconds);
// Stops the frame timer and any deferred call.
void StopClockTimer();
// Ends `RunEventLoop` with `code` once the current event is done.
void PostQuit(int code);
