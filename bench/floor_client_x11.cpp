// The least a clock that changes once a second can cost an X server and
// itself: woken on each whole second by an absolute CLOCK_REALTIME timer, it
// writes about as many pixels as the face changes in a second (80,000, as 50
// squares of 40 x 40 in a colour of the second) into a shared-memory image,
// puts the 50 squares and syncs once. Runs until killed.
//   orbidial_floor_x11   (on $DISPLAY, a full-screen window)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

constexpr int kSquares = 50;
constexpr int kSide = 40;

}  // namespace

int main() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr || !XShmQueryExtension(display)) {
    std::fprintf(stderr, "orbidial_floor_x11: no display with MIT-SHM\n");
    return 2;
  }
  const int screen = DefaultScreen(display);
  const int width = DisplayWidth(display, screen), height = DisplayHeight(display, screen);
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  attributes.background_pixel = BlackPixel(display, screen);
  const Window window =
      XCreateWindow(display, RootWindow(display, screen), 0, 0, static_cast<unsigned>(width),
                    static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                    CWOverrideRedirect | CWBackPixel, &attributes);
  XMapWindow(display, window);
  const GC gc = XCreateGC(display, window, 0, nullptr);

  XShmSegmentInfo shm{};
  XImage* image = XShmCreateImage(display, DefaultVisual(display, screen),
                                  static_cast<unsigned>(DefaultDepth(display, screen)), ZPixmap, nullptr,
                                  &shm, static_cast<unsigned>(width), static_cast<unsigned>(height));
  if (image == nullptr || image->bits_per_pixel != 32) {
    std::fprintf(stderr, "orbidial_floor_x11: no 32-bit shared image\n");
    return 2;
  }
  shm.shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(image->bytes_per_line) * height, IPC_CREAT | 0600);
  shm.shmaddr = image->data = static_cast<char*>(shmat(shm.shmid, nullptr, 0));
  shm.readOnly = False;
  XShmAttach(display, &shm);
  XSync(display, False);
  shmctl(shm.shmid, IPC_RMID, nullptr);
  // Every page touched and shown once: a long-running clock pays no faults.
  std::memset(image->data, 0, static_cast<std::size_t>(image->bytes_per_line) * height);
  XShmPutImage(display, window, gc, image, 0, 0, 0, 0, static_cast<unsigned>(width),
               static_cast<unsigned>(height), False);
  XSync(display, False);

  // Each whole second of the wall clock, as the saver wakes.
  const int timer = timerfd_create(CLOCK_REALTIME, TFD_CLOEXEC);
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  itimerspec tick{};
  tick.it_value.tv_sec = now.tv_sec + 1;
  tick.it_interval.tv_sec = 1;
  timerfd_settime(timer, TFD_TIMER_ABSTIME, &tick, nullptr);

  const int across = width / kSide, down = height / kSide;
  for (std::uint32_t second = 0;; ++second) {
    std::uint64_t expirations = 0;
    if (read(timer, &expirations, sizeof expirations) != sizeof expirations) break;
    const std::uint32_t colour = 0x00FFFFFFu & (second * 0x00254F1Du + 0x00406080u);
    for (int i = 0; i < kSquares; ++i) {
      // Squares spread over the screen, in other places each second.
      const int cell = static_cast<int>((second * 7919u + static_cast<unsigned>(i) * 104729u) %
                                        static_cast<unsigned>(across * down));
      const int x = cell % across * kSide, y = cell / across * kSide;
      for (int row = 0; row < kSide; ++row) {
        auto* pixels = reinterpret_cast<std::uint32_t*>(image->data +
                                                        static_cast<long>(y + row) * image->bytes_per_line) + x;
        for (int column = 0; column < kSide; ++column) pixels[column] = colour;
      }
      XShmPutImage(display, window, gc, image, x, y, x, y, kSide, kSide, False);
    }
    XSync(display, False);
  }
  return 0;
}
