// One full-screen saver per X display: the running saver owns an X
// selection, so a second one started on the same display sees it and steps
// aside. The server frees a selection with its owner's window, so a saver
// that crashed leaves nothing behind (a lock file would).
#pragma once

#include <X11/Xlib.h>

// The selection's name.
inline constexpr char kSaverSelection[] = "_ORBIDIAL_SAVER";

// Takes the selection for this process, with a window of its own that lives
// until the connection closes. False when another client owns it already.
bool ClaimSaverSelection(Display* display);
