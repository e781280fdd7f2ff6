// orbidial: the clock screen saver on Linux. Full screen by default, as a
// Wayland client where the session has a compositor (GDK_BACKEND=x11 keeps
// it on X11), else on X11; /p N previews inside X window N; /c opens the
// options dialog; xscreensaver's --root, --window-id and XSCREENSAVER_WINDOW
// draw into the host's window.
#include <glib-unix.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "clock_window_wayland.h"
#include "clock_window_x11.h"
#include "ending_signals_posix.h"
#include "face/font_lookup.h"
#include "settings/about_dialog_gtk.h"
#include "settings/settings_file.h"
#include "shell/clock_window.h"
#include "shell/command_line.h"
#include "shell/display_choice.h"
#include "shell/exit_status.h"
#include "shell/monitor_faces.h"

namespace {

// For the end-to-end tests only: ORBIDIAL_TEST_TIME="YYYY-MM-DD HH:MM:SS"
// stops the clock at that local instant so screenshots can be compared.
void ApplyTestOverrides() {
  if (const char* at = std::getenv("ORBIDIAL_TEST_TIME"); at != nullptr && at[0] != '\0') {
    FreezeClockAt(at);
  }
}

X11Placement PlacementFor(StartMode mode) {
  switch (mode) {
    case StartMode::kPreview: return X11Placement::kPreview;
    case StartMode::kHostWindow: return X11Placement::kHostWindow;
    case StartMode::kHostRoot: return X11Placement::kHostRoot;
    default: return X11Placement::kFullScreen;
  }
}

// The options dialog keeps nothing unsaved that a signal could lose: it ends
// as Cancel would, with 0 (from the main loop, never in the middle of a save).
void EndDialogOnSignal() {
  const int fd = OpenEndingSignalFd();
  if (fd < 0) return;
  g_unix_fd_add(
      fd, G_IO_IN,
      [](gint, GIOCondition, gpointer) -> gboolean {
        std::fflush(nullptr);
        std::_Exit(kExitOk);
      },
      nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  // From here on an ending signal waits for the event loop (or the dialog's)
  // and ends the run with 0, whatever the saver is doing when it comes.
  BlockEndingSignals();
  // Settings come first, so the options dialog shows the stored values.
  const SaverOptions options = ReadSettings();
  ClockLook.ColorByWeekday = options.ColorByWeekday;
  ClockLook.NumeralStyle = options.NumeralStyle;
  ApplyTestOverrides();

  const std::vector<std::string> args(argv + 1, argv + argc);
  StartRequest request;
  if (!ParseHostArguments(args, std::getenv("XSCREENSAVER_WINDOW"), &request)) {
    request = ParseCommandLine(JoinArguments(args));
  }
  ParentWindow = request.window;
  if (request.mode == StartMode::kOptions) {
    // Whatever way the dialog ends, the options run ends with 0; only a
    // dialog that could not be shown at all is a failure.
    ReportLostCompositor();
    EndDialogOnSignal();
    const int ended = RunOptionsDialog(options, static_cast<unsigned long>(ParentWindow));
    if (ended == kDialogNoFont) return kExitNoFont;
    return ended == 0 ? kExitNoDisplay : kExitOk;
  }
  switch (request.mode) {
    case StartMode::kFullScreen: ClockPlacement = WindowPlacement::kFullScreen; break;
    case StartMode::kPreview: ClockPlacement = WindowPlacement::kPreview; break;
    default: ClockPlacement = WindowPlacement::kHack; break;
  }

  std::string error;
  if (!LoadClockFaces(&error)) {
    std::fprintf(stderr, "orbidial: %s\n", error.c_str());
    return ClockFacesLackedMemory() ? kExitNoMemory : kExitNoFont;
  }
  // Previews and hacks live in X windows of their hosts, whatever the session.
  if (request.mode == StartMode::kFullScreen &&
      ChoosesWayland(std::getenv("WAYLAND_DISPLAY"), std::getenv("GDK_BACKEND"))) {
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    // GTK will not try Wayland without the runtime folder, and the user is
    // told that rather than that the compositor is away.
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const bool runtimeSet = runtime != nullptr && runtime[0] != '\0';
    int status = 0;
    switch (runtimeSet ? RunWaylandClock(&status) : WaylandRun::kNoCompositor) {
      case WaylandRun::kRan: return status;
      case WaylandRun::kAnotherSaver: return kExitOk;
      case WaylandRun::kNoCompositor: break;
    }
    const std::string failure = "cannot connect to the Wayland compositor \"" + std::string(wayland) + "\"" +
                                (runtimeSet ? "" : ": XDG_RUNTIME_DIR is not set");
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || display[0] == '\0') {
      std::fprintf(stderr, "orbidial: %s\n", failure.c_str());
      return kExitNoDisplay;
    }
    // A saver that shows beats one that does not: XWayland, or the X server
    // of a session whose WAYLAND_DISPLAY is stale.
    std::fprintf(stderr, "orbidial: %s; using the X display \"%s\"\n", failure.c_str(), display);
  }
  return RunClockWindow(PlacementFor(request.mode));
}
