#include "x_errors_x11.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "shell/exit_status.h"

namespace {

Display* TheDisplay = nullptr;
bool Checking = false;
bool CheckedError = false;
std::function<bool(const XErrorEvent&)> Expected;

struct ErrorKind {
  int major = 0;
  int minor = 0;
  int code = 0;
  XID resource = 0;  // of the first error of its kind
  bool operator<(const ErrorKind& other) const {
    return std::tie(major, minor, code) < std::tie(other.major, other.minor, other.code);
  }
};
std::set<ErrorKind> Reported;
std::vector<ErrorKind> Pending;

int OnXError(Display*, XErrorEvent* event) {
  if (Checking) {
    CheckedError = true;
    return 0;
  }
  if (Expected && Expected(*event)) return 0;
  const ErrorKind kind{event->request_code, event->minor_code, event->error_code, event->resourceid};
  if (Reported.insert(kind).second) Pending.push_back(kind);
  return 0;
}

[[noreturn]] int XServerGone(Display*) {
  static const char kMessage[] = "orbidial: lost the connection to the X display\n";
  ssize_t ignored = write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
  (void)ignored;
  _exit(kExitNoDisplay);
}

// "X_GetWindowAttributes", or for an extension's request its name and minor
// number ("MIT-SHM 3"), as Xlib's own error database spells them.
std::string RequestName(const ErrorKind& kind) {
  char text[128] = {};
  if (kind.major < 128) {
    const std::string key = std::to_string(kind.major);
    XGetErrorDatabaseText(TheDisplay, "XRequest", key.c_str(), "", text, sizeof text);
    return text[0] != '\0' ? text : "request " + key;
  }
  int count = 0;
  char** names = XListExtensions(TheDisplay, &count);
  std::string extension;
  for (int i = 0; names != nullptr && i < count && extension.empty(); ++i) {
    int opcode = 0, event = 0, error = 0;
    if (XQueryExtension(TheDisplay, names[i], &opcode, &event, &error) && opcode == kind.major) {
      extension = names[i];
    }
  }
  if (names != nullptr) XFreeExtensionList(names);
  if (extension.empty()) return "request " + std::to_string(kind.major) + "." + std::to_string(kind.minor);
  const std::string key = extension + "." + std::to_string(kind.minor);
  XGetErrorDatabaseText(TheDisplay, "XRequest", key.c_str(), "", text, sizeof text);
  return text[0] != '\0' ? std::string(text) : extension + " " + std::to_string(kind.minor);
}

}  // namespace

void InstallXErrorHandlers(Display* display) {
  TheDisplay = display;
  XSetErrorHandler(OnXError);
  XSetIOErrorHandler(XServerGone);
}

void BeginChecked() {
  XSync(TheDisplay, False);
  Checking = true;
  CheckedError = false;
}

bool CheckedFailed() {
  XSync(TheDisplay, False);
  Checking = false;
  const bool failed = CheckedError;
  CheckedError = false;
  return failed;
}

void SetExpectedXErrors(std::function<bool(const XErrorEvent&)> expected) {
  Expected = std::move(expected);
}

void ReportXErrors() {
  // Taken out first: the look-ups below talk to the server, which may bring
  // more errors.
  std::vector<ErrorKind> pending;
  pending.swap(Pending);
  for (const ErrorKind& kind : pending) {
    char error[128] = {};
    XGetErrorText(TheDisplay, kind.code, error, sizeof error);
    std::fprintf(stderr, "orbidial: X error %s in %s (resource 0x%lx)\n", error,
                 RequestName(kind).c_str(), static_cast<unsigned long>(kind.resource));
  }
}
