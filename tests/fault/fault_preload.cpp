// Loaded with LD_PRELOAD by the fault tests to put a real program into a
// fault it cannot cause by itself, without any hook in the program:
//   ORBIDIAL_FAULT_KILL_AT_RENAME=N  the N-th rename (1 for the first) kills
//                                    the process with SIGKILL before it happens
//   ORBIDIAL_FAULT_TIME=SECONDS      time() returns SECONDS since the epoch
//   ORBIDIAL_FAULT_TRACE=FILE        each fsync and rename appends a line to
//                                    FILE: "fsync PATH" or "rename FROM TO"
//   ORBIDIAL_FAULT_X_DRAWABLE=ID     XShmPutImage and XPutImage of colour
//                                    images draw into the X drawable ID instead
//                                    (one that does not exist: an X error for
//                                    every frame)
#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

long long EnvNumber(const char* name, long long fallback) {
  const char* text = std::getenv(name);
  if (text == nullptr || text[0] == '\0') return fallback;
  return std::strtoll(text, nullptr, 10);
}

int Renames = 0;

void MaybeKill() {
  const long long at = EnvNumber("ORBIDIAL_FAULT_KILL_AT_RENAME", 0);
  if (at > 0 && ++Renames == at) kill(getpid(), SIGKILL);
}

template <typename F>
F Next(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

void Trace(const std::string& line) {
  const char* file = std::getenv("ORBIDIAL_FAULT_TRACE");
  if (file == nullptr || file[0] == '\0') return;
  const int fd = open(file, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;
  const std::string text = line + "\n";
  const ssize_t ignored = write(fd, text.data(), text.size());
  (void)ignored;
  close(fd);
}

// What an open file descriptor names, as the kernel tells it.
std::string PathOf(int fd) {
  char link[64];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  char path[4096];
  const ssize_t n = readlink(link, path, sizeof path);
  return n > 0 ? std::string(path, static_cast<std::size_t>(n)) : "?";
}

}  // namespace

extern "C" {

int rename(const char* from, const char* to) {
  MaybeKill();
  Trace(std::string("rename ") + from + " " + to);
  return Next<int (*)(const char*, const char*)>("rename")(from, to);
}

int renameat(int fromDir, const char* from, int toDir, const char* to) {
  MaybeKill();
  return Next<int (*)(int, const char*, int, const char*)>("renameat")(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
  MaybeKill();
  return Next<int (*)(int, const char*, int, const char*, unsigned)>("renameat2")(fromDir, from, toDir,
                                                                                  to, flags);
}

int fsync(int fd) {
  Trace("fsync " + PathOf(fd));
  return Next<int (*)(int)>("fsync")(fd);
}

// The frames only: bitmaps (Xlib fills a cursor's that way) go where asked.
::Drawable Target(::Drawable asked, const XImage* image) {
  const long long replaced = EnvNumber("ORBIDIAL_FAULT_X_DRAWABLE", 0);
  return replaced != 0 && image->depth > 1 ? static_cast<::Drawable>(replaced) : asked;
}

Bool XShmPutImage(Display* display, ::Drawable drawable, GC gc, XImage* image, int sourceX, int sourceY,
                  int x, int y, unsigned width, unsigned height, Bool sendEvent) {
  using Call = Bool (*)(Display*, ::Drawable, GC, XImage*, int, int, int, int, unsigned, unsigned, Bool);
  return Next<Call>("XShmPutImage")(display, Target(drawable, image), gc, image, sourceX, sourceY, x, y,
                                    width, height, sendEvent);
}

int XPutImage(Display* display, ::Drawable drawable, GC gc, XImage* image, int sourceX, int sourceY, int x,
              int y, unsigned width, unsigned height) {
  using Call = int (*)(Display*, ::Drawable, GC, XImage*, int, int, int, int, unsigned, unsigned);
  return Next<Call>("XPutImage")(display, Target(drawable, image), gc, image, sourceX, sourceY, x, y,
                                 width, height);
}

time_t time(time_t* out) {
  const char* fixed = std::getenv("ORBIDIAL_FAULT_TIME");
  time_t now = 0;
  if (fixed != nullptr && fixed[0] != '\0') {
    now = static_cast<time_t>(std::strtoll(fixed, nullptr, 10));
  } else {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    now = ts.tv_sec;
  }
  if (out != nullptr) *out = now;
  return now;
}

}  // extern "C"
