// Which display system the full-screen saver on Linux talks to: the Wayland
// compositor the session names, unless GDK_BACKEND, as GTK reads it, puts
// X11 first.
#pragma once

// True when `waylandDisplay` (WAYLAND_DISPLAY, may be null) names a
// compositor and `gdkBackend` (GDK_BACKEND, may be null) does not ask for
// X11: of the entries "wayland", "x11" and "*" in its comma-separated list,
// the first decides ("*" meaning GTK's own order, Wayland first); a list
// with none of them, such as "broadway", keeps the saver on X11.
bool ChoosesWayland(const char* waylandDisplay, const char* gdkBackend);
