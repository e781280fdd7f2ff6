// A small X client for the end-to-end tests: makes a parent window for the
// preview, reads pixels of the screen, and tries the keyboard grab.
//   xprobe parent W H           map a W x H window at (100, 100), print its
//                               id, live until killed
//   xprobe count X Y W H RRGGBB pixels of that colour in the rectangle
//   xprobe shade X Y W H RRGGBB pixels of that colour blended over black (the
//                               edges of anti-aliased text), at least a third
//                               as bright
//   xprobe nonblack X Y W H     pixels that are not black
//   xprobe wait-nonblack X Y W H MS   wait until some pixel is not black
//   xprobe grab                 exit 0 when the keyboard can be grabbed
//   xprobe first-frame X Y W H -- PROGRAM ARGS...   start the program and
//                               print the milliseconds until its first pixel
//                               shows, then its process id
//   xprobe changes X Y W H SECONDS   watch the rectangle that long; print a
//                               line "UNIXSECOND MS" for every change of its
//                               pixels (MS: milliseconds after that whole
//                               second of the wall clock), then a summary
//   xprobe focus-thief SECONDS  a small window at (0, 0) that takes the input
//                               focus back whenever it loses it, as a window
//                               manager would; prints how often it lost it
//   xprobe hold-grab            grab the keyboard, print "held", live until
//                               killed
//   xprobe destroy ID           destroy another client's window
//   xprobe keep-on-top SECONDS  a small override-redirect window at (0, 0)
//                               that raises itself whenever it is covered, as
//                               another always-on-top client would; prints how
//                               often it did
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

Display* Connection = nullptr;

double NowMs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

// Calls `f(rgb)` for every pixel of the rectangle of the root window.
template <typename F>
bool EachPixel(int x, int y, int w, int h, F f) {
  XImage* image = XGetImage(Connection, DefaultRootWindow(Connection), x, y, static_cast<unsigned>(w),
                            static_cast<unsigned>(h), AllPlanes, ZPixmap);
  if (image == nullptr) return false;
  for (int row = 0; row < h; ++row) {
    for (int col = 0; col < w; ++col) {
      const unsigned long p = XGetPixel(image, col, row);
      const unsigned long rgb = (((p & image->red_mask) >> __builtin_ctzl(image->red_mask)) << 16) |
                                (((p & image->green_mask) >> __builtin_ctzl(image->green_mask)) << 8) |
                                ((p & image->blue_mask) >> __builtin_ctzl(image->blue_mask));
      f(rgb);
    }
  }
  XDestroyImage(image);
  return true;
}

long CountNonBlack(int x, int y, int w, int h) {
  long n = 0;
  if (!EachPixel(x, y, w, h, [&](unsigned long rgb) { n += rgb != 0; })) return -1;
  return n;
}

// A digest of the rectangle's pixels; -1 when it cannot be read.
long long Digest(int x, int y, int w, int h) {
  unsigned long long hash = 1469598103934665603ULL;
  const bool read = EachPixel(x, y, w, h, [&](unsigned long rgb) {
    hash = (hash ^ rgb) * 1099511628211ULL;
  });
  return read ? static_cast<long long>(hash >> 1) : -1;
}

// Watches the rectangle and reports when it changes against the wall clock:
// each change, then "summary changes N seconds S skipped K repeated R
// median M p95 P max X" over the whole seconds from the first change to the
// last.
int WatchChanges(int x, int y, int w, int h, int seconds) {
  const double end = NowMs() + seconds * 1000.0;
  long long last = Digest(x, y, w, h);
  std::vector<double> offsets;
  std::map<long long, int> perSecond;
  while (NowMs() < end) {
    const long long now = Digest(x, y, w, h);
    if (now != last && now != -1) {
      timespec wall{};
      clock_gettime(CLOCK_REALTIME, &wall);
      const double ms = static_cast<double>(wall.tv_nsec) / 1e6;
      std::printf("%lld %.1f\n", static_cast<long long>(wall.tv_sec), ms);
      offsets.push_back(ms);
      ++perSecond[static_cast<long long>(wall.tv_sec)];
      last = now;
    }
    usleep(1000);
  }
  if (offsets.empty()) {
    std::printf("summary changes 0\n");
    return 1;
  }
  const long long first = perSecond.begin()->first;
  const long long lastSecond = perSecond.rbegin()->first;
  int skipped = 0, repeated = 0;
  for (long long s = first; s <= lastSecond; ++s) {
    const auto found = perSecond.find(s);
    if (found == perSecond.end()) {
      ++skipped;
    } else {
      repeated += found->second - 1;
    }
  }
  std::vector<double> sorted = offsets;
  std::sort(sorted.begin(), sorted.end());
  const auto at = [&](double q) { return sorted[static_cast<std::size_t>(q * static_cast<double>(sorted.size() - 1) + 0.5)]; };
  std::printf("summary changes %zu seconds %lld skipped %d repeated %d median %.1f p95 %.1f max %.1f\n",
              offsets.size(), lastSecond - first + 1, skipped, repeated, at(0.5), at(0.95), sorted.back());
  return 0;
}

// Loses the focus, takes it back, for `seconds`; returns how often.
long StealFocus(int seconds) {
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.event_mask = FocusChangeMask;
  attributes.background_pixel = 0x808080;
  const Window window = XCreateWindow(Connection, DefaultRootWindow(Connection), 0, 0, 8, 8, 0,
                                      CopyFromParent, InputOutput, CopyFromParent,
                                      CWOverrideRedirect | CWEventMask | CWBackPixel, &attributes);
  XMapRaised(Connection, window);
  XSync(Connection, False);
  XSetInputFocus(Connection, window, RevertToParent, CurrentTime);
  XFlush(Connection);
  long lost = 0;
  const double end = NowMs() + seconds * 1000.0;
  while (NowMs() < end) {
    while (XPending(Connection) > 0) {
      XEvent event;
      XNextEvent(Connection, &event);
      if (event.type == FocusOut && event.xfocus.detail != NotifyInferior &&
          event.xfocus.detail != NotifyPointer &&
          (event.xfocus.mode == NotifyNormal || event.xfocus.mode == NotifyWhileGrabbed)) {
        ++lost;
        XSetInputFocus(Connection, window, RevertToParent, CurrentTime);
        XFlush(Connection);
      }
    }
    // Answers at once, as a window manager does.
    pollfd connection{ConnectionNumber(Connection), POLLIN, 0};
    poll(&connection, 1, 10);
  }
  return lost;
}

long KeepOnTop(int seconds) {
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.event_mask = VisibilityChangeMask;
  attributes.background_pixel = 0xFFFFFF;
  const Window window = XCreateWindow(Connection, DefaultRootWindow(Connection), 0, 0, 8, 8, 0,
                                      CopyFromParent, InputOutput, CopyFromParent,
                                      CWOverrideRedirect | CWEventMask | CWBackPixel, &attributes);
  XMapRaised(Connection, window);
  XFlush(Connection);
  long raised = 0;
  const double end = NowMs() + seconds * 1000.0;
  while (NowMs() < end) {
    while (XPending(Connection) > 0) {
      XEvent event;
      XNextEvent(Connection, &event);
      if (event.type == VisibilityNotify && event.xvisibility.state != VisibilityUnobscured) {
        ++raised;
        XRaiseWindow(Connection, window);
        XFlush(Connection);
      }
    }
    pollfd connection{ConnectionNumber(Connection), POLLIN, 0};
    poll(&connection, 1, 10);
  }
  return raised;
}

int Usage() {
  std::fputs("usage: xprobe parent W H | count X Y W H RRGGBB | shade X Y W H RRGGBB |\n"
             "       nonblack X Y W H |\n"
             "       wait-nonblack X Y W H MS | grab | first-frame X Y W H -- PROGRAM... |\n"
             "       changes X Y W H SECONDS | focus-thief SECONDS | hold-grab | destroy ID |\n"
             "       keep-on-top SECONDS\n",
             stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  Connection = XOpenDisplay(nullptr);
  if (Connection == nullptr) {
    std::fputs("xprobe: no display\n", stderr);
    return 2;
  }
  XSetErrorHandler(IgnoreErrors);
  auto arg = [&](int i) { return std::atoi(argv[i]); };

  if (command == "parent" && argc == 4) {
    XSetWindowAttributes attributes{};
    attributes.background_pixel = 0x404040;
    attributes.override_redirect = True;
    Window window = XCreateWindow(Connection, DefaultRootWindow(Connection), 100, 100,
                                  static_cast<unsigned>(arg(2)), static_cast<unsigned>(arg(3)), 0,
                                  CopyFromParent, InputOutput, CopyFromParent,
                                  CWBackPixel | CWOverrideRedirect, &attributes);
    XMapWindow(Connection, window);
    XSync(Connection, False);
    std::printf("%lu\n", window);
    std::fflush(stdout);
    for (;;) pause();  // the window goes when the process is killed
  }
  if (command == "count" && argc == 7) {
    const unsigned long want = std::strtoul(argv[6], nullptr, 16);
    long n = 0;
    if (!EachPixel(arg(2), arg(3), arg(4), arg(5), [&](unsigned long rgb) { n += rgb == want; })) return 1;
    std::printf("%ld\n", n);
    return 0;
  }
  if (command == "shade" && argc == 7) {
    const unsigned long want = std::strtoul(argv[6], nullptr, 16);
    const double c[3] = {static_cast<double>((want >> 16) & 0xFF), static_cast<double>((want >> 8) & 0xFF),
                         static_cast<double>(want & 0xFF)};
    const int k = c[0] >= c[1] && c[0] >= c[2] ? 0 : (c[1] >= c[2] ? 1 : 2);
    long n = 0;
    const bool read = EachPixel(arg(2), arg(3), arg(4), arg(5), [&](unsigned long rgb) {
      const double p[3] = {static_cast<double>((rgb >> 16) & 0xFF), static_cast<double>((rgb >> 8) & 0xFF),
                           static_cast<double>(rgb & 0xFF)};
      const double a = p[k] / c[k];
      if (a < 1.0 / 3) return;
      for (int i = 0; i < 3; ++i) {
        if (p[i] - a * c[i] > 12 || a * c[i] - p[i] > 12) return;
      }
      ++n;
    });
    if (!read) return 1;
    std::printf("%ld\n", n);
    return 0;
  }
  if (command == "nonblack" && argc == 6) {
    std::printf("%ld\n", CountNonBlack(arg(2), arg(3), arg(4), arg(5)));
    return 0;
  }
  if (command == "wait-nonblack" && argc == 7) {
    const double end = NowMs() + arg(6);
    while (NowMs() < end) {
      if (CountNonBlack(arg(2), arg(3), arg(4), arg(5)) > 0) return 0;
      usleep(10000);
    }
    return 1;
  }
  if (command == "grab" && argc == 2) {
    const int result = XGrabKeyboard(Connection, DefaultRootWindow(Connection), False, GrabModeAsync,
                                     GrabModeAsync, CurrentTime);
    XUngrabKeyboard(Connection, CurrentTime);
    XSync(Connection, False);
    return result == GrabSuccess ? 0 : 1;
  }
  if (command == "first-frame" && argc > 7 && std::strcmp(argv[6], "--") == 0) {
    const double start = NowMs();
    const pid_t child = fork();
    if (child == 0) {
      execv(argv[7], argv + 7);
      _exit(127);
    }
    while (NowMs() - start < 5000) {
      if (CountNonBlack(arg(2), arg(3), arg(4), arg(5)) > 0) {
        std::printf("%.1f %d\n", NowMs() - start, static_cast<int>(child));
        return 0;
      }
    }
    kill(child, SIGTERM);
    return 1;
  }
  if (command == "focus-thief" && argc == 3) {
    std::printf("%ld\n", StealFocus(arg(2)));
    return 0;
  }
  if (command == "keep-on-top" && argc == 3) {
    std::printf("%ld\n", KeepOnTop(arg(2)));
    return 0;
  }
  if (command == "destroy" && argc == 3) {
    XDestroyWindow(Connection, static_cast<Window>(std::strtoul(argv[2], nullptr, 0)));
    XSync(Connection, False);
    return 0;
  }
  if (command == "hold-grab" && argc == 2) {
    if (XGrabKeyboard(Connection, DefaultRootWindow(Connection), False, GrabModeAsync, GrabModeAsync,
                      CurrentTime) != GrabSuccess) {
      return 1;
    }
    XSync(Connection, False);
    std::printf("held\n");
    std::fflush(stdout);
    for (;;) pause();
  }
  if (command == "changes" && argc == 7) return WatchChanges(arg(2), arg(3), arg(4), arg(5), arg(6));
  return Usage();
}
