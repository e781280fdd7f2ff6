// The Wayland twin of floor_client_x11.cpp: a full-screen opaque window that
// wakes on each whole second, writes 50 squares of 40 x 40 into its shared
// buffer, damages just them and commits. What it costs a compositor is the
// least a clock changing once a second can cost it. Runs until killed.
//   orbidial_floor_wayland   (on $WAYLAND_DISPLAY)
#include <poll.h>
#include <sys/mman.h>
#include <sys/timerfd.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "xdg-shell-client-protocol.h"

namespace {

constexpr int kSquares = 50;
constexpr int kSide = 40;

wl_compositor* Compositor = nullptr;
wl_shm* Shm = nullptr;
xdg_wm_base* WmBase = nullptr;
int Width = 0, Height = 0;
bool Configured = false;

void Global(void*, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t) {
  if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
    Compositor = static_cast<wl_compositor*>(wl_registry_bind(registry, name, &wl_compositor_interface, 4));
  } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
    Shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
  } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0) {
    WmBase = static_cast<xdg_wm_base*>(wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
  }
}
void GlobalRemove(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener RegistryListener = {Global, GlobalRemove};

void Ping(void*, xdg_wm_base* base, std::uint32_t serial) { xdg_wm_base_pong(base, serial); }
const xdg_wm_base_listener WmBaseListener = {Ping};

void SurfaceConfigure(void*, xdg_surface* surface, std::uint32_t serial) {
  xdg_surface_ack_configure(surface, serial);
  Configured = true;
}
const xdg_surface_listener SurfaceListener = {SurfaceConfigure};

void ToplevelConfigure(void*, xdg_toplevel*, std::int32_t width, std::int32_t height, wl_array*) {
  if (width > 0 && height > 0) {
    Width = width;
    Height = height;
  }
}
void ToplevelClose(void*, xdg_toplevel*) {}
// Bound at version 1: the later events never come.
const xdg_toplevel_listener ToplevelListener = {ToplevelConfigure, ToplevelClose, nullptr, nullptr};

}  // namespace

int main() {
  wl_display* display = wl_display_connect(nullptr);
  if (display == nullptr) {
    std::fprintf(stderr, "orbidial_floor_wayland: no compositor\n");
    return 2;
  }
  wl_registry* registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &RegistryListener, nullptr);
  wl_display_roundtrip(display);
  if (Compositor == nullptr || Shm == nullptr || WmBase == nullptr) {
    std::fprintf(stderr, "orbidial_floor_wayland: no xdg-shell\n");
    return 2;
  }
  xdg_wm_base_add_listener(WmBase, &WmBaseListener, nullptr);
  wl_surface* surface = wl_compositor_create_surface(Compositor);
  xdg_surface* shell = xdg_wm_base_get_xdg_surface(WmBase, surface);
  xdg_surface_add_listener(shell, &SurfaceListener, nullptr);
  xdg_toplevel* toplevel = xdg_surface_get_toplevel(shell);
  xdg_toplevel_add_listener(toplevel, &ToplevelListener, nullptr);
  xdg_toplevel_set_fullscreen(toplevel, nullptr);
  wl_surface_commit(surface);
  while (!Configured) {
    if (wl_display_dispatch(display) < 0) return 1;
  }
  if (Width == 0) {
    // Left to choose (sway): mapped with a pixel, the window is then made
    // the output's size.
    const int fd = memfd_create("floor-pixel", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, 4) != 0) return 1;
    wl_shm_pool* pool = wl_shm_create_pool(Shm, fd, 4);
    wl_buffer* pixel = wl_shm_pool_create_buffer(pool, 0, 1, 1, 4, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    wl_surface_attach(surface, pixel, 0, 0);
    wl_surface_commit(surface);
    while (Width == 0) {
      if (wl_display_dispatch(display) < 0) return 1;
    }
  }

  const std::size_t bytes = static_cast<std::size_t>(Width) * Height * 4;
  const int fd = memfd_create("floor", MFD_CLOEXEC);
  if (fd < 0 || ftruncate(fd, static_cast<off_t>(bytes)) != 0) return 1;
  auto* pixels = static_cast<std::uint32_t*>(mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0));
  // Every page touched once: a long-running clock pays no faults.
  std::memset(pixels, 0, bytes);
  wl_shm_pool* pool = wl_shm_create_pool(Shm, fd, static_cast<std::int32_t>(bytes));
  wl_buffer* buffer = wl_shm_pool_create_buffer(pool, 0, Width, Height, Width * 4, WL_SHM_FORMAT_XRGB8888);
  wl_shm_pool_destroy(pool);
  wl_region* opaque = wl_compositor_create_region(Compositor);
  wl_region_add(opaque, 0, 0, Width, Height);
  wl_surface_set_opaque_region(surface, opaque);
  wl_region_destroy(opaque);
  wl_surface_attach(surface, buffer, 0, 0);
  wl_surface_damage_buffer(surface, 0, 0, Width, Height);
  wl_surface_commit(surface);
  wl_display_flush(display);

  const int timer = timerfd_create(CLOCK_REALTIME, TFD_CLOEXEC);
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  itimerspec tick{};
  tick.it_value.tv_sec = now.tv_sec + 1;
  tick.it_interval.tv_sec = 1;
  timerfd_settime(timer, TFD_TIMER_ABSTIME, &tick, nullptr);

  const int across = Width / kSide, down = Height / kSide;
  std::uint32_t second = 0;
  for (;;) {
    pollfd fds[2] = {{wl_display_get_fd(display), POLLIN, 0}, {timer, POLLIN, 0}};
    wl_display_flush(display);
    if (poll(fds, 2, -1) < 0) continue;
    if ((fds[0].revents & POLLIN) != 0 && wl_display_dispatch(display) < 0) return 1;
    if ((fds[1].revents & POLLIN) == 0) continue;
    std::uint64_t expirations = 0;
    if (read(timer, &expirations, sizeof expirations) != sizeof expirations) continue;
    ++second;
    const std::uint32_t colour = 0x00FFFFFFu & (second * 0x00254F1Du + 0x00406080u);
    for (int i = 0; i < kSquares; ++i) {
      const int cell = static_cast<int>((second * 7919u + static_cast<unsigned>(i) * 104729u) %
                                        static_cast<unsigned>(across * down));
      const int x = cell % across * kSide, y = cell / across * kSide;
      for (int row = 0; row < kSide; ++row) {
        std::uint32_t* line = pixels + static_cast<long>(y + row) * Width + x;
        for (int column = 0; column < kSide; ++column) line[column] = colour;
      }
      wl_surface_damage_buffer(surface, x, y, kSide, kSide);
    }
    wl_surface_attach(surface, buffer, 0, 0);
    wl_surface_commit(surface);
  }
}
