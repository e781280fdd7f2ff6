// The monitors of an X screen, as XRandR lists them, and the events that
// tell they have changed (added, removed, moved, resized, or the screen
// itself resized).
#pragma once

#include <X11/Xlib.h>

#include <vector>

struct MonitorArea {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const MonitorArea&) const = default;
};

// The active monitors, the primary first and the others in XRandR's order;
// one of the same place and size is listed once. The whole screen as one
// monitor where XRandR (1.5) is missing or lists none.
std::vector<MonitorArea> ReadMonitors(Display* display, Window root);

// Asks for XRandR's notifications and the root's changes of size.
void WatchMonitors(Display* display, Window root);

// True for an event that may mean the monitors changed; keeps Xlib's idea of
// the screen's size up to date.
bool IsMonitorEvent(Display* display, XEvent& event);
