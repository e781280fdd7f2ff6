// The clock window on X11: an override-redirect window over each monitor, a
// child of the preview parent, or an xscreensaver host window drawn into
// directly; each face laid out again whenever its window changes size.
#pragma once

enum class X11Placement {
  kFullScreen,  // our own window over each monitor, keyboard grabbed
  kPreview,     // our own child window inside `ParentWindow`
  kHostWindow,  // `ParentWindow` itself (xscreensaver), no input taken
  kHostRoot,    // the root window itself (xscreensaver --root)
};

// Opens the display, creates the windows, runs until the shutdown steps and
// returns the exit status: 0, also when a preview or host window does not
// exist, and at once, silently, when another full-screen saver runs on the
// display. Returns 1 with a one-line message on stderr when the display
// cannot be opened, and 4 (kExitNoMemory) with one when a face's back
// buffer cannot be had, at the start or at any later size.
int RunClockWindow(X11Placement placement);
