// The clock window on Xlib: where the faces stand (a window per monitor, a
// preview child, or the host's window), their back buffers, the keyboard
// grab that stands for the system-key hook, and the X events turned into the
// clock window's calls.
#include "clock_window_x11.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <span>
#include <vector>

#include "event_loop_x11.h"
#include "face/raster_surface.h"
#include "frame_image_x11.h"
#include "monitors_x11.h"
#include "saver_selection_x11.h"
#include "shell/clock_window.h"
#include "shell/exit_status.h"
#include "shell/keyboard_filter.h"
#include "shell/monitor_faces.h"
#include "x_errors_x11.h"

namespace {

// A larger back buffer than this is not attempted: the process would
// otherwise ask for gigabytes.
constexpr long long kMaxBackBufferPixels = 64LL * 1024 * 1024;

// A lost focus is taken back at most this often: a window manager that
// hands it straight back (XWayland's does) would otherwise trade it with
// the saver thousands of times a second.
constexpr long long kFocusRetakeMilliseconds = 250;

// The faces are raised again at most this often: a client that keeps its
// own window on top the same way would otherwise trade places with the
// saver without end.
constexpr long long kRestackMilliseconds = 100;

constexpr long kInputEvents = ButtonPressMask | ButtonReleaseMask | KeyPressMask | KeyReleaseMask |
                              FocusChangeMask;

// One face's window and what shows it.
struct FaceWindow {
  Window window = 0;
  bool owned = false;  // ours to destroy; otherwise the host's
  MonitorArea area;    // its place on the root (full screen) and its size
  std::unique_ptr<FrameImage> image;
  std::unique_ptr<RasterSurface> buffer;
  bool shown = false;  // a frame has reached the window
};

Display* TheDisplay = nullptr;
X11Placement Placement = X11Placement::kFullScreen;
bool TakesInput = false;
// The keyboard grab, the system-key filter on X, is held.
bool KeyboardGrabbed = false;
Visual* TheVisual = nullptr;
int TheDepth = 0;
Cursor BlankCursor = 0;
// In the order of `MonitorFaces`; the first holds the keyboard grab.
std::vector<std::unique_ptr<FaceWindow>> Faces;
bool MonitorsMayHaveChanged = false;
// A face's back buffer could not be had: rather than a black window that
// runs on, the run ends with a status of its own.
bool BufferMissing = false;
long long LastFocusRetake = -kFocusRetakeMilliseconds;
// Another window was mapped or restacked on the root: it may cover a face.
bool RestackWanted = false;
long long LastRestack = -kRestackMilliseconds;
bool FocusRetakeWaiting = false;

void ShowFace(FaceWindow& face, std::span<const Rect> changed) {
  if (face.buffer == nullptr || face.image == nullptr) return;
  face.image->Show(*face.buffer, changed);
  face.shown = true;
}

void BufferFailed(int width, int height) {
  if (!BufferMissing) {
    const long long mebibytes = (static_cast<long long>(width) * height * 4 + (1 << 20) - 1) >> 20;
    std::fprintf(stderr, "orbidial: not enough memory for a frame buffer of %dx%d pixels (%lld MiB)\n", width,
                 height, mebibytes);
  }
  BufferMissing = true;
}

// The face's back buffer and image, made anew for `width` x `height`. Both
// stay null when they cannot be made, which ends the run (`BufferMissing`).
void MakeFaceBuffer(FaceWindow& face, int width, int height) {
  face.buffer.reset();
  face.image.reset();
  face.area.width = width;
  face.area.height = height;
  if (width <= 0 || height <= 0) return;
  auto image = std::make_unique<FrameImage>(TheDisplay, face.window, TheVisual, TheDepth);
  auto buffer = static_cast<long long>(width) * height <= kMaxBackBufferPixels && image->Create(width, height)
                    ? std::make_unique<RasterSurface>(width, height)
                    : nullptr;
  // An empty surface is one whose pixels could not be had.
  if (buffer == nullptr || buffer->Width() != width) {
    BufferFailed(width, height);
    return;
  }
  face.image = std::move(image);
  face.buffer = std::move(buffer);
  // Where the image is laid out as the surface draws, the surface draws into
  // it (the server reads the same memory); otherwise it draws into its own
  // buffer and what changed is converted on the way.
  if (face.image->TakesPixelsDirectly()) {
    face.buffer->SetTarget(face.image->Pixels(), face.image->StrideBytes(), nullptr);
  }
  FaceWindow* shownOn = &face;
  face.buffer->SetDamagePresenter(
      [shownOn](std::span<const Rect> changed) { ShowFace(*shownOn, changed); });
}

// `MonitorFaces` as `Faces` stand now.
void PublishFaces() {
  MonitorFaces.clear();
  for (const auto& face : Faces) {
    MonitorFaces.push_back(
        MonitorFace{Rect{0, 0, face->area.width, face->area.height}, face->buffer.get()});
  }
}

std::size_t FaceIndexOf(Window window) {
  for (std::size_t i = 0; i < Faces.size(); ++i) {
    if (Faces[i]->window == window) return i;
  }
  return Faces.size();
}

bool IsFaceWindow(Window window) { return window != 0 && FaceIndexOf(window) < Faces.size(); }

// A face's window has a new size: a back buffer of that size, laid out and
// shown at once.
void FaceResized(std::size_t index, int width, int height) {
  FaceWindow& face = *Faces[index];
  if (width == face.area.width && height == face.area.height) return;
  MakeFaceBuffer(face, width, height);
  PublishFaces();
  ClockFaceChanged(index);
}

Cursor MakeBlankCursor(Window root) {
  static const char kEmpty[1] = {0};
  Pixmap bitmap = XCreateBitmapFromData(TheDisplay, root, kEmpty, 1, 1);
  XColor black{};
  Cursor cursor = XCreatePixmapCursor(TheDisplay, bitmap, bitmap, &black, &black, 0, 0);
  XFreePixmap(TheDisplay, bitmap);
  return cursor;
}

void NameWindow(Window window) {
  XStoreName(TheDisplay, window, "Orbidial");
  XClassHint hint{};
  char name[] = "orbidial";
  char className[] = "Orbidial";
  hint.res_name = name;
  hint.res_class = className;
  XSetClassHint(TheDisplay, window, &hint);
}

// GNOME's XWayland lets a window grab the keyboard only when it asks to: as
// a property of the window, and as the message GNOME reads for it.
void AskToGrabUnderXWayland(Window window) {
  const Atom request = XInternAtom(TheDisplay, "_XWAYLAND_MAY_GRAB_KEYBOARD", False);
  const long yes = 1;
  XChangeProperty(TheDisplay, window, request, XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&yes), 1);
  XEvent message{};
  message.xclient.type = ClientMessage;
  message.xclient.window = window;
  message.xclient.message_type = request;
  message.xclient.format = 32;
  message.xclient.data.l[0] = 1;
  XSendEvent(TheDisplay, DefaultRootWindow(TheDisplay), False,
             SubstructureNotifyMask | SubstructureRedirectMask, &message);
}

const char* GrabFailure(int result) {
  switch (result) {
    case AlreadyGrabbed: return "another program holds it";
    case GrabFrozen: return "another program has frozen it";
    case GrabNotViewable: return "the window is not viewable";
    default: return "the server refused";
  }
}

// Another client (a menu, a panel mid-grab) may hold the keyboard for a
// moment; wait a little for it rather than run without the filter.
bool GrabKeyboard(Window window) {
  int result = GrabSuccess;
  for (int attempt = 0; attempt < 50; ++attempt) {
    result = XGrabKeyboard(TheDisplay, window, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    if (result == GrabSuccess) return true;
    if (result != AlreadyGrabbed && result != GrabFrozen) break;
    const timespec pause{0, 20 * 1000 * 1000};
    nanosleep(&pause, nullptr);
  }
  std::fprintf(stderr, "orbidial: could not grab the keyboard (%s); system keys still reach the desktop\n",
               GrabFailure(result));
  return false;
}

// A window over `area`, mapped above the others, with its face.
void AddMonitorWindow(const MonitorArea& area) {
  const int screen = DefaultScreen(TheDisplay);
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.background_pixel = BlackPixel(TheDisplay, screen);
  attributes.event_mask = kInputEvents | StructureNotifyMask | ExposureMask;
  attributes.cursor = BlankCursor;
  auto face = std::make_unique<FaceWindow>();
  face->window = XCreateWindow(TheDisplay, RootWindow(TheDisplay, screen), area.x, area.y,
                               static_cast<unsigned>(area.width), static_cast<unsigned>(area.height),
                               0, CopyFromParent, InputOutput, CopyFromParent,
                               CWOverrideRedirect | CWBackPixel | CWEventMask | CWCursor, &attributes);
  face->owned = true;
  face->area = area;
  NameWindow(face->window);
  MakeFaceBuffer(*face, area.width, area.height);
  Faces.push_back(std::move(face));
}

// Whether a window not ours shows above one of the faces: a popup that
// asks no window manager (a notification, a tooltip) maps over everything.
bool FacesCovered() {
  Window root = 0;
  Window parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (XQueryTree(TheDisplay, DefaultRootWindow(TheDisplay), &root, &parent, &children, &count) == 0) {
    return false;
  }
  bool covered = false;
  bool aboveAFace = false;
  // From the bottom of the stack to the top.
  for (unsigned i = 0; i < count && !covered; ++i) {
    if (IsFaceWindow(children[i])) {
      aboveAFace = true;
      continue;
    }
    if (!aboveAFace) continue;
    XWindowAttributes attributes{};
    // It may be gone by now.
    BeginChecked();
    const Status read = XGetWindowAttributes(TheDisplay, children[i], &attributes);
    covered = !CheckedFailed() && read != 0 && attributes.map_state == IsViewable &&
              attributes.c_class == InputOutput;
  }
  if (children != nullptr) XFree(children);
  return covered;
}

void RaiseFaces() {
  RestackWanted = false;
  LastRestack = MonotonicMilliseconds();
  if (!FacesCovered()) return;
  for (const auto& face : Faces) XRaiseWindow(TheDisplay, face->window);
  XFlush(TheDisplay);
}

bool CreateFullScreenWindows() {
  const int screen = DefaultScreen(TheDisplay);
  const Window root = RootWindow(TheDisplay, screen);
  TheVisual = DefaultVisual(TheDisplay, screen);
  TheDepth = DefaultDepth(TheDisplay, screen);
  BlankCursor = MakeBlankCursor(root);
  // Changes from here on are noticed: none may slip by between the reading
  // and the watching.
  WatchMonitors(TheDisplay, root);
  // Windows mapped or raised over the faces, to be put back under them.
  XWindowAttributes rootAttributes{};
  XGetWindowAttributes(TheDisplay, root, &rootAttributes);
  XSelectInput(TheDisplay, root, rootAttributes.your_event_mask | SubstructureNotifyMask);
  for (const MonitorArea& area : ReadMonitors(TheDisplay, root)) AddMonitorWindow(area);
  if (Faces.empty()) return false;
  TakesInput = true;
  PublishFaces();
  ClockStart();
  for (const auto& face : Faces) XMapRaised(TheDisplay, face->window);
  XSync(TheDisplay, False);
  const Window keyboard = Faces.front()->window;
  AskToGrabUnderXWayland(keyboard);
  KeyboardGrabbed = GrabKeyboard(keyboard);
  XSetInputFocus(TheDisplay, keyboard, RevertToParent, CurrentTime);
  return true;
}

// The monitors as they are now: each face's window moved and sized to its
// monitor (a new back buffer when the size changed), windows added for new
// monitors and taken away for monitors gone. The first window, which holds
// the keyboard, always stays.
void FollowMonitors() {
  const std::vector<MonitorArea> areas = ReadMonitors(TheDisplay, DefaultRootWindow(TheDisplay));
  if (areas.empty()) return;
  std::vector<std::size_t> changed;
  const std::size_t kept = std::min(areas.size(), Faces.size());
  for (std::size_t i = 0; i < kept; ++i) {
    FaceWindow& face = *Faces[i];
    if (face.area == areas[i]) continue;
    XMoveResizeWindow(TheDisplay, face.window, areas[i].x, areas[i].y,
                      static_cast<unsigned>(areas[i].width), static_cast<unsigned>(areas[i].height));
    const bool resized = face.area.width != areas[i].width || face.area.height != areas[i].height;
    face.area = areas[i];
    if (resized) {
      MakeFaceBuffer(face, areas[i].width, areas[i].height);
      changed.push_back(i);
    }
  }
  while (Faces.size() > areas.size()) {
    XDestroyWindow(TheDisplay, Faces.back()->window);
    Faces.pop_back();
  }
  for (std::size_t i = kept; i < areas.size(); ++i) {
    AddMonitorWindow(areas[i]);
    XMapRaised(TheDisplay, Faces.back()->window);
    changed.push_back(i);
  }
  PublishFaces();
  for (const std::size_t index : changed) ClockFaceChanged(index);
  XFlush(TheDisplay);
}

// Reads the size and visual of a window that is not ours; false when the id
// names no window (the error stays silent).
bool ReadForeignWindow(Window window, XWindowAttributes* attributes) {
  if (window == 0) return false;
  BeginChecked();
  const Status read = XGetWindowAttributes(TheDisplay, window, attributes);
  return !CheckedFailed() && read != 0;
}

bool CreatePreviewWindow() {
  const Window parent = static_cast<Window>(ParentWindow);
  XWindowAttributes host{};
  if (!ReadForeignWindow(parent, &host)) return false;
  BeginChecked();
  // Learn of the parent's end, and of its new sizes, even before our child
  // exists.
  XSelectInput(TheDisplay, parent, StructureNotifyMask);
  XSetWindowAttributes attributes{};
  attributes.background_pixel = BlackPixel(TheDisplay, XScreenNumberOfScreen(host.screen));
  attributes.event_mask = kInputEvents | StructureNotifyMask | ExposureMask;
  const Window child = XCreateWindow(TheDisplay, parent, 0, 0, static_cast<unsigned>(host.width),
                                     static_cast<unsigned>(host.height), 0, CopyFromParent, InputOutput,
                                     CopyFromParent, CWBackPixel | CWEventMask, &attributes);
  if (CheckedFailed() || child == 0) return false;
  auto face = std::make_unique<FaceWindow>();
  face->window = child;
  face->owned = true;
  Faces.push_back(std::move(face));
  TakesInput = true;
  TheVisual = host.visual;
  TheDepth = host.depth;
  NameWindow(child);
  ClockCreate(Rect{0, 0, host.width, host.height});
  XMapWindow(TheDisplay, child);
  XFlush(TheDisplay);
  return true;
}

// xscreensaver's window (or the root): drawn into as it is, with no input
// taken from it; the daemon holds the grabs.
bool UseHostWindow(bool root) {
  const Window host = root ? DefaultRootWindow(TheDisplay) : static_cast<Window>(ParentWindow);
  XWindowAttributes attributes{};
  if (!ReadForeignWindow(host, &attributes)) return false;
  BeginChecked();
  XSelectInput(TheDisplay, host, StructureNotifyMask | ExposureMask);
  if (CheckedFailed()) return false;
  auto face = std::make_unique<FaceWindow>();
  face->window = host;
  Faces.push_back(std::move(face));
  ParentWindow = host;
  TheVisual = attributes.visual;
  TheDepth = attributes.depth;
  ClockCreate(Rect{0, 0, attributes.width, attributes.height});
  return true;
}

// The host may destroy its window whenever it likes (a preview's parent
// with our child in it), and any client may destroy ours: drawing into one a
// moment before the news arrives, or tidying it away after, is no fault.
bool WindowMayHaveGone(const XErrorEvent& error) {
  if (error.error_code != BadWindow && error.error_code != BadDrawable) return false;
  return error.resourceid == static_cast<XID>(ParentWindow) || IsFaceWindow(error.resourceid);
}

KeyName KeyNameOf(KeySym symbol) {
  switch (symbol) {
    case XK_Escape: return KeyName::kEscape;
    case XK_Tab:
    case XK_ISO_Left_Tab: return KeyName::kTab;
    case XK_Super_L: return KeyName::kLeftSuper;
    case XK_Super_R: return KeyName::kRightSuper;
    default: return KeyName::kOther;
  }
}

void HandleKey(XKeyEvent& event, bool press) {
  ClockKeyEvent(KeyEvent{KeyNameOf(XLookupKeysym(&event, 0)), press, (event.state & Mod1Mask) != 0,
                         (event.state & ControlMask) != 0});
}

// A window other than ours mapped or moved in the stack on the root.
void NoticeOtherWindow(Window parent, Window window) {
  if (Placement == X11Placement::kFullScreen && parent == DefaultRootWindow(TheDisplay) &&
      !IsFaceWindow(window)) {
    RestackWanted = true;
  }
}

void HandleConfigure(const XConfigureEvent& event) {
  if (event.window != event.event) {
    NoticeOtherWindow(event.event, event.window);
    return;
  }
  if (Placement == X11Placement::kPreview && event.window == static_cast<Window>(ParentWindow)) {
    // Our child follows the parent's size; its own notice lays it out.
    if (!Faces.empty()) {
      XResizeWindow(TheDisplay, Faces.front()->window, static_cast<unsigned>(event.width),
                    static_cast<unsigned>(event.height));
    }
    return;
  }
  const std::size_t index = FaceIndexOf(event.window);
  if (index < Faces.size()) FaceResized(index, event.width, event.height);
}

void HandleEvent(XEvent& event) {
  if (ClockClosed()) return;
  if (Placement == X11Placement::kFullScreen && IsMonitorEvent(TheDisplay, event)) {
    MonitorsMayHaveChanged = true;
    return;
  }
  switch (event.type) {
    case ButtonPress:
      if (!TakesInput || !IsFaceWindow(event.xbutton.window)) break;
      if (event.xbutton.button == Button1) ClockLeftButtonDown();
      // Wheel up is forward: the next theme.
      if (event.xbutton.button == Button4) ClockWheel(1);
      if (event.xbutton.button == Button5) ClockWheel(-1);
      break;
    case ButtonRelease:
      if (TakesInput && IsFaceWindow(event.xbutton.window) && event.xbutton.button == Button3) {
        ClockRightButtonUp();
      }
      break;
    case KeyPress:
    case KeyRelease:
      if (TakesInput) HandleKey(event.xkey, event.type == KeyPress);
      break;
    case FocusOut:
      // Focus moving between our own window and its parts, or the shifts a
      // grab causes, are not a loss.
      if (TakesInput && IsFaceWindow(event.xfocus.window) &&
          (event.xfocus.mode == NotifyNormal || event.xfocus.mode == NotifyWhileGrabbed) &&
          event.xfocus.detail != NotifyInferior && event.xfocus.detail != NotifyPointer) {
        ClockFocusLost();
      }
      break;
    case Expose: {
      // The image still holds the last frame shown: put it again rather
      // than leave the window black until the next tick.
      const std::size_t index = FaceIndexOf(event.xexpose.window);
      if (index < Faces.size() && event.xexpose.count == 0 && Faces[index]->shown &&
          Faces[index]->image != nullptr) {
        Faces[index]->image->ShowAgain();
      }
      break;
    }
    case ConfigureNotify:
      HandleConfigure(event.xconfigure);
      break;
    case MapNotify:
      NoticeOtherWindow(event.xmap.event, event.xmap.window);
      break;
    case CirculateNotify:
      NoticeOtherWindow(event.xcirculate.event, event.xcirculate.window);
      break;
    case DestroyNotify:
      // Any window of ours, or the preview's parent: the window's end ends
      // the saver, whichever monitor it stood on.
      if (IsFaceWindow(event.xdestroywindow.window) ||
          (ParentWindow != 0 && event.xdestroywindow.window == static_cast<Window>(ParentWindow))) {
        ClockDestroyed();
      }
      break;
    default:
      break;
  }
}

void AfterEvents() {
  if (MonitorsMayHaveChanged && !ClockClosed()) {
    MonitorsMayHaveChanged = false;
    FollowMonitors();
  }
  // Left waiting when it comes too soon after the last: the next wake,
  // the next frame at the latest, raises them.
  if (RestackWanted && !ClockClosed() && MonotonicMilliseconds() - LastRestack >= kRestackMilliseconds) {
    RaiseFaces();
  }
  if (BufferMissing) ClockShutdown();
}

void RetakeFocus() {
  FocusRetakeWaiting = false;
  if (ClockClosed() || Faces.empty()) return;
  LastFocusRetake = MonotonicMilliseconds();
  const Window keyboard = Faces.front()->window;
  // The program that held the keyboard at the start may have let it go.
  if (!KeyboardGrabbed &&
      XGrabKeyboard(TheDisplay, keyboard, False, GrabModeAsync, GrabModeAsync, CurrentTime) ==
          GrabSuccess) {
    KeyboardGrabbed = true;
  }
  XSetInputFocus(TheDisplay, keyboard, RevertToParent, CurrentTime);
  XFlush(TheDisplay);
}

// ---- What the shared logic asks of the platform ----------------------------

void CreateBackBuffer(int width, int height) {
  BackBufferDC = nullptr;
  if (Faces.empty()) return;
  MakeFaceBuffer(*Faces.front(), width, height);
  BackBufferDC = Faces.front()->buffer.get();
}

void FreeBackBuffer() {
  BackBufferDC = nullptr;
  for (const auto& face : Faces) {
    face->buffer.reset();
    face->image.reset();
  }
}

void RemoveKeyboardFilter() {
  if (!KeyboardGrabbed) return;
  KeyboardGrabbed = false;
  XUngrabKeyboard(TheDisplay, CurrentTime);
  XFlush(TheDisplay);
}

void TakeFocusBack() {
  if (!TakesInput || Faces.empty() || FocusRetakeWaiting) return;
  // Held, the grab brings every key to the saver whoever has the focus.
  if (KeyboardGrabbed) return;
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(TheDisplay, &focus, &revert);
  // The focus went to another face of ours: nothing was lost.
  if (IsFaceWindow(focus)) return;
  const long long since = MonotonicMilliseconds() - LastFocusRetake;
  if (since >= kFocusRetakeMilliseconds) {
    RetakeFocus();
  } else {
    FocusRetakeWaiting = true;
    CallLater(static_cast<int>(kFocusRetakeMilliseconds - since), RetakeFocus);
  }
}

const ClockPlatform X11Platform = {CreateBackBuffer, FreeBackBuffer,  ArmClockTimer, StopClockTimer,
                                   RemoveKeyboardFilter, TakeFocusBack, PostQuit};

}  // namespace

int RunClockWindow(X11Placement placement) {
  const int signalFd = OpenSignalFd();
  TheDisplay = XOpenDisplay(nullptr);
  if (TheDisplay == nullptr) {
    const char* name = std::getenv("DISPLAY");
    std::fprintf(stderr, "orbidial: cannot open the X display \"%s\"\n", name != nullptr ? name : "");
    if (signalFd >= 0) close(signalFd);
    return kExitNoDisplay;
  }
  InstallXErrorHandlers(TheDisplay);
  SetExpectedXErrors(WindowMayHaveGone);
  Placement = placement;
  KeyboardGrabbed = false;
  ClockPlatformInUse = &X11Platform;

  bool created = false;
  switch (placement) {
    case X11Placement::kFullScreen:
      // One full-screen saver per display; previews and hacks may be many.
      created = ClaimSaverSelection(TheDisplay) && CreateFullScreenWindows();
      break;
    case X11Placement::kPreview: created = CreatePreviewWindow(); break;
    case X11Placement::kHostWindow: created = UseHostWindow(false); break;
    case X11Placement::kHostRoot: created = UseHostWindow(true); break;
  }
  int code = 0;
  if (created && !BufferMissing) code = RunEventLoop(TheDisplay, signalFd, HandleEvent, AfterEvents);
  // Whatever ended the run, the same steps (they act once).
  if (created) ClockShutdown();
  if (BufferMissing) code = kExitNoMemory;

  for (const auto& face : Faces) {
    if (!face->owned) continue;
    if (BlankCursor != 0) XUndefineCursor(TheDisplay, face->window);
    XDestroyWindow(TheDisplay, face->window);
  }
  if (BlankCursor != 0) XFreeCursor(TheDisplay, BlankCursor);
  // The windows are still known while the server answers: a preview child
  // that went with its parent is no error to report.
  XSync(TheDisplay, False);
  Faces.clear();
  ReportXErrors();
  XCloseDisplay(TheDisplay);
  ClockPlatformInUse = nullptr;
  TheDisplay = nullptr;
  if (signalFd >= 0) close(signalFd);
  return created || BufferMissing ? code : 0;
}
