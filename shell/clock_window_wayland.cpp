// The clock window on Wayland through GTK 3: one window per output (a
// gtk-layer-shell overlay surface, or a fullscreen toplevel), its face on a
// sub-surface of its own, the keys and the pointer turned into the clock
// window's calls, and the frame timer on GLib's main loop.
#include "clock_window_wayland.h"

#include <gdk/gdkwayland.h>
#include <glib-unix.h>
#include <gtk-layer-shell/gtk-layer-shell.h>
#include <gtk/gtk.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "ending_signals_posix.h"
#include "face_surface_wayland.h"
#include "keyboard-shortcuts-inhibit-unstable-v1-client-protocol.h"
#include "saver_lock_posix.h"
#include "shell/clock_window.h"
#include "shell/keyboard_filter.h"
#include "shell/monitor_faces.h"
#include "wayland_globals.h"

namespace {

struct OutputFace {
  GdkMonitor* monitor = nullptr;  // a reference of ours
  GtkWidget* window = nullptr;
  FaceSurface face;
  OutputName output;  // the compositor's name for the monitor, to find its mode
};

// In the order the outputs came; those with a face ready are `MonitorFaces`.
std::vector<std::unique_ptr<OutputFace>> Outputs;
// Outputs whose windows are going: their faces go after the windows' own
// surfaces. A compositor may trip over a sub-surface that goes while its
// layer surface still stands (phoc 0.24 crashes on it).
std::vector<std::unique_ptr<OutputFace>> Leaving;
guint LeavingDrop = 0;
GMainLoop* Loop = nullptr;
int QuitCode = 0;
guint FrameTimer = 0;
bool Started = false;      // the clock has started on its first face
bool LayerShell = false;   // else fullscreen toplevels
bool TearingDown = false;  // our own windows going at the end

bool HasFace(const OutputFace& output) { return output.face.raster != nullptr; }

// `MonitorFaces` as the outputs stand, each face aimed at a free buffer for
// what is drawn next; a face whose buffers the compositor still holds sits
// this one out.
void PublishFaces() {
  MonitorFaces.clear();
  for (const auto& output : Outputs) {
    if (!HasFace(*output)) continue;
    const RasterSurface& raster = *output->face.raster;
    MonitorFaces.push_back(
        MonitorFace{Rect{0, 0, raster.Width(), raster.Height()}, NextFaceTarget(output->face)});
  }
}

std::size_t FaceIndexOf(const OutputFace& wanted) {
  std::size_t index = 0;
  for (const auto& output : Outputs) {
    if (output.get() == &wanted) break;
    if (HasFace(*output)) ++index;
  }
  return index;
}

// ---- The keyboard ----------------------------------------------------------

// Every key comes to us: the window with the keyboard asks the compositor
// to keep its own shortcuts to itself, as the system-key hook does on
// Windows. One request at a time, moved with the keyboard (the old one
// withdrawn first): a compositor that puts the question to its user (GNOME)
// asks once, not once per output, and grants it only to the window with the
// keyboard. Where it cannot be asked (no such protocol), or the answer is
// no, the compositor's shortcuts still act.
zwp_keyboard_shortcuts_inhibitor_v1* Inhibitor = nullptr;
wl_surface* InhibitedSurface = nullptr;  // the window's surface it was made for
bool InhibitorAnswered = false;
bool InhibitorWasActive = false;
bool ShortcutsRefused = false;          // for the rest of the run
wl_surface* KeyboardSurface = nullptr;  // the window that had the keyboard last
bool KeyboardHeld = false;              // and has it still
guint KeyboardFollow = 0;
guint RefusalCheck = 0;
bool EscapeDown = false;  // its press reached one of our windows

// A compositor grants the request at once to the window with the keyboard.
// One that asks its user takes the keyboard for its question; one that
// says nothing while the window keeps the keyboard has refused: GNOME
// answers a Deny, fresh or remembered from an earlier run, with silence.
constexpr guint kRefusalSilenceMs = 1500;

void DropInhibitor() {
  if (Inhibitor != nullptr) zwp_keyboard_shortcuts_inhibitor_v1_destroy(Inhibitor);
  Inhibitor = nullptr;
  InhibitedSurface = nullptr;
  if (RefusalCheck != 0) g_source_remove(RefusalCheck);
  RefusalCheck = 0;
}

void FollowKeyboard();

void SayRefused() {
  InhibitorAnswered = true;
  if (ShortcutsRefused) return;
  ShortcutsRefused = true;
  std::fputs("orbidial: the compositor keeps its shortcuts (Super, Alt+Tab) over the saver: it was told "
             "not to hold them back (GNOME remembers a Deny); on GNOME, \"Inhibit system keyboard "
             "shortcuts\" under Settings > Apps > Orbidial Clock Screen Saver undoes that\n",
             stderr);
}

gboolean OnRefusalCheck(gpointer) {
  RefusalCheck = 0;
  if (!InhibitorAnswered && KeyboardHeld && KeyboardSurface == InhibitedSurface) SayRefused();
  return G_SOURCE_REMOVE;
}

// From now, or from the keyboard's return to the window.
void AwaitAnswer() {
  if (Inhibitor == nullptr || InhibitorAnswered) return;
  if (RefusalCheck != 0) g_source_remove(RefusalCheck);
  RefusalCheck = g_timeout_add(kRefusalSilenceMs, OnRefusalCheck, nullptr);
}

void InhibitorActive(void*, zwp_keyboard_shortcuts_inhibitor_v1*) {
  InhibitorAnswered = true;
  InhibitorWasActive = true;
  FollowKeyboard();
}

// Inactive before it was ever active is a refusal too.
void InhibitorInactive(void*, zwp_keyboard_shortcuts_inhibitor_v1*) {
  if (InhibitorWasActive) return;
  SayRefused();
}
const zwp_keyboard_shortcuts_inhibitor_v1_listener InhibitorListener = {InhibitorActive, InhibitorInactive};

void FollowKeyboard() {
  if (WaylandShortcutsInhibitor == nullptr || ShortcutsRefused || KeyboardSurface == nullptr) return;
  if (KeyboardSurface == InhibitedSurface) return;
  GdkSeat* seat = gdk_display_get_default_seat(gdk_display_get_default());
  if (seat == nullptr) return;
  DropInhibitor();
  Inhibitor = zwp_keyboard_shortcuts_inhibit_manager_v1_inhibit_shortcuts(
      WaylandShortcutsInhibitor, KeyboardSurface, gdk_wayland_seat_get_wl_seat(seat));
  zwp_keyboard_shortcuts_inhibitor_v1_add_listener(Inhibitor, &InhibitorListener, nullptr);
  InhibitedSurface = KeyboardSurface;
  InhibitorAnswered = false;
  InhibitorWasActive = false;
  AwaitAnswer();
}

wl_surface* SurfaceOf(GtkWidget* widget) {
  GdkWindow* window = gtk_widget_get_window(widget);
  return window != nullptr ? gdk_wayland_window_get_wl_surface(window) : nullptr;
}

// The keyboard may pass from window to window as they map (GNOME gives it
// to each in turn): the request goes once the events waiting are handled,
// for the window that has it then, not for one it has already left.
gboolean OnFocusIn(GtkWidget* widget, GdkEventFocus*, gpointer) {
  KeyboardSurface = SurfaceOf(widget);
  KeyboardHeld = true;
  if (KeyboardSurface != nullptr && KeyboardSurface == InhibitedSurface) AwaitAnswer();
  if (KeyboardFollow == 0) {
    KeyboardFollow = g_idle_add([](gpointer) {
      KeyboardFollow = 0;
      FollowKeyboard();
      return G_SOURCE_REMOVE;
    }, nullptr);
  }
  return FALSE;
}

gboolean OnFocusOut(GtkWidget* widget, GdkEventFocus*, gpointer) {
  if (SurfaceOf(widget) == KeyboardSurface) KeyboardHeld = false;
  return FALSE;
}

void ReleaseKeyboard() {
  if (KeyboardFollow != 0) g_source_remove(KeyboardFollow);
  KeyboardFollow = 0;
  KeyboardSurface = nullptr;
  KeyboardHeld = false;
  DropInhibitor();
}

// The same keys as X11's keysyms: GDK's key values are those.
KeyName KeyNameOf(guint keyval) {
  switch (keyval) {
    case GDK_KEY_Escape: return KeyName::kEscape;
    case GDK_KEY_Tab:
    case GDK_KEY_ISO_Left_Tab: return KeyName::kTab;
    case GDK_KEY_Super_L: return KeyName::kLeftSuper;
    case GDK_KEY_Super_R: return KeyName::kRightSuper;
    default: return KeyName::kOther;
  }
}

gboolean OnKey(GtkWidget*, GdkEventKey* event, gpointer) {
  const bool press = event->type == GDK_KEY_PRESS;
  // An Escape pressed elsewhere (before the saver showed, or to answer the
  // compositor's own question over it) is not the user's Escape to us.
  if (event->keyval == GDK_KEY_Escape) {
    if (!press && !EscapeDown) return TRUE;
    EscapeDown = press;
  }
  ClockKeyEvent(KeyEvent{KeyNameOf(event->keyval), press, (event->state & GDK_MOD1_MASK) != 0,
                         (event->state & GDK_CONTROL_MASK) != 0});
  return TRUE;
}

// ---- The pointer -----------------------------------------------------------

gboolean OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer) {
  // GDK adds a double-click event after the second press: one press, one end.
  if (event->type == GDK_BUTTON_PRESS && event->button == 1) ClockLeftButtonDown();
  return TRUE;
}

gboolean OnButtonRelease(GtkWidget*, GdkEventButton* event, gpointer) {
  if (event->button == 3) ClockRightButtonUp();
  return TRUE;
}

gboolean OnScroll(GtkWidget*, GdkEventScroll* event, gpointer) {
  // Wheel up is forward: the next theme.
  if (event->direction == GDK_SCROLL_UP) ClockWheel(1);
  if (event->direction == GDK_SCROLL_DOWN) ClockWheel(-1);
  return TRUE;
}

void HideCursor(GtkWidget* widget, gpointer) {
  GdkWindow* window = gtk_widget_get_window(widget);
  GdkCursor* blank = gdk_cursor_new_for_display(gdk_window_get_display(window), GDK_BLANK_CURSOR);
  gdk_window_set_cursor(window, blank);
  g_object_unref(blank);
}

// ---- Following the outputs ---------------------------------------------------

// The window's surface, size and scale as they are now: the face follows,
// laid out and drawn whole when any of them changed. The first face to show
// starts the clock.
void FollowWindow(OutputFace& output) {
  if (ClockClosed() || output.window == nullptr) return;
  GdkWindow* window = gtk_widget_get_window(output.window);
  wl_surface* parent = window != nullptr ? gdk_wayland_window_get_wl_surface(window) : nullptr;
  if (parent == nullptr) return;
  const bool hadFace = HasFace(output);
  AttachFaceSurface(
      output.face, parent, [](void* data) { FollowWindow(*static_cast<OutputFace*>(data)); }, &output);
  // The output's own scale: the window learns it only once it is shown there.
  const int scale120 = 120 * gdk_monitor_get_scale_factor(output.monitor);
  const int width = gtk_widget_get_allocated_width(output.window);
  const int height = gtk_widget_get_allocated_height(output.window);
  // Without the fractional-scale protocol the whole scale GDK knows may not
  // be the output's (sway 1.7 at 1.5 says 2): its mode tells its pixels.
  int deviceWidth = 0, deviceHeight = 0, modeWidth = 0, modeHeight = 0;
  if (WaylandFractionalScales == nullptr && WaylandOutputPixels(output.output.name, &modeWidth, &modeHeight)) {
    GdkRectangle area;
    gdk_monitor_get_geometry(output.monitor, &area);
    deviceWidth = WindowDevicePixels(width, area.width, modeWidth);
    deviceHeight = WindowDevicePixels(height, area.height, modeHeight);
  }
  const bool resized = SizeFaceSurface(output.face, width, height, scale120, deviceWidth, deviceHeight);
  if (!resized && hadFace == HasFace(output)) return;
  PublishFaces();
  if (!HasFace(output)) return;
  if (!Started) {
    Started = true;
    ClockStart();
  }
  ClockFaceChanged(FaceIndexOf(output));
}

// GTK paints its own surface only when it is shown or changes size or scale,
// which is just when the face must follow. The face's sub-surface, made
// here, shows with the commit GTK makes next.
gboolean OnDraw(GtkWidget*, cairo_t* cr, gpointer data) {
  cairo_set_source_rgb(cr, 0, 0, 0);
  cairo_paint(cr);
  FollowWindow(*static_cast<OutputFace*>(data));
  return TRUE;
}

void OnMonitorChanged(GdkMonitor*, GParamSpec*, gpointer data) {
  FollowWindow(*static_cast<OutputFace*>(data));
}

void FollowEveryWindow() {
  for (const auto& output : Outputs) FollowWindow(*output);
}

// A layer surface is closed by the compositor when its output goes; a
// fullscreen window is closed by the user (a close shortcut), which ends the
// saver as the end of any of its windows does on X11.
gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer) {
  if (LayerShell) return FALSE;
  ClockDestroyed();
  return TRUE;
}

void DropLeaving() {
  if (LeavingDrop != 0) g_source_remove(LeavingDrop);
  LeavingDrop = 0;
  for (const auto& output : Leaving) DropFaceSurface(output->face);
  Leaving.clear();
}

void OnDestroy(GtkWidget*, gpointer data) {
  auto* gone = static_cast<OutputFace*>(data);
  for (auto it = Outputs.begin(); it != Outputs.end(); ++it) {
    if (it->get() != gone) continue;
    const bool wasFirst = HasFace(*gone) && FaceIndexOf(*gone) == 0;
    std::unique_ptr<OutputFace> output = std::move(*it);
    Outputs.erase(it);
    wl_surface* surface = SurfaceOf(output->window);
    if (surface != nullptr && surface == InhibitedSurface) DropInhibitor();
    if (surface != nullptr && surface == KeyboardSurface) {
      KeyboardSurface = nullptr;
      KeyboardHeld = false;
    }
    ForgetOutputName(output->output);
    g_signal_handlers_disconnect_by_data(output->monitor, output.get());
    g_object_unref(output->monitor);
    output->monitor = nullptr;
    // The window's surface goes once this signal is over; its face after it,
    // following nothing meanwhile.
    output->window = nullptr;
    output->face.scaleChanged = nullptr;
    Leaving.push_back(std::move(output));
    if (LeavingDrop == 0 && !TearingDown) {
      LeavingDrop = g_idle_add_full(G_PRIORITY_HIGH, [](gpointer) {
        LeavingDrop = 0;
        DropLeaving();
        return G_SOURCE_REMOVE;
      }, nullptr, nullptr);
    }
    if (TearingDown || ClockClosed()) return;
    PublishFaces();
    if (wasFirst && !MonitorFaces.empty()) ClockFaceChanged(0);
    return;
  }
}

int MonitorNumber(GdkDisplay* display, GdkMonitor* monitor) {
  for (int i = 0; i < gdk_display_get_n_monitors(display); ++i) {
    if (gdk_display_get_monitor(display, i) == monitor) return i;
  }
  return 0;
}

void AddOutput(GdkDisplay* display, GdkMonitor* monitor) {
  auto output = std::make_unique<OutputFace>();
  output->monitor = GDK_MONITOR(g_object_ref(monitor));
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  output->window = window;
  GtkWindow* gtkWindow = GTK_WINDOW(window);
  gtk_window_set_title(gtkWindow, "Orbidial");
  gtk_widget_set_app_paintable(window, TRUE);
  gtk_widget_add_events(window, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_SCROLL_MASK |
                                    GDK_KEY_PRESS_MASK | GDK_KEY_RELEASE_MASK);
  if (LayerShell) {
    gtk_layer_init_for_window(gtkWindow);
    gtk_layer_set_namespace(gtkWindow, "orbidial");
    gtk_layer_set_layer(gtkWindow, GTK_LAYER_SHELL_LAYER_OVERLAY);
    gtk_layer_set_monitor(gtkWindow, monitor);
    for (const auto edge : {GTK_LAYER_SHELL_EDGE_LEFT, GTK_LAYER_SHELL_EDGE_RIGHT,
                            GTK_LAYER_SHELL_EDGE_TOP, GTK_LAYER_SHELL_EDGE_BOTTOM}) {
      gtk_layer_set_anchor(gtkWindow, edge, TRUE);
    }
    // Over the panels, not beside them.
    gtk_layer_set_exclusive_zone(gtkWindow, -1);
    gtk_layer_set_keyboard_mode(gtkWindow, GTK_LAYER_SHELL_KEYBOARD_MODE_EXCLUSIVE);
  } else {
    gtk_window_set_decorated(gtkWindow, FALSE);
    gtk_window_fullscreen_on_monitor(gtkWindow, gdk_display_get_default_screen(display),
                                     MonitorNumber(display, monitor));
  }
  OutputFace* data = output.get();
  g_signal_connect(window, "draw", G_CALLBACK(OnDraw), data);
  g_signal_connect(window, "key-press-event", G_CALLBACK(OnKey), data);
  g_signal_connect(window, "key-release-event", G_CALLBACK(OnKey), data);
  g_signal_connect(window, "button-press-event", G_CALLBACK(OnButtonPress), data);
  g_signal_connect(window, "button-release-event", G_CALLBACK(OnButtonRelease), data);
  g_signal_connect(window, "scroll-event", G_CALLBACK(OnScroll), data);
  g_signal_connect(window, "realize", G_CALLBACK(HideCursor), data);
  g_signal_connect(window, "delete-event", G_CALLBACK(OnDelete), data);
  g_signal_connect(window, "destroy", G_CALLBACK(OnDestroy), data);
  g_signal_connect(window, "focus-in-event", G_CALLBACK(OnFocusIn), data);
  g_signal_connect(window, "focus-out-event", G_CALLBACK(OnFocusOut), data);
  g_signal_connect(monitor, "notify::scale-factor", G_CALLBACK(OnMonitorChanged), data);
  g_signal_connect(monitor, "notify::geometry", G_CALLBACK(OnMonitorChanged), data);
  AskOutputName(
      output->output, gdk_wayland_monitor_get_wl_output(monitor),
      [](void* face) { FollowWindow(*static_cast<OutputFace*>(face)); }, data);
  Outputs.push_back(std::move(output));
  gtk_widget_show(window);
}

void OnMonitorAdded(GdkDisplay* display, GdkMonitor* monitor, gpointer) {
  if (!ClockClosed()) AddOutput(display, monitor);
}

void OnMonitorRemoved(GdkDisplay*, GdkMonitor* monitor, gpointer) {
  for (const auto& output : Outputs) {
    if (output->monitor == monitor) {
      gtk_widget_destroy(output->window);
      return;
    }
  }
}

// ---- The loss of the compositor ------------------------------------------------

[[noreturn]] void CompositorLost() {
  static const char kMessage[] = "orbidial: lost the connection to the Wayland compositor\n";
  ssize_t ignored = write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
  (void)ignored;
  _exit(1);
}

bool ConnectionBroken() {
  GdkDisplay* display = gdk_display_get_default();
  if (display == nullptr || !GDK_IS_WAYLAND_DISPLAY(display)) return false;
  wl_display* wayland = gdk_wayland_display_get_wl_display(display);
  pollfd connection{wl_display_get_fd(wayland), POLLIN, 0};
  poll(&connection, 1, 0);
  return (connection.revents & (POLLHUP | POLLERR)) != 0 || wl_display_get_error(wayland) != 0;
}

// The socket's end is noticed here before GDK's own source reads from it,
// which would end the process with GTK's message alone.
gboolean OnConnectionEnd(gint, GIOCondition, gpointer) { CompositorLost(); }

// GDK says why it gives up just before it ends the process.
void OnGdkMessage(const gchar* domain, GLogLevelFlags level, const gchar* message, gpointer) {
  if (ConnectionBroken()) CompositorLost();
  g_log_default_handler(domain, level, message, nullptr);
}

gboolean OnSignal(gint fd, GIOCondition, gpointer) {
  signalfd_siginfo info{};
  while (read(fd, &info, sizeof info) > 0) {
  }
  ClockShutdown();
  return G_SOURCE_CONTINUE;
}

// ---- What the shared logic asks of the platform --------------------------------

gboolean OnFrameTimer(gpointer) {
  FrameTimer = 0;
  PublishFaces();
  ClockTimerTick();
  return G_SOURCE_REMOVE;
}

void ArmFrameTimer(int milliseconds) {
  if (FrameTimer != 0) g_source_remove(FrameTimer);
  FrameTimer = g_timeout_add(static_cast<guint>(milliseconds), OnFrameTimer, nullptr);
}

void StopFrameTimer() {
  if (FrameTimer != 0) g_source_remove(FrameTimer);
  FrameTimer = 0;
}

// The faces are made per output as their windows show; there is no one back
// buffer to make.
void NoBackBuffer(int, int) { BackBufferDC = nullptr; }

// Nothing more is drawn; the faces' surfaces go after their windows'.
void DropFaces() {
  BackBufferDC = nullptr;
  MonitorFaces.clear();
}

// The compositor gives the keyboard to the overlay surfaces; a client cannot
// take the focus on Wayland.
void KeepFocus() {}

void QuitLoop(int code) {
  QuitCode = code;
  if (Loop != nullptr) g_main_loop_quit(Loop);
}

const ClockPlatform WaylandPlatform = {NoBackBuffer, DropFaces,       ArmFrameTimer, StopFrameTimer,
                                       ReleaseKeyboard, KeepFocus, QuitLoop};

}  // namespace

void ReportLostCompositor() {
  g_log_set_handler("Gdk", static_cast<GLogLevelFlags>(G_LOG_LEVEL_MESSAGE | G_LOG_LEVEL_WARNING),
                    OnGdkMessage, nullptr);
}

WaylandRun RunWaylandClock(int* status) {
  *status = 0;
  SaverLocks lock;
  if (TakeSaverLocks(std::getenv("XDG_RUNTIME_DIR"), std::getenv("WAYLAND_DISPLAY"), &lock) ==
      SaverLock::kHeldElsewhere) {
    return WaylandRun::kAnotherSaver;
  }

  if (g_get_prgname() == nullptr) g_set_prgname("orbidial");
  // The saver hides the pointer over its faces and so needs no cursor theme.
  // GDK loads every cursor of the theme, twice, while it starts: a third of
  // its start, and the face shows that much later (measured, about 20 ms).
  // The path reaches only this process; the saver starts no other.
  setenv("XCURSOR_PATH", "/nonexistent/orbidial-needs-no-cursors", 1);
  gdk_set_allowed_backends("wayland");
  if (!gtk_init_check(nullptr, nullptr)) {
    ReleaseSaverLocks(&lock);
    return WaylandRun::kNoCompositor;
  }
  GdkDisplay* display = gdk_display_get_default();
  wl_display* wayland = gdk_wayland_display_get_wl_display(display);
  if (!BindWaylandGlobals(wayland)) {
    std::fprintf(stderr, "orbidial: the Wayland compositor offers no shared memory or sub-surfaces\n");
    *status = 1;
    return WaylandRun::kRan;
  }
  ReportLostCompositor();
  WaylandOutputsChanged = FollowEveryWindow;
  g_unix_fd_add_full(G_PRIORITY_HIGH, wl_display_get_fd(wayland),
                     static_cast<GIOCondition>(G_IO_HUP | G_IO_ERR), OnConnectionEnd, nullptr, nullptr);
  const int signalFd = OpenEndingSignalFd();
  const guint signalWatch = signalFd >= 0 ? g_unix_fd_add(signalFd, G_IO_IN, OnSignal, nullptr) : 0;

  ClockPlatformInUse = &WaylandPlatform;
  // Asked only where it is offered: gtk-layer-shell warns on stderr when it
  // is not. The tests take the fullscreen windows' way under sway too.
  LayerShell = WaylandLayerShellOffered && std::getenv("ORBIDIAL_TEST_NO_LAYER_SHELL") == nullptr &&
               gtk_layer_is_supported();
  g_signal_connect(display, "monitor-added", G_CALLBACK(OnMonitorAdded), nullptr);
  g_signal_connect(display, "monitor-removed", G_CALLBACK(OnMonitorRemoved), nullptr);
  // No output yet is no fault: the faces come with the outputs.
  for (int i = 0; i < gdk_display_get_n_monitors(display); ++i) {
    AddOutput(display, gdk_display_get_monitor(display, i));
  }

  Loop = g_main_loop_new(nullptr, FALSE);
  g_main_loop_run(Loop);
  // Whatever ended the run, the same steps (they act once).
  ClockShutdown();
  g_main_loop_unref(Loop);
  Loop = nullptr;
  if (signalWatch != 0) g_source_remove(signalWatch);
  if (signalFd >= 0) close(signalFd);

  TearingDown = true;
  while (!Outputs.empty()) gtk_widget_destroy(Outputs.back()->window);
  DropLeaving();
  DropWaylandPointers();
  WaylandOutputsChanged = nullptr;
  // The windows go from the screen now, not when the process is gone.
  wl_display_flush(wayland);
  ClockPlatformInUse = nullptr;
  ReleaseSaverLocks(&lock);
  *status = QuitCode;
  return WaylandRun::kRan;
}
