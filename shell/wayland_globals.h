// The compositor's objects the saver binds beside GDK's own: GDK keeps its
// bindings to itself, and binds the compositor at a version without
// buffer-coordinate damage. Beside them, what GDK does not tell: each
// output's current mode and name, and the pointer entering our surfaces.
#pragma once

#include <cstdint>
#include <string>

struct wl_compositor;
struct wl_display;
struct wl_output;
struct wl_shm;
struct wl_subcompositor;
struct wp_fractional_scale_manager_v1;
struct wp_viewporter;
struct zwp_keyboard_shortcuts_inhibit_manager_v1;
struct zxdg_output_manager_v1;
struct zxdg_output_v1;

// Null where the compositor does not offer them.
extern wl_compositor* WaylandCompositor;
extern std::uint32_t WaylandCompositorVersion;
extern wl_shm* WaylandShm;
extern wl_subcompositor* WaylandSubcompositor;
extern wp_viewporter* WaylandViewporter;
extern wp_fractional_scale_manager_v1* WaylandFractionalScales;
extern zwp_keyboard_shortcuts_inhibit_manager_v1* WaylandShortcutsInhibitor;
extern zxdg_output_manager_v1* WaylandOutputNames;
// Whether wlr-layer-shell is offered (gtk-layer-shell binds it for itself).
extern bool WaylandLayerShellOffered;

// wl_surface.damage_buffer came with this version of wl_compositor.
inline constexpr std::uint32_t kDamageBufferVersion = 4;

// Binds them on `display`, whose default queue (GDK's) then gets their
// events, and learns the outputs there are. False when the compositor lacks
// shared memory or sub-surfaces, which every compositor has.
bool BindWaylandGlobals(wl_display* display);

// Called when an output's mode, transform or name changed, or an output
// came or went.
extern void (*WaylandOutputsChanged)();

// The device pixels of the output named `name`: its current mode turned by
// its transform. An empty name stands for the only output when there is
// one (a compositor that names none). False while it is not known.
bool WaylandOutputPixels(const std::string& name, int* width, int* height);

// `width` x `height` turned by a wl_output transform: a quarter turn
// either way, mirrored or not, swaps them.
void TurnedSize(int transform, int* width, int* height);

// The name of one of GDK's outputs, asked of the compositor: `changed(data)`
// is called when it comes. Nothing is asked where names are not offered.
struct OutputName {
  zxdg_output_v1* asked = nullptr;
  std::string name;
  void (*changed)(void* data) = nullptr;
  void* data = nullptr;
};
void AskOutputName(OutputName& out, wl_output* output, void (*changed)(void*), void* data);
void ForgetOutputName(OutputName& out);

// The pointer is hidden on each of our surfaces as it enters, before any
// frame of GTK's: GDK sets its own blank cursor only as it gets round to it.
// Dropped at the end.
void DropWaylandPointers();
