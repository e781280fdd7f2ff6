// layer_shell_probe: the native Wayland route tried out before the back end is
// built. One gtk-layer-shell overlay surface per output (a fullscreen
// xdg_toplevel where the compositor has no layer-shell), the face drawn at
// the output's size in device pixels and shown through a cairo image surface
// at the output's scale. It prints what it sees, one line per event, with
// milliseconds since start:
//   layer_shell_probe [--at "YYYY-MM-DD HH:MM:SS"] [--grab] [--toplevel] [--partial]
//                     [--show-cursor] [--every-draw] [--subsurface]
//   layer_shell_probe --panel
// --panel stands in for a desktop's panel instead: a red bar 30 pixels high
// on the top layer, anchored to the top edge, which other surfaces avoid.
// --grab asks for the keyboard with gdk_seat_grab (which is how GTK 3 asks
// the compositor to inhibit its shortcuts); --toplevel takes the fallback
// even where layer-shell is offered; --partial redraws only the face's
// square instead of the whole surface; --subsurface shows the face in a
// wl_subsurface of GTK's surface, from two wl_shm buffers of its own that are
// used in turn, and leaves GTK's surface black (GTK 3 takes a fresh shm
// buffer for each frame while the compositor holds the last one).
#include <gdk/gdkwayland.h>
#include <gtk-layer-shell/gtk-layer-shell.h>
#include <gtk/gtk.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "face/clock_source.h"
#include "face/font_lookup.h"
#include "face/frame.h"
#include "face/layout.h"
#include "face/raster_surface.h"
#include "face/themes.h"
#include "shell/render_options.h"

namespace {

struct ShmBuffer {
  wl_buffer* buffer = nullptr;
  std::uint32_t* pixels = nullptr;
  bool busy = false;
};

struct OutputFace {
  wl_surface* surface = nullptr;
  wl_subsurface* subsurface = nullptr;
  ShmBuffer buffers[2];
  std::size_t poolBytes = 0;
  void* pool = nullptr;
  GdkMonitor* monitor = nullptr;
  GtkWidget* window = nullptr;
  std::unique_ptr<RasterSurface> face;
  int scale = 0;
  bool drawn = false;
  bool allocated = false;
};

void ShowOnSubsurface(OutputFace& output);
gboolean ShowSoon(gpointer data) {
  ShowOnSubsurface(*static_cast<OutputFace*>(data));
  return G_SOURCE_REMOVE;
}

std::vector<std::unique_ptr<OutputFace>> Faces;
bool Grab = false;
bool Toplevel = false;
bool Partial = false;
bool ShowCursor = false;
bool EveryDraw = false;
bool Subsurface = false;
wl_shm* Shm = nullptr;
wl_subcompositor* Subcompositor = nullptr;
bool FirstCommitSeen = false;
std::tm FrozenInstant;
gint64 StartTime;

void Say(const char* format, ...) G_GNUC_PRINTF(1, 2);
void Say(const char* format, ...) {
  std::printf("%8.1f ", (g_get_monotonic_time() - StartTime) / 1000.0);
  va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
  std::printf("\n");
  std::fflush(stdout);
}

bool ReadFrozenClock(std::tm* out) { return FrameTime(FrozenInstant, 0, out); }

const char* MonitorName(GdkMonitor* monitor) {
  const char* model = gdk_monitor_get_model(monitor);
  return model != nullptr ? model : "?";
}

// The face in device pixels, then shown 1:1: the image surface carries the
// window's scale, so cairo maps each of its pixels onto one pixel of the
// output instead of doubling a logical-size face.
gboolean Draw(GtkWidget* widget, cairo_t* cr, gpointer data) {
  auto* output = static_cast<OutputFace*>(data);
  if (Subsurface) {
    // GTK draws once it knows the surface's size: the face follows at once.
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_paint(cr);
    output->allocated = true;
    g_idle_add(ShowSoon, output);
    return TRUE;
  }
  const gint64 drawStart = g_get_monotonic_time();
  const int scale = gtk_widget_get_scale_factor(widget);
  const int width = gtk_widget_get_allocated_width(widget) * scale;
  const int height = gtk_widget_get_allocated_height(widget) * scale;
  if (!output->face || output->face->Width() != width || output->face->Height() != height) {
    output->face = std::make_unique<RasterSurface>(width, height);
    Say("layout %s: %dx%d device pixels at scale %d", MonitorName(output->monitor), width, height,
        scale);
  }
  output->scale = scale;
  // The layout values are process-wide: each output is laid out just before
  // its frame.
  BackBufferDC = output->face.get();
  ComputeLayout(Rect{0, 0, width, height});
  DrawFrame(Rect{0, 0, width, height});
  BackBufferDC = nullptr;
  const gint64 faceDrawn = g_get_monotonic_time();

  cairo_surface_t* image = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(output->face->Pixels()), CAIRO_FORMAT_RGB24, width, height,
      width * 4);
  cairo_surface_set_device_scale(image, scale, scale);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, image, 0, 0);
  cairo_paint(cr);
  cairo_surface_destroy(image);
  if (!output->drawn || EveryDraw) {
    Say("draw %s: %.1f ms in the handler, %.1f of them the face", MonitorName(output->monitor),
        (g_get_monotonic_time() - drawStart) / 1000.0, (faceDrawn - drawStart) / 1000.0);
  }
  output->drawn = true;
  return TRUE;
}

// GTK commits the surface after painting: the first frame is on its way.
void AfterPaint(GdkFrameClock*, gpointer data) {
  auto* output = static_cast<OutputFace*>(data);
  if (output->drawn && !FirstCommitSeen) {
    FirstCommitSeen = true;
    Say("first commit %s", MonitorName(output->monitor));
  }
}

void Global(void*, wl_registry* registry, std::uint32_t name, const char* interface,
            std::uint32_t) {
  if (std::strcmp(interface, "wl_shm") == 0) {
    Shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
  } else if (std::strcmp(interface, "wl_subcompositor") == 0) {
    Subcompositor = static_cast<wl_subcompositor*>(
        wl_registry_bind(registry, name, &wl_subcompositor_interface, 1));
  }
}
void GlobalRemove(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener RegistryListener = {Global, GlobalRemove};

// GDK binds neither wl_shm nor wl_subcompositor for others: bind them on a
// queue of our own, then hand them to the default queue GDK dispatches.
void BindShm(GdkDisplay* display) {
  wl_display* wayland = gdk_wayland_display_get_wl_display(display);
  wl_event_queue* queue = wl_display_create_queue(wayland);
  wl_registry* registry = wl_display_get_registry(wayland);
  wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(registry), queue);
  wl_registry_add_listener(registry, &RegistryListener, nullptr);
  wl_display_roundtrip_queue(wayland, queue);
  wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(Shm), nullptr);
  wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(Subcompositor), nullptr);
  wl_registry_destroy(registry);
  wl_event_queue_destroy(queue);
}

void Released(void* data, wl_buffer*) { static_cast<ShmBuffer*>(data)->busy = false; }
const wl_buffer_listener BufferListener = {Released};

void DropBuffers(OutputFace& output) {
  for (ShmBuffer& b : output.buffers) {
    if (b.buffer != nullptr) wl_buffer_destroy(b.buffer);
    b = ShmBuffer{};
  }
  if (output.pool != nullptr) munmap(output.pool, output.poolBytes);
  output.pool = nullptr;
}

void MakeBuffers(OutputFace& output, int width, int height) {
  DropBuffers(output);
  const std::size_t bytes = static_cast<std::size_t>(width) * height * 4;
  output.poolBytes = bytes * 2;
  const int fd = memfd_create("orbidial-face", MFD_CLOEXEC);
  if (fd < 0 || ftruncate(fd, static_cast<off_t>(output.poolBytes)) != 0) return;
  output.pool = mmap(nullptr, output.poolBytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  wl_shm_pool* pool = wl_shm_create_pool(Shm, fd, static_cast<std::int32_t>(output.poolBytes));
  for (int i = 0; i < 2; ++i) {
    ShmBuffer& b = output.buffers[i];
    b.buffer = wl_shm_pool_create_buffer(pool, static_cast<std::int32_t>(bytes * i), width, height,
                                         width * 4, WL_SHM_FORMAT_XRGB8888);
    b.pixels = reinterpret_cast<std::uint32_t*>(static_cast<char*>(output.pool) + bytes * i);
    wl_buffer_add_listener(b.buffer, &BufferListener, &b);
  }
  wl_shm_pool_destroy(pool);
  close(fd);
}

// The face straight into a free buffer of the sub-surface, at device size.
void ShowOnSubsurface(OutputFace& output) {
  GdkWindow* window = gtk_widget_get_window(output.window);
  if (window == nullptr || !output.allocated) return;
  if (output.surface == nullptr) {
    GdkDisplay* display = gdk_window_get_display(window);
    wl_compositor* compositor = gdk_wayland_display_get_wl_compositor(display);
    output.surface = wl_compositor_create_surface(compositor);
    output.subsurface = wl_subcompositor_get_subsurface(Subcompositor, output.surface,
                                                        gdk_wayland_window_get_wl_surface(window));
    wl_subsurface_set_desync(output.subsurface);
    // Pointer input goes through to GTK's surface underneath.
    wl_region* none = wl_compositor_create_region(compositor);
    wl_surface_set_input_region(output.surface, none);
    wl_region_destroy(none);
  }
  const gint64 drawStart = g_get_monotonic_time();
  const int scale = gtk_widget_get_scale_factor(output.window);
  const int width = gtk_widget_get_allocated_width(output.window) * scale;
  const int height = gtk_widget_get_allocated_height(output.window) * scale;
  if (!output.face || output.face->Width() != width || output.face->Height() != height) {
    output.face = std::make_unique<RasterSurface>(width, height);
    MakeBuffers(output, width, height);
    Say("layout %s: %dx%d device pixels at scale %d (sub-surface)", MonitorName(output.monitor),
        width, height, scale);
  }
  ShmBuffer* free = nullptr;
  for (ShmBuffer& b : output.buffers) {
    if (b.buffer != nullptr && !b.busy) free = &b;
  }
  if (free == nullptr) return;
  BackBufferDC = output.face.get();
  ComputeLayout(Rect{0, 0, width, height});
  DrawFrame(Rect{0, 0, width, height});
  BackBufferDC = nullptr;
  std::memcpy(free->pixels, output.face->Pixels(), static_cast<std::size_t>(width) * height * 4);
  wl_surface_set_buffer_scale(output.surface, scale);
  wl_surface_attach(output.surface, free->buffer, 0, 0);
  // GDK binds wl_compositor at version 3, which has no damage_buffer.
  wl_surface_damage(output.surface, 0, 0, width / scale, height / scale);
  wl_surface_commit(output.surface);
  // A new sub-surface shows from its parent's next commit on; GTK has no
  // frame of its own to commit, so the first one is ours.
  if (!output.drawn) wl_surface_commit(gdk_wayland_window_get_wl_surface(window));
  free->busy = true;
  if (!output.drawn || EveryDraw) {
    Say("draw %s: %.1f ms (sub-surface)", MonitorName(output.monitor),
        (g_get_monotonic_time() - drawStart) / 1000.0);
  }
  if (!output.drawn) Say("first commit %s", MonitorName(output.monitor));
  output.drawn = true;
}

void RedrawAll() {
  for (auto& output : Faces) {
    if (Subsurface) {
      ShowOnSubsurface(*output);
      continue;
    }
    if (!Partial || !output->face) {
      gtk_widget_queue_draw(output->window);
      continue;
    }
    const int side = gtk_widget_get_allocated_height(output->window);
    const int left = (gtk_widget_get_allocated_width(output->window) - side) / 2;
    gtk_widget_queue_draw_area(output->window, left, 0, side, side);
  }
}

// Each tick at the next whole second, as the X11 window does.
gboolean Tick(gpointer) {
  RedrawAll();
  const gint64 now = g_get_real_time();
  g_timeout_add(static_cast<guint>(1000 - (now / 1000) % 1000), Tick, nullptr);
  return G_SOURCE_REMOVE;
}

gboolean KeyPress(GtkWidget*, GdkEventKey* event, gpointer) {
  Say("key %s state 0x%x", gdk_keyval_name(event->keyval), event->state);
  if (event->keyval == GDK_KEY_Escape) gtk_main_quit();
  return TRUE;
}

gboolean ButtonPress(GtkWidget*, GdkEventButton* event, gpointer data) {
  Say("button %u at %.0f,%.0f on %s", event->button, event->x, event->y,
      MonitorName(static_cast<OutputFace*>(data)->monitor));
  if (event->button == 1) gtk_main_quit();
  return TRUE;
}

gboolean Scroll(GtkWidget*, GdkEventScroll* event, gpointer) {
  Say("scroll direction %d", event->direction);
  return TRUE;
}

gboolean Motion(GtkWidget*, GdkEventMotion* event, gpointer) {
  Say("motion %.0f,%.0f", event->x, event->y);
  return TRUE;
}

void GrabKeyboard(GtkWidget* widget, gpointer) {
  GdkWindow* window = gtk_widget_get_window(widget);
  GdkSeat* seat = gdk_display_get_default_seat(gdk_window_get_display(window));
  const GdkGrabStatus status = gdk_seat_grab(seat, window, GDK_SEAT_CAPABILITY_KEYBOARD, FALSE,
                                             nullptr, nullptr, nullptr, nullptr);
  Say("keyboard grab: %s", status == GDK_GRAB_SUCCESS ? "granted" : "refused");
}

void HideCursor(GtkWidget* widget, gpointer) {
  GdkWindow* window = gtk_widget_get_window(widget);
  GdkCursor* blank = gdk_cursor_new_for_display(gdk_window_get_display(window), GDK_BLANK_CURSOR);
  gdk_window_set_cursor(window, blank);
  g_object_unref(blank);
}

void ScaleChanged(GdkMonitor* monitor, GParamSpec*, gpointer) {
  GdkRectangle area;
  gdk_monitor_get_geometry(monitor, &area);
  Say("monitor %s now %dx%d+%d+%d scale %d", MonitorName(monitor), area.width, area.height, area.x,
      area.y, gdk_monitor_get_scale_factor(monitor));
}

int MonitorIndex(GdkDisplay* display, GdkMonitor* monitor) {
  for (int i = 0; i < gdk_display_get_n_monitors(display); ++i) {
    if (gdk_display_get_monitor(display, i) == monitor) return i;
  }
  return -1;
}

void AddOutput(GdkDisplay* display, GdkMonitor* monitor) {
  auto output = std::make_unique<OutputFace>();
  output->monitor = monitor;
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  output->window = window;
  gtk_widget_set_app_paintable(window, TRUE);
  gtk_widget_add_events(window, GDK_BUTTON_PRESS_MASK | GDK_SCROLL_MASK | GDK_POINTER_MOTION_MASK |
                                    GDK_KEY_PRESS_MASK);
  if (!Toplevel && gtk_layer_is_supported()) {
    gtk_layer_init_for_window(GTK_WINDOW(window));
    gtk_layer_set_namespace(GTK_WINDOW(window), "orbidial");
    gtk_layer_set_layer(GTK_WINDOW(window), GTK_LAYER_SHELL_LAYER_OVERLAY);
    gtk_layer_set_monitor(GTK_WINDOW(window), monitor);
    for (auto edge : {GTK_LAYER_SHELL_EDGE_LEFT, GTK_LAYER_SHELL_EDGE_RIGHT,
                      GTK_LAYER_SHELL_EDGE_TOP, GTK_LAYER_SHELL_EDGE_BOTTOM}) {
      gtk_layer_set_anchor(GTK_WINDOW(window), edge, TRUE);
    }
    gtk_layer_set_exclusive_zone(GTK_WINDOW(window), -1);
    gtk_layer_set_keyboard_mode(GTK_WINDOW(window), GTK_LAYER_SHELL_KEYBOARD_MODE_EXCLUSIVE);
  } else {
    gtk_window_set_decorated(GTK_WINDOW(window), FALSE);
    gtk_window_fullscreen_on_monitor(GTK_WINDOW(window), gdk_display_get_default_screen(display),
                                     MonitorIndex(display, monitor));
  }
  g_signal_connect(window, "draw", G_CALLBACK(Draw), output.get());
  g_signal_connect(window, "key-press-event", G_CALLBACK(KeyPress), output.get());
  g_signal_connect(window, "button-press-event", G_CALLBACK(ButtonPress), output.get());
  g_signal_connect(window, "scroll-event", G_CALLBACK(Scroll), output.get());
  g_signal_connect(window, "motion-notify-event", G_CALLBACK(Motion), output.get());
  if (!ShowCursor) g_signal_connect(window, "realize", G_CALLBACK(HideCursor), nullptr);
  if (Grab) g_signal_connect(window, "map", G_CALLBACK(GrabKeyboard), nullptr);
  g_signal_connect(monitor, "notify::scale-factor", G_CALLBACK(ScaleChanged), nullptr);
  g_signal_connect(monitor, "notify::geometry", G_CALLBACK(ScaleChanged), nullptr);
  gtk_widget_show_all(window);
  g_signal_connect(gtk_widget_get_frame_clock(window), "after-paint", G_CALLBACK(AfterPaint),
                   output.get());
  GdkRectangle area;
  gdk_monitor_get_geometry(monitor, &area);
  Say("output %s %dx%d+%d+%d scale %d: %s", MonitorName(monitor), area.width, area.height, area.x,
      area.y, gdk_monitor_get_scale_factor(monitor),
      gtk_layer_is_layer_window(GTK_WINDOW(window)) ? "overlay layer" : "fullscreen toplevel");
  Faces.push_back(std::move(output));
}

void MonitorAdded(GdkDisplay* display, GdkMonitor* monitor, gpointer) {
  Say("monitor added");
  AddOutput(display, monitor);
}

void MonitorRemoved(GdkDisplay*, GdkMonitor* monitor, gpointer) {
  for (auto it = Faces.begin(); it != Faces.end(); ++it) {
    if ((*it)->monitor != monitor) continue;
    Say("monitor removed: %s", MonitorName(monitor));
    gtk_widget_destroy((*it)->window);
    Faces.erase(it);
    return;
  }
}

gboolean DrawPanel(GtkWidget*, cairo_t* cr, gpointer) {
  cairo_set_source_rgb(cr, 1, 0, 0);
  cairo_paint(cr);
  return TRUE;
}

int RunPanel() {
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_layer_init_for_window(GTK_WINDOW(window));
  gtk_layer_set_namespace(GTK_WINDOW(window), "panel");
  gtk_layer_set_layer(GTK_WINDOW(window), GTK_LAYER_SHELL_LAYER_TOP);
  for (auto edge : {GTK_LAYER_SHELL_EDGE_LEFT, GTK_LAYER_SHELL_EDGE_RIGHT, GTK_LAYER_SHELL_EDGE_TOP}) {
    gtk_layer_set_anchor(GTK_WINDOW(window), edge, TRUE);
  }
  gtk_layer_auto_exclusive_zone_enable(GTK_WINDOW(window));
  gtk_widget_set_size_request(window, 100, 30);
  gtk_widget_set_app_paintable(window, TRUE);
  g_signal_connect(window, "draw", G_CALLBACK(DrawPanel), nullptr);
  gtk_widget_show_all(window);
  Say("panel up");
  gtk_main();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("ORBIDIAL_TEST_DATADIR", ORBIDIAL_BUILD_DATADIR, 0);
  StartTime = g_get_monotonic_time();
  bool panel = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--panel") == 0) panel = true;
    if (std::strcmp(argv[i], "--show-cursor") == 0) ShowCursor = true;
    if (std::strcmp(argv[i], "--every-draw") == 0) EveryDraw = true;
    if (std::strcmp(argv[i], "--subsurface") == 0) Subsurface = true;
    if (std::strcmp(argv[i], "--grab") == 0) Grab = true;
    if (std::strcmp(argv[i], "--toplevel") == 0) Toplevel = true;
    if (std::strcmp(argv[i], "--partial") == 0) Partial = true;
    if (std::strcmp(argv[i], "--at") == 0 && i + 1 < argc) {
      RenderOptions options;
      std::string error;
      if (ParseRenderOptions({"--at", argv[++i]}, &options, &error) && options.haveAt) {
        FrozenInstant = options.at;
        ClockSource = ReadFrozenClock;
      }
    }
  }
  if (panel) {
    if (!gtk_init_check(&argc, &argv)) return 1;
    return RunPanel();
  }
  std::string error;
  if (!LoadClockFaces(&error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  Say("clock faces loaded");
  std::tm now{};
  ClockSource(&now);
  ThemeIndex = now.tm_wday;
  UpdateHighlightColor();

  if (!gtk_init_check(&argc, &argv)) {
    std::fprintf(stderr, "no display\n");
    return 1;
  }
  GdkDisplay* display = gdk_display_get_default();
  if (Subsurface) BindShm(display);
  Say("gtk up on %s, layer-shell %s", G_OBJECT_TYPE_NAME(display),
      gtk_layer_is_supported() ? "offered" : "missing");
  for (int i = 0; i < gdk_display_get_n_monitors(display); ++i) {
    AddOutput(display, gdk_display_get_monitor(display, i));
  }
  if (gdk_display_get_n_monitors(display) == 0) Say("no output yet");
  g_signal_connect(display, "monitor-added", G_CALLBACK(MonitorAdded), nullptr);
  g_signal_connect(display, "monitor-removed", G_CALLBACK(MonitorRemoved), nullptr);
  Tick(nullptr);
  gtk_main();
  Say("quit");
  return 0;
}
