#include "wayland_globals.h"

#include <wayland-client.h>

#include <algorithm>
#include <cstring>
#include <list>

#include "fractional-scale-v1-client-protocol.h"
#include "keyboard-shortcuts-inhibit-unstable-v1-client-protocol.h"
#include "viewporter-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"

wl_compositor* WaylandCompositor = nullptr;
std::uint32_t WaylandCompositorVersion = 0;
wl_shm* WaylandShm = nullptr;
wl_subcompositor* WaylandSubcompositor = nullptr;
wp_viewporter* WaylandViewporter = nullptr;
wp_fractional_scale_manager_v1* WaylandFractionalScales = nullptr;
zwp_keyboard_shortcuts_inhibit_manager_v1* WaylandShortcutsInhibitor = nullptr;
zxdg_output_manager_v1* WaylandOutputNames = nullptr;
bool WaylandLayerShellOffered = false;
void (*WaylandOutputsChanged)() = nullptr;

namespace {

// An output as we bound it ourselves: GDK's own binding keeps its events.
struct Output {
  std::uint32_t global = 0;
  wl_output* output = nullptr;
  std::uint32_t version = 0;
  zxdg_output_v1* named = nullptr;
  std::string name;
  int transform = WL_OUTPUT_TRANSFORM_NORMAL;
  int modeWidth = 0;  // the current mode, as the output's own pixels run
  int modeHeight = 0;
  bool done = false;  // described whole at least once
};

struct Seat {
  std::uint32_t global = 0;
  wl_seat* seat = nullptr;
  wl_pointer* pointer = nullptr;
};

// std::list: listeners hold pointers to the elements.
std::list<Output> Outputs;
std::list<Seat> Seats;
wl_registry* Registry = nullptr;

void Changed() {
  if (WaylandOutputsChanged != nullptr) WaylandOutputsChanged();
}

// ---- Outputs ----

void OutputGeometry(void* data, wl_output*, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                    std::int32_t, const char*, const char*, std::int32_t transform) {
  static_cast<Output*>(data)->transform = transform;
}
void OutputMode(void* data, wl_output*, std::uint32_t flags, std::int32_t width, std::int32_t height,
                std::int32_t) {
  if ((flags & WL_OUTPUT_MODE_CURRENT) == 0) return;
  auto* out = static_cast<Output*>(data);
  out->modeWidth = width;
  out->modeHeight = height;
}
void OutputDone(void* data, wl_output*) {
  static_cast<Output*>(data)->done = true;
  Changed();
}
void OutputScale(void*, wl_output*, std::int32_t) {}
// Bound at a version without names or descriptions: the rest stay null.
wl_output_listener MakeOutputListener() {
  wl_output_listener listener{};
  listener.geometry = OutputGeometry;
  listener.mode = OutputMode;
  listener.done = OutputDone;
  listener.scale = OutputScale;
  return listener;
}
const wl_output_listener OutputListener = MakeOutputListener();

void NamedPosition(void*, zxdg_output_v1*, std::int32_t, std::int32_t) {}
void NamedSize(void*, zxdg_output_v1*, std::int32_t, std::int32_t) {}
void NamedDone(void*, zxdg_output_v1*) {}
void OurOutputName(void* data, zxdg_output_v1*, const char* name) {
  static_cast<Output*>(data)->name = name;
  Changed();
}
void NamedDescription(void*, zxdg_output_v1*, const char*) {}
const zxdg_output_v1_listener OurNameListener = {NamedPosition, NamedSize, NamedDone, OurOutputName,
                                                 NamedDescription};

void NameOurOutput(Output& out) {
  if (WaylandOutputNames == nullptr || out.named != nullptr) return;
  out.named = zxdg_output_manager_v1_get_xdg_output(WaylandOutputNames, out.output);
  zxdg_output_v1_add_listener(out.named, &OurNameListener, &out);
}

void DropOutput(Output& out) {
  if (out.named != nullptr) zxdg_output_v1_destroy(out.named);
  if (out.version >= WL_OUTPUT_RELEASE_SINCE_VERSION) {
    wl_output_release(out.output);
  } else {
    wl_output_destroy(out.output);
  }
}

// ---- The pointer: hidden on every surface of ours it enters ----

void PointerEnter(void*, wl_pointer* pointer, std::uint32_t serial, wl_surface*, wl_fixed_t, wl_fixed_t) {
  wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);
}
void PointerLeave(void*, wl_pointer*, std::uint32_t, wl_surface*) {}
void PointerMotion(void*, wl_pointer*, std::uint32_t, wl_fixed_t, wl_fixed_t) {}
void PointerButton(void*, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {}
void PointerAxis(void*, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) {}
// Bound at a version without frames or the later axis events: the rest
// stay null.
wl_pointer_listener MakePointerListener() {
  wl_pointer_listener listener{};
  listener.enter = PointerEnter;
  listener.leave = PointerLeave;
  listener.motion = PointerMotion;
  listener.button = PointerButton;
  listener.axis = PointerAxis;
  return listener;
}
const wl_pointer_listener PointerListener = MakePointerListener();

void DropPointer(Seat& seat) {
  if (seat.pointer == nullptr) return;
  if (wl_proxy_get_version(reinterpret_cast<wl_proxy*>(seat.pointer)) >= WL_POINTER_RELEASE_SINCE_VERSION) {
    wl_pointer_release(seat.pointer);
  } else {
    wl_pointer_destroy(seat.pointer);
  }
  seat.pointer = nullptr;
}

void SeatCapabilities(void* data, wl_seat* wl, std::uint32_t capabilities) {
  auto* seat = static_cast<Seat*>(data);
  const bool pointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
  if (pointer && seat->pointer == nullptr) {
    seat->pointer = wl_seat_get_pointer(wl);
    wl_pointer_add_listener(seat->pointer, &PointerListener, seat);
  } else if (!pointer) {
    DropPointer(*seat);
  }
}
void SeatName(void*, wl_seat*, const char*) {}
const wl_seat_listener SeatListener = {SeatCapabilities, SeatName};

void DropSeat(Seat& seat) {
  DropPointer(seat);
  if (wl_proxy_get_version(reinterpret_cast<wl_proxy*>(seat.seat)) >= WL_SEAT_RELEASE_SINCE_VERSION) {
    wl_seat_release(seat.seat);
  } else {
    wl_seat_destroy(seat.seat);
  }
}

// ---- The registry ----

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
  } else if (is(zxdg_output_manager_v1_interface)) {
    // Names came with the second version.
    if (version < ZXDG_OUTPUT_V1_NAME_SINCE_VERSION || WaylandOutputNames != nullptr) return;
    Bind(registry, name, &zxdg_output_manager_v1_interface, version, 3, &WaylandOutputNames);
    for (Output& out : Outputs) NameOurOutput(out);
  } else if (is(wl_output_interface)) {
    // done came with the second version; without it nothing is known whole.
    if (version < WL_OUTPUT_DONE_SINCE_VERSION) return;
    Output& out = Outputs.emplace_back();
    out.global = name;
    Bind(registry, name, &wl_output_interface, version, WL_OUTPUT_RELEASE_SINCE_VERSION, &out.output);
    out.version = std::min(version, static_cast<std::uint32_t>(WL_OUTPUT_RELEASE_SINCE_VERSION));
    wl_output_add_listener(out.output, &OutputListener, &out);
    NameOurOutput(out);
  } else if (is(wl_seat_interface)) {
    Seat& seat = Seats.emplace_back();
    seat.global = name;
    Bind(registry, name, &wl_seat_interface, version, WL_POINTER_RELEASE_SINCE_VERSION, &seat.seat);
    wl_seat_add_listener(seat.seat, &SeatListener, &seat);
  } else if (std::strcmp(interface, "zwlr_layer_shell_v1") == 0) {
    WaylandLayerShellOffered = true;
  }
}

void GlobalRemove(void*, wl_registry*, std::uint32_t name) {
  for (auto it = Outputs.begin(); it != Outputs.end(); ++it) {
    if (it->global != name) continue;
    DropOutput(*it);
    Outputs.erase(it);
    Changed();
    return;
  }
  for (auto it = Seats.begin(); it != Seats.end(); ++it) {
    if (it->global != name) continue;
    DropSeat(*it);
    Seats.erase(it);
    return;
  }
}
const wl_registry_listener RegistryListener = {Global, GlobalRemove};

// ---- The names of GDK's outputs ----

void GdkOutputName(void* data, zxdg_output_v1*, const char* name) {
  auto* out = static_cast<OutputName*>(data);
  out->name = name;
  if (out->changed != nullptr) out->changed(out->data);
}
const zxdg_output_v1_listener GdkNameListener = {NamedPosition, NamedSize, NamedDone, GdkOutputName,
                                                 NamedDescription};

}  // namespace

bool BindWaylandGlobals(wl_display* display) {
  // On a queue of our own while the outputs and seats describe themselves,
  // so GDK's dispatching sees none of it.
  wl_event_queue* queue = wl_display_create_queue(display);
  Registry = wl_display_get_registry(display);
  wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(Registry), queue);
  wl_registry_add_listener(Registry, &RegistryListener, nullptr);
  wl_display_roundtrip_queue(display, queue);
  // The outputs' modes and names, the seats' capabilities.
  wl_display_roundtrip_queue(display, queue);
  // Later outputs and seats come on GDK's queue, with everything else.
  std::list<wl_proxy*> proxies = {reinterpret_cast<wl_proxy*>(Registry)};
  for (void* proxy : {static_cast<void*>(WaylandCompositor), static_cast<void*>(WaylandShm),
                      static_cast<void*>(WaylandSubcompositor), static_cast<void*>(WaylandViewporter),
                      static_cast<void*>(WaylandFractionalScales),
                      static_cast<void*>(WaylandShortcutsInhibitor), static_cast<void*>(WaylandOutputNames)}) {
    if (proxy != nullptr) proxies.push_back(static_cast<wl_proxy*>(proxy));
  }
  for (Output& out : Outputs) {
    proxies.push_back(reinterpret_cast<wl_proxy*>(out.output));
    if (out.named != nullptr) proxies.push_back(reinterpret_cast<wl_proxy*>(out.named));
  }
  for (Seat& seat : Seats) {
    proxies.push_back(reinterpret_cast<wl_proxy*>(seat.seat));
    if (seat.pointer != nullptr) proxies.push_back(reinterpret_cast<wl_proxy*>(seat.pointer));
  }
  for (wl_proxy* proxy : proxies) wl_proxy_set_queue(proxy, nullptr);
  wl_event_queue_destroy(queue);
  return WaylandCompositor != nullptr && WaylandShm != nullptr && WaylandSubcompositor != nullptr;
}

void TurnedSize(int transform, int* width, int* height) {
  // The odd transforms (90, 270, and their mirrored forms) are the quarter turns.
  if ((transform & 1) != 0) std::swap(*width, *height);
}

bool WaylandOutputPixels(const std::string& name, int* width, int* height) {
  const Output* found = nullptr;
  if (name.empty()) {
    // Unnamed only where the compositor names no output; else not yet.
    if (WaylandOutputNames == nullptr && Outputs.size() == 1) found = &Outputs.front();
  } else {
    for (const Output& out : Outputs) {
      if (out.name == name) found = &out;
    }
  }
  if (found == nullptr || !found->done || found->modeWidth <= 0 || found->modeHeight <= 0) return false;
  *width = found->modeWidth;
  *height = found->modeHeight;
  TurnedSize(found->transform, width, height);
  return true;
}

void AskOutputName(OutputName& out, wl_output* output, void (*changed)(void*), void* data) {
  out.changed = changed;
  out.data = data;
  if (WaylandOutputNames == nullptr || output == nullptr || out.asked != nullptr) return;
  out.asked = zxdg_output_manager_v1_get_xdg_output(WaylandOutputNames, output);
  zxdg_output_v1_add_listener(out.asked, &GdkNameListener, &out);
}

void ForgetOutputName(OutputName& out) {
  if (out.asked != nullptr) zxdg_output_v1_destroy(out.asked);
  out = OutputName{};
}

void DropWaylandPointers() {
  for (Seat& seat : Seats) DropPointer(seat);
}
