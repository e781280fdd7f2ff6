#include "monitors_x11.h"

#include <X11/extensions/Xrandr.h>

#include <algorithm>

namespace {

int RandrEventBase = -1;

bool HaveMonitorList(Display* display) {
  int eventBase = 0, errorBase = 0, major = 0, minor = 0;
  if (!XRRQueryExtension(display, &eventBase, &errorBase)) return false;
  RandrEventBase = eventBase;
  return XRRQueryVersion(display, &major, &minor) && (major > 1 || minor >= 5);
}

}  // namespace

std::vector<MonitorArea> ReadMonitors(Display* display, Window root) {
  std::vector<MonitorArea> areas;
  if (HaveMonitorList(display)) {
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(display, root, True, &count);
    for (int i = 0; monitors != nullptr && i < count; ++i) {
      const XRRMonitorInfo& m = monitors[i];
      if (m.width <= 0 || m.height <= 0) continue;
      const MonitorArea area{m.x, m.y, m.width, m.height};
      if (std::find(areas.begin(), areas.end(), area) != areas.end()) continue;
      if (m.primary) {
        areas.insert(areas.begin(), area);
      } else {
        areas.push_back(area);
      }
    }
    if (monitors != nullptr) XRRFreeMonitors(monitors);
  }
  if (areas.empty()) {
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, root, &attributes) != 0) {
      areas.push_back(MonitorArea{0, 0, attributes.width, attributes.height});
    }
  }
  return areas;
}

void WatchMonitors(Display* display, Window root) {
  if (HaveMonitorList(display)) {
    XRRSelectInput(display, root, RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask |
                                      RROutputChangeNotifyMask);
  }
  XWindowAttributes attributes{};
  XGetWindowAttributes(display, root, &attributes);
  XSelectInput(display, root, attributes.your_event_mask | StructureNotifyMask);
}

bool IsMonitorEvent(Display* display, XEvent& event) {
  if (event.type == ConfigureNotify && event.xconfigure.window == event.xconfigure.event &&
      event.xconfigure.window == DefaultRootWindow(display)) {
    XRRUpdateConfiguration(&event);
    return true;
  }
  if (RandrEventBase < 0) return false;
  if (event.type == RandrEventBase + RRScreenChangeNotify) {
    XRRUpdateConfiguration(&event);
    return true;
  }
  return event.type == RandrEventBase + RRNotify;
}
