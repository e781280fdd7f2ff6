#include "wayland_globals.h"

#include <wayland-client.h>

#include <algorithm>
#include <cstring>

#include "fractional-scale-v1-client-protocol.h"
#include "keyboard-shortcuts-inhibit-unstable-v1-client-protocol.h"
#include "viewporter-client-protocol.h"

wl_compositor* WaylandCompositor = nullptr;
std::uint32_t WaylandCompositorVersion = 0;
wl_shm* WaylandShm = nullptr;
wl_subcompositor* WaylandSubcompositor = nullptr;
wp_viewporter* WaylandViewporter = nullptr;
wp_fractional_scale_manager_v1* WaylandFractionalScales = nullptr;
zwp_keyboard_shortcuts_inhibit_manager_v1* WaylandShortcutsInhibitor = nullptr;
bool WaylandLayerShellOffered = false;

namespace {

template <typename Proxy>
void Bind(wl_registry* registry, std::uint32_t name, const wl_interface* interface,
          std::uint32_t offered, std::uint32_t most, Proxy** out) {
  *out = static_cast<Proxy*>(wl_registry_bind(registry, name, interface, std::min(offered, most)));
}

void Global(void*, wl_registry* registry, std::uint32_t name, const char* interface,
            std::uint32_t version) {
  const auto is = [interface](const wl_interface& known) { return std::strcmp(interface, known.name) == 0; };
  if (is(wl_compositor_interface)) {
    WaylandCompositorVersion = std::min(version, kDamageBufferVersion);
    Bind(registry, name, &wl_compositor_interface, version, kDamageBufferVersion, &WaylandCompositor);
  } else if (is(wl_shm_interface)) {
    Bind(registry, name, &wl_shm_interface, version, 1, &WaylandShm);
  } else if (is(wl_subcompositor_interface)) {
    Bind(registry, name, &wl_subcompositor_interface, version, 1, &WaylandSubcompositor);
  } else if (is(wp_viewporter_interface)) {
    Bind(registry, name, &wp_viewporter_interface, version, 1, &WaylandViewporter);
  } else if (is(wp_fractional_scale_manager_v1_interface)) {
    Bind(registry, name, &wp_fractional_scale_manager_v1_interface, version, 1, &WaylandFractionalScales);
  } else if (is(zwp_keyboard_shortcuts_inhibit_manager_v1_interface)) {
    Bind(registry, name, &zwp_keyboard_shortcuts_inhibit_manager_v1_interface, version, 1,
         &WaylandShortcutsInhibitor);
  } else if (std::strcmp(interface, "zwlr_layer_shell_v1") == 0) {
    WaylandLayerShellOffered = true;
  }
}
void GlobalRemove(void*, wl_registry*, std::uint32_t) {}
const wl_registry_listener RegistryListener = {Global, GlobalRemove};

}  // namespace

bool BindWaylandGlobals(wl_display* display) {
  // On a queue of our own, so GDK's dispatching never sees our registry.
  wl_event_queue* queue = wl_display_create_queue(display);
  wl_registry* registry = wl_display_get_registry(display);
  wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(registry), queue);
  wl_registry_add_listener(registry, &RegistryListener, nullptr);
  wl_display_roundtrip_queue(display, queue);
  wl_registry_destroy(registry);
  for (void* proxy : {static_cast<void*>(WaylandCompositor), static_cast<void*>(WaylandShm),
                      static_cast<void*>(WaylandSubcompositor), static_cast<void*>(WaylandViewporter),
                      static_cast<void*>(WaylandFractionalScales),
                      static_cast<void*>(WaylandShortcutsInhibitor)}) {
    if (proxy != nullptr) wl_proxy_set_queue(static_cast<wl_proxy*>(proxy), nullptr);
  }
  wl_event_queue_destroy(queue);
  return WaylandCompositor != nullptr && WaylandShm != nullptr && WaylandSubcompositor != nullptr;
}
