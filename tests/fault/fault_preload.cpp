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
//   ORBIDIAL_FAULT_COUNT=FILE        each frame put into that drawable appends
//                                    "put" to FILE, each call of time() "time"
//   ORBIDIAL_FAULT_HOLD_OPEN=SUFFIX  the first open() of a path ending in
//   ORBIDIAL_FAULT_HOLD_DIR=DIR      SUFFIX makes the file DIR/held and waits
//                                    (30 s at most) for DIR/go before it opens
//   ORBIDIAL_FAULT_MEET_DIR=DIR      XGetSelectionOwner, its answer had, puts
//                                    a file in DIR and waits (3 s at most)
//                                    until DIR holds two: two processes that
//                                    ask at once both have their answers
//                                    before either acts on its own
#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <time.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdlib>
#include <cstring>
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

void Count(const char* what) {
  const char* file = std::getenv("ORBIDIAL_FAULT_COUNT");
  if (file == nullptr || file[0] == '\0') return;
  const int fd = open(file, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return;
  const std::string line = std::string(what) + "\n";
  const ssize_t ignored = write(fd, line.data(), line.size());
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

using OpenCall = int (*)(const char*, int, ...);

void Touch(const std::string& path) {
  const int fd = Next<OpenCall>("open")(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  if (fd >= 0) close(fd);
}

void MaybeHold(const char* path) {
  static bool held = false;
  const char* suffix = std::getenv("ORBIDIAL_FAULT_HOLD_OPEN");
  const char* dir = std::getenv("ORBIDIAL_FAULT_HOLD_DIR");
  if (held || suffix == nullptr || dir == nullptr || path == nullptr) return;
  const std::size_t length = std::strlen(path), tail = std::strlen(suffix);
  if (length < tail || std::strcmp(path + length - tail, suffix) != 0) return;
  held = true;
  Touch(std::string(dir) + "/held");
  const std::string go = std::string(dir) + "/go";
  for (int i = 0; i < 3000 && access(go.c_str(), F_OK) != 0; ++i) usleep(10000);
}

int OpenWith(const char* name, const char* path, int flags, va_list rest) {
  mode_t mode = 0;
  if ((flags & (O_CREAT | O_TMPFILE)) != 0) mode = static_cast<mode_t>(va_arg(rest, int));
  MaybeHold(path);
  return Next<OpenCall>(name)(path, flags, mode);
}

int EntriesIn(const char* dir) {
  DIR* folder = opendir(dir);
  if (folder == nullptr) return 0;
  int count = 0;
  while (const dirent* entry = readdir(folder)) count += entry->d_name[0] != '.';
  closedir(folder);
  return count;
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
  va_list rest;
  va_start(rest, flags);
  const int fd = OpenWith("open", path, flags, rest);
  va_end(rest);
  return fd;
}

int open64(const char* path, int flags, ...) {
  va_list rest;
  va_start(rest, flags);
  const int fd = OpenWith("open64", path, flags, rest);
  va_end(rest);
  return fd;
}

Window XGetSelectionOwner(Display* display, Atom selection) {
  const Window owner = Next<Window (*)(Display*, Atom)>("XGetSelectionOwner")(display, selection);
  const char* dir = std::getenv("ORBIDIAL_FAULT_MEET_DIR");
  if (dir != nullptr && dir[0] != '\0') {
    Touch(std::string(dir) + "/" + std::to_string(getpid()));
    for (int i = 0; i < 300 && EntriesIn(dir) < 2; ++i) usleep(10000);
  }
  return owner;
}

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
  if (replaced == 0 || image->depth <= 1) return asked;
  Count("put");
  return static_cast<::Drawable>(replaced);
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
  Count("time");
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
