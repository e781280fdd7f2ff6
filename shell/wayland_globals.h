// The compositor's objects the saver binds beside GDK's own: GDK keeps its
// bindings to itself, and binds the compositor at a version without
// buffer-coordinate damage.
#pragma once

#include <cstdint>

struct wl_compositor;
struct wl_display;
struct wl_shm;
struct wl_subcompositor;
struct wp_fractional_scale_manager_v1;
struct wp_viewporter;
struct zwp_keyboard_shortcuts_inhibit_manager_v1;

// Null where the compositor does not offer them.
extern wl_compositor* WaylandCompositor;
extern std::uint32_t WaylandCompositorVersion;
extern wl_shm* WaylandShm;
extern wl_subcompositor* WaylandSubcompositor;
extern wp_viewporter* WaylandViewporter;
extern wp_fractional_scale_manager_v1* WaylandFractionalScales;
extern zwp_keyboard_shortcuts_inhibit_manager_v1* WaylandShortcutsInhibitor;
// Whether wlr-layer-shell is offered (gtk-layer-shell binds it for itself).
extern bool WaylandLayerShellOffered;

// wl_surface.damage_buffer came with this version of wl_compositor.
inline constexpr std::uint32_t kDamageBufferVersion = 4;

// Binds them on `display`, whose default queue (GDK's) then gets their
// events. False when the compositor lacks shared memory or sub-surfaces,
// which every compositor has.
bool BindWaylandGlobals(wl_display* display);
