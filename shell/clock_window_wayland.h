// The full-screen clock on a Wayland desktop: a face on every output, above
// panels and windows, laid out for the output's device pixels. Where the
// compositor offers wlr-layer-shell (sway, Hyprland, KDE Plasma) each output
// gets a surface on the overlay layer that takes the keyboard; elsewhere
// (GNOME, weston) a fullscreen window. GTK 3 holds the windows, the outputs
// and the input; the face is shown through face_surface_wayland.h.
#pragma once

enum class WaylandRun {
  kRan,           // ran until the shutdown steps; the status is set
  kAnotherSaver,  // another full-screen saver runs in this session
  kNoCompositor,  // no connection could be made; nothing was shown
};

// Runs the full-screen saver on the compositor that WAYLAND_DISPLAY names.
// Outputs that come, go, or change mode or scale are followed; with no
// output at all it waits for one.
WaylandRun RunWaylandClock(int* status);

// From now on the loss of the connection to the compositor, wherever GTK
// notices it (the saver, or the options dialog on Wayland), ends the process
// with status 1 and one line of ours on stderr instead of GTK's.
void ReportLostCompositor();
