// The clock window on X11: an override-redirect window over the primary
// monitor, a child of the preview parent, or an xscreensaver host window
// drawn into directly; run with one poll() loop until the shutdown steps.
#pragma once

enum class X11Placement {
  kFullScreen,  // our own window over the screen, keyboard grabbed
  kPreview,     // our own child window inside `ParentWindow`
  kHostWindow,  // `ParentWindow` itself (xscreensaver), no input taken
  kHostRoot,    // the root window itself (xscreensaver --root)
};

// Opens the display, creates the window, runs until the shutdown steps and
// returns the exit status: 0, also when a preview or host window does not
// exist. Returns 1 with a one-line message on stderr when the display
// cannot be opened.
int RunClockWindow(X11Placement placement);
