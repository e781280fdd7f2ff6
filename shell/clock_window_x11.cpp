// The clock window on Xlib: window placement, the MIT-SHM back-buffer copy,
// the keyboard grab that stands for the system-key hook, and the event loop
// (one poll() over the X connection and a signalfd, with the frame timer as
// its deadline).
#include "clock_window_x11.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xrandr.h>
#include <X11/keysym.h>
#include <poll.h>
#include <signal.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/signalfd.h>
#include <time.h>
#include <unistd.h>

#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "face/raster_surface.h"
#include "shell/clock_window.h"
#include "shell/exit_status.h"
#include "shell/keyboard_filter.h"

namespace {

Display* TheDisplay = nullptr;
Window TheWindow = 0;  // where the face is shown
bool OwnsWindow = false;
bool TakesInput = false;
Visual* TheVisual = nullptr;
int TheDepth = 0;
Cursor BlankCursor = 0;
bool QuitPosted = false;
int QuitCode = 0;
bool TimerArmed = false;
timespec TimerDeadline{};
long long FramesShown = 0;
unsigned char LastXError = 0;

// A larger back buffer than this is not attempted; the window then stays
// black rather than the process failing to allocate gigabytes.
constexpr long long kMaxBackBufferPixels = 64LL * 1024 * 1024;

int RecordXError(Display*, XErrorEvent* event) {
  LastXError = event->error_code;
  return 0;
}

[[noreturn]] int XServerGone(Display*) {
  static const char kMessage[] = "orbidial: lost the connection to the X display\n";
  ssize_t ignored = write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
  (void)ignored;
  _exit(kExitNoDisplay);
}

// Brackets requests whose failure must be known: errors before are
// forgotten, and CheckedFailed waits for the server's verdict.
void BeginChecked() {
  XSync(TheDisplay, False);
  LastXError = 0;
}
bool CheckedFailed() {
  XSync(TheDisplay, False);
  const bool failed = LastXError != 0;
  LastXError = 0;
  return failed;
}

// The window's image of the back buffer: shared memory with the server where
// it can attach it, a client-side image otherwise (a remote display).
class FrameImage {
 public:
  FrameImage() = default;
  FrameImage(const FrameImage&) = delete;
  FrameImage& operator=(const FrameImage&) = delete;
  ~FrameImage() { Release(); }

  bool Create(int width, int height) {
    gc_ = XCreateGC(TheDisplay, TheWindow, 0, nullptr);
    if (XShmQueryExtension(TheDisplay)) shared_ = CreateShared(width, height);
    if (!shared_) {
      image_ = XCreateImage(TheDisplay, TheVisual, static_cast<unsigned>(TheDepth), ZPixmap, 0,
                            nullptr, static_cast<unsigned>(width), static_cast<unsigned>(height), 32,
                            0);
      if (image_ == nullptr) return false;
      image_->data = static_cast<char*>(
          std::malloc(static_cast<std::size_t>(image_->bytes_per_line) * static_cast<std::size_t>(height)));
      if (image_->data == nullptr) {
        XDestroyImage(image_);
        image_ = nullptr;
        return false;
      }
    }
    SetUpConversion();
    return true;
  }

  bool Shared() const { return shared_; }

  // Copies a rectangle of `surface` into the image and onto the window.
  void Show(const RasterSurface& surface, int x, int y, int width, int height) {
    if (image_ == nullptr) return;
    if (x < 0) width += x, x = 0;
    if (y < 0) height += y, y = 0;
    if (width > image_->width - x) width = image_->width - x;
    if (height > image_->height - y) height = image_->height - y;
    if (width > surface.Width() - x) width = surface.Width() - x;
    if (height > surface.Height() - y) height = surface.Height() - y;
    if (width <= 0 || height <= 0) return;
    const std::uint32_t* pixels = surface.Pixels();
    for (int row = y; row < y + height; ++row) {
      const std::uint32_t* source = pixels + static_cast<std::size_t>(row) * surface.Width() + x;
      if (direct_) {
        auto* target = reinterpret_cast<std::uint32_t*>(
                           image_->data + static_cast<std::size_t>(row) * image_->bytes_per_line) + x;
        if (extraBits_ == 0) {
          std::memcpy(target, source, static_cast<std::size_t>(width) * 4);
        } else {
          for (int i = 0; i < width; ++i) target[i] = source[i] | extraBits_;
        }
      } else {
        for (int i = 0; i < width; ++i) XPutPixel(image_, x + i, row, Convert(source[i]));
      }
    }
    if (shared_) {
      XShmPutImage(TheDisplay, TheWindow, gc_, image_, x, y, x, y, static_cast<unsigned>(width),
                   static_cast<unsigned>(height), False);
      // The server reads the segment after the request; the next frame may
      // only write into it once that is done.
      XSync(TheDisplay, False);
    } else {
      XPutImage(TheDisplay, TheWindow, gc_, image_, x, y, x, y, static_cast<unsigned>(width),
                static_cast<unsigned>(height));
      XFlush(TheDisplay);
    }
  }

  void Release() {
    if (image_ != nullptr) {
      if (shared_) {
        XShmDetach(TheDisplay, &shm_);
        XSync(TheDisplay, False);
        shmdt(shm_.shmaddr);
        image_->data = nullptr;
      }
      XDestroyImage(image_);
      image_ = nullptr;
    }
    if (gc_ != nullptr) {
      XFreeGC(TheDisplay, gc_);
      gc_ = nullptr;
    }
  }

 private:
  bool CreateShared(int width, int height) {
    image_ = XShmCreateImage(TheDisplay, TheVisual, static_cast<unsigned>(TheDepth), ZPixmap, nullptr,
                             &shm_, static_cast<unsigned>(width), static_cast<unsigned>(height));
    if (image_ == nullptr) return false;
    shm_.shmid = shmget(IPC_PRIVATE,
                        static_cast<std::size_t>(image_->bytes_per_line) * static_cast<std::size_t>(height),
                        IPC_CREAT | 0600);
    if (shm_.shmid < 0) {
      XDestroyImage(image_);
      image_ = nullptr;
      return false;
    }
    shm_.shmaddr = static_cast<char*>(shmat(shm_.shmid, nullptr, 0));
    if (shm_.shmaddr == reinterpret_cast<char*>(-1)) {
      shmctl(shm_.shmid, IPC_RMID, nullptr);
      XDestroyImage(image_);
      image_ = nullptr;
      return false;
    }
    image_->data = shm_.shmaddr;
    shm_.readOnly = False;
    BeginChecked();
    XShmAttach(TheDisplay, &shm_);
    const bool attached = !CheckedFailed();
    // Marked for removal now, so the segment goes with the last detach even
    // if the process is killed.
    shmctl(shm_.shmid, IPC_RMID, nullptr);
    if (!attached) {
      shmdt(shm_.shmaddr);
      image_->data = nullptr;
      XDestroyImage(image_);
      image_ = nullptr;
    }
    return attached;
  }

  void SetUpConversion() {
    const unsigned long masks = image_->red_mask | image_->green_mask | image_->blue_mask;
    const unsigned long all = TheDepth >= 32 ? 0xFFFFFFFFul : ((1ul << TheDepth) - 1);
    // Bits of the pixel that no colour uses (the alpha of a 32-bit visual):
    // set, so a compositor shows the face opaque.
    extraBits_ = static_cast<std::uint32_t>(all & ~masks);
    const bool native = (image_->byte_order == LSBFirst) == (std::endian::native == std::endian::little);
    direct_ = image_->bits_per_pixel == 32 && native && image_->red_mask == 0xFF0000 &&
              image_->green_mask == 0xFF00 && image_->blue_mask == 0xFF;
  }

  static unsigned long Scale(std::uint32_t value8, unsigned long mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const unsigned long top = mask >> shift;
    return ((value8 * top + 127) / 255) << shift;
  }

  unsigned long Convert(std::uint32_t rgb) const {
    return Scale((rgb >> 16) & 0xFF, image_->red_mask) | Scale((rgb >> 8) & 0xFF, image_->green_mask) |
           Scale(rgb & 0xFF, image_->blue_mask) | extraBits_;
  }

  XImage* image_ = nullptr;
  XShmSegmentInfo shm_{};
  bool shared_ = false;
  GC gc_ = nullptr;
  bool direct_ = false;
  std::uint32_t extraBits_ = 0;
};

std::unique_ptr<RasterSurface> BackBuffer;
std::unique_ptr<FrameImage> Image;

void ShowBackBuffer(int x, int y, int width, int height) {
  if (BackBuffer == nullptr || Image == nullptr) return;
  Image->Show(*BackBuffer, x, y, width, height);
  ++FramesShown;
}

struct Area {
  int x = 0, y = 0, width = 0, height = 0;
};

// The primary monitor where XRandR names one (else the first it lists),
// otherwise the whole screen.
Area PrimaryMonitor(Window root) {
  const int screen = DefaultScreen(TheDisplay);
  Area area{0, 0, DisplayWidth(TheDisplay, screen), DisplayHeight(TheDisplay, screen)};
  int eventBase = 0, errorBase = 0, major = 0, minor = 0;
  if (!XRRQueryExtension(TheDisplay, &eventBase, &errorBase) ||
      !XRRQueryVersion(TheDisplay, &major, &minor) || (major == 1 && minor < 5)) {
    return area;
  }
  int count = 0;
  XRRMonitorInfo* monitors = XRRGetMonitors(TheDisplay, root, True, &count);
  if (monitors == nullptr) return area;
  if (count > 0) {
    int chosen = 0;
    for (int i = 0; i < count; ++i) {
      if (monitors[i].primary) {
        chosen = i;
        break;
      }
    }
    if (monitors[chosen].width > 0 && monitors[chosen].height > 0) {
      area = Area{monitors[chosen].x, monitors[chosen].y, monitors[chosen].width, monitors[chosen].height};
    }
  }
  XRRFreeMonitors(monitors);
  return area;
}

Cursor MakeBlankCursor(Window root) {
  static const char kEmpty[1] = {0};
  Pixmap bitmap = XCreateBitmapFromData(TheDisplay, root, kEmpty, 1, 1);
  XColor black{};
  Cursor cursor = XCreatePixmapCursor(TheDisplay, bitmap, bitmap, &black, &black, 0, 0);
  XFreePixmap(TheDisplay, bitmap);
  return cursor;
}

constexpr long kInputEvents = ButtonPressMask | ButtonReleaseMask | KeyPressMask | KeyReleaseMask |
                              FocusChangeMask;

void NameWindow(Window window) {
  XStoreName(TheDisplay, window, "Orbidial");
  XClassHint hint{};
  char name[] = "orbidial";
  char className[] = "Orbidial";
  hint.res_name = name;
  hint.res_class = className;
  XSetClassHint(TheDisplay, window, &hint);
}

// Another client (a menu, a panel mid-grab) may hold the keyboard for a
// moment; wait a little for it rather than run without the filter.
bool GrabKeyboard() {
  for (int attempt = 0; attempt < 50; ++attempt) {
    const int result =
        XGrabKeyboard(TheDisplay, TheWindow, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    if (result == GrabSuccess) return true;
    if (result != AlreadyGrabbed && result != GrabFrozen) return false;
    const timespec pause{0, 20 * 1000 * 1000};
    nanosleep(&pause, nullptr);
  }
  return false;
}

bool CreateFullScreenWindow() {
  const int screen = DefaultScreen(TheDisplay);
  const Window root = RootWindow(TheDisplay, screen);
  const Area area = PrimaryMonitor(root);
  TheVisual = DefaultVisual(TheDisplay, screen);
  TheDepth = DefaultDepth(TheDisplay, screen);
  BlankCursor = MakeBlankCursor(root);
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.background_pixel = BlackPixel(TheDisplay, screen);
  attributes.event_mask = kInputEvents | StructureNotifyMask | ExposureMask;
  attributes.cursor = BlankCursor;
  TheWindow = XCreateWindow(TheDisplay, root, area.x, area.y, static_cast<unsigned>(area.width),
                            static_cast<unsigned>(area.height), 0, CopyFromParent, InputOutput,
                            CopyFromParent, CWOverrideRedirect | CWBackPixel | CWEventMask | CWCursor,
                            &attributes);
  if (TheWindow == 0) return false;
  OwnsWindow = true;
  TakesInput = true;
  NameWindow(TheWindow);
  ClockCreate(Rect{0, 0, area.width, area.height}, area.width, area.height);
  XMapRaised(TheDisplay, TheWindow);
  XSync(TheDisplay, False);
  if (GrabKeyboard()) KeyboardHook = 1;
  XSetInputFocus(TheDisplay, TheWindow, RevertToParent, CurrentTime);
  return true;
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
  // Learn of the parent's end even before our child exists.
  XSelectInput(TheDisplay, parent, StructureNotifyMask);
  XSetWindowAttributes attributes{};
  attributes.background_pixel = BlackPixel(TheDisplay, XScreenNumberOfScreen(host.screen));
  attributes.event_mask = kInputEvents | StructureNotifyMask | ExposureMask;
  TheWindow = XCreateWindow(TheDisplay, parent, 0, 0, static_cast<unsigned>(host.width),
                            static_cast<unsigned>(host.height), 0, CopyFromParent, InputOutput,
                            CopyFromParent, CWBackPixel | CWEventMask, &attributes);
  if (CheckedFailed() || TheWindow == 0) {
    TheWindow = 0;
    return false;
  }
  OwnsWindow = true;
  TakesInput = true;
  TheVisual = host.visual;
  TheDepth = host.depth;
  NameWindow(TheWindow);
  ClockCreate(Rect{0, 0, host.width, host.height}, WidthOfScreen(host.screen),
              HeightOfScreen(host.screen));
  XMapWindow(TheDisplay, TheWindow);
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
  TheWindow = host;
  ParentWindow = host;
  TheVisual = attributes.visual;
  TheDepth = attributes.depth;
  ClockCreate(Rect{0, 0, attributes.width, attributes.height}, WidthOfScreen(attributes.screen),
              HeightOfScreen(attributes.screen));
  return true;
}

unsigned VirtualKeyOf(KeySym symbol) {
  switch (symbol) {
    case XK_Escape: return kEscapeKey;
    case XK_Tab:
    case XK_ISO_Left_Tab: return kTabKey;
    case XK_Super_L: return kLeftWindowsKey;
    case XK_Super_R: return kRightWindowsKey;
    default: return 0;
  }
}

void HandleKey(XKeyEvent& event, bool press) {
  const bool alt = (event.state & Mod1Mask) != 0;
  const bool control = (event.state & ControlMask) != 0;
  const unsigned message = press ? (alt ? kSysKeyDownMessage : kKeyDownMessage)
                                 : (alt ? kSysKeyUpMessage : kKeyUpMessage);
  ClockKeyEvent(message, VirtualKeyOf(XLookupKeysym(&event, 0)), alt, control);
}

void HandleEvent(XEvent& event) {
  if (ClockClosed()) return;
  switch (event.type) {
    case ButtonPress:
      if (!TakesInput || event.xbutton.window != TheWindow) break;
      if (event.xbutton.button == Button1) ClockLeftButtonDown();
      // Wheel up is forward: the next theme.
      if (event.xbutton.button == Button4) ClockWheel(kWheelForward);
      if (event.xbutton.button == Button5) ClockWheel(kWheelBackward);
      break;
    case ButtonRelease:
      if (TakesInput && event.xbutton.window == TheWindow && event.xbutton.button == Button3) {
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
      if (TakesInput && event.xfocus.window == TheWindow &&
          (event.xfocus.mode == NotifyNormal || event.xfocus.mode == NotifyWhileGrabbed) &&
          event.xfocus.detail != NotifyInferior && event.xfocus.detail != NotifyPointer) {
        ClockFocusLost();
      }
      break;
    case Expose:
      // The back buffer still holds the last frame: show it again rather
      // than leave the window black until the next tick.
      if (event.xexpose.window == TheWindow && event.xexpose.count == 0 && FramesShown > 0 &&
          BackBuffer != nullptr) {
        ShowBackBuffer(0, 0, BackBuffer->Width(), BackBuffer->Height());
      }
      break;
    case DestroyNotify:
      if (event.xdestroywindow.window == TheWindow ||
          (ParentWindow != 0 && event.xdestroywindow.window == static_cast<Window>(ParentWindow))) {
        ClockDestroyed();
      }
      break;
    default:
      break;
  }
}

long long MillisecondsUntil(const timespec& deadline) {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const long long nanoseconds = (static_cast<long long>(deadline.tv_sec) - now.tv_sec) * 1000000000LL +
                                (static_cast<long long>(deadline.tv_nsec) - now.tv_nsec);
  // Rounded up, so the wait never ends just before the deadline and spins.
  return nanoseconds <= 0 ? 0 : (nanoseconds + 999999) / 1000000;
}

// SIGTERM (how xscreensaver ends a hack), SIGINT and SIGHUP arrive as
// readable data in the loop instead of interrupting it.
int OpenSignalFd() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGHUP);
  if (sigprocmask(SIG_BLOCK, &signals, nullptr) != 0) return -1;
  const int fd = signalfd(-1, &signals, SFD_CLOEXEC | SFD_NONBLOCK);
  if (fd < 0) sigprocmask(SIG_UNBLOCK, &signals, nullptr);
  return fd;
}

void RunLoop(int signalFd) {
  const int connection = ConnectionNumber(TheDisplay);
  while (!QuitPosted) {
    while (!QuitPosted && XPending(TheDisplay) > 0) {
      XEvent event;
      XNextEvent(TheDisplay, &event);
      HandleEvent(event);
    }
    if (QuitPosted) break;
    int timeout = -1;
    if (TimerArmed) {
      const long long wait = MillisecondsUntil(TimerDeadline);
      if (wait == 0) {
        TimerArmed = false;
        ClockTimerTick();
        continue;
      }
      timeout = static_cast<int>(wait);
    }
    pollfd fds[2] = {{connection, POLLIN, 0}, {signalFd, POLLIN, 0}};
    if (poll(fds, signalFd >= 0 ? 2 : 1, timeout) < 0 && errno != EINTR) break;
    if (signalFd >= 0 && (fds[1].revents & POLLIN) != 0) {
      signalfd_siginfo info{};
      while (read(signalFd, &info, sizeof info) > 0) {
      }
      ClockShutdown();
    }
  }
}

}  // namespace

void CreateBackBuffer(int width, int height) {
  if (width <= 0 || height <= 0 ||
      static_cast<long long>(width) * height > kMaxBackBufferPixels) {
    return;
  }
  auto image = std::make_unique<FrameImage>();
  if (!image->Create(width, height)) return;
  Image = std::move(image);
  BackBuffer = std::make_unique<RasterSurface>(width, height);
  BackBuffer->SetPresenter(ShowBackBuffer);
  BackBufferDC = BackBuffer.get();
}

void FreeBackBuffer() {
  BackBufferDC = nullptr;
  BackBuffer.reset();
  Image.reset();
}

void ArmClockTimer(int milliseconds) {
  clock_gettime(CLOCK_MONOTONIC, &TimerDeadline);
  TimerDeadline.tv_sec += milliseconds / 1000;
  TimerDeadline.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
  if (TimerDeadline.tv_nsec >= 1000000000L) {
    TimerDeadline.tv_sec += 1;
    TimerDeadline.tv_nsec -= 1000000000L;
  }
  TimerArmed = true;
}

void StopClockTimer() { TimerArmed = false; }

void RemoveKeyboardFilter() {
  XUngrabKeyboard(TheDisplay, CurrentTime);
  XFlush(TheDisplay);
}

void TakeFocusBack() {
  if (!TakesInput) return;
  XSetInputFocus(TheDisplay, TheWindow, RevertToParent, CurrentTime);
  XFlush(TheDisplay);
}

void PostQuit(int code) {
  QuitPosted = true;
  QuitCode = code;
}

int RunClockWindow(X11Placement placement) {
  const int signalFd = OpenSignalFd();
  TheDisplay = XOpenDisplay(nullptr);
  if (TheDisplay == nullptr) {
    const char* name = std::getenv("DISPLAY");
    std::fprintf(stderr, "orbidial: cannot open the X display \"%s\"\n", name != nullptr ? name : "");
    if (signalFd >= 0) close(signalFd);
    return kExitNoDisplay;
  }
  XSetErrorHandler(RecordXError);
  XSetIOErrorHandler(XServerGone);

  bool created = false;
  switch (placement) {
    case X11Placement::kFullScreen:
      created = CreateFullScreenWindow();
      break;
    case X11Placement::kPreview: created = CreatePreviewWindow(); break;
    case X11Placement::kHostWindow: created = UseHostWindow(false); break;
    case X11Placement::kHostRoot: created = UseHostWindow(true); break;
  }
  if (created) RunLoop(signalFd);
  // Whatever ended the run, the same steps (they act once).
  if (created) ClockShutdown();

  if (BlankCursor != 0) {
    if (OwnsWindow) XUndefineCursor(TheDisplay, TheWindow);
    XFreeCursor(TheDisplay, BlankCursor);
  }
  if (OwnsWindow) XDestroyWindow(TheDisplay, TheWindow);
  XSync(TheDisplay, False);
  XCloseDisplay(TheDisplay);
  TheDisplay = nullptr;
  if (signalFd >= 0) close(signalFd);
  return created ? QuitCode : 0;
}
