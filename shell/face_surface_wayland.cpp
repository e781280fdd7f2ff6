#include "face_surface_wayland.h"

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cstring>
#include <span>

#include "fractional-scale-v1-client-protocol.h"
#include "viewporter-client-protocol.h"
#include "wayland_globals.h"

namespace {

void Released(void* data, wl_buffer*) { static_cast<FaceBuffer*>(data)->busy = false; }
const wl_buffer_listener BufferListener = {Released};

void PreferredScale(void* data, wp_fractional_scale_v1*, std::uint32_t scale120) {
  auto* face = static_cast<FaceSurface*>(data);
  if (static_cast<int>(scale120) == face->preferredScale120) return;
  face->preferredScale120 = static_cast<int>(scale120);
  if (face->scaleChanged != nullptr) face->scaleChanged(face->scaleChangedData);
}
const wp_fractional_scale_v1_listener FractionalListener = {PreferredScale};

void DropBuffers(FaceSurface& face) {
  face.drawing = nullptr;
  face.shown = nullptr;
  for (FaceBuffer& b : face.buffers) {
    if (b.buffer != nullptr) wl_buffer_destroy(b.buffer);
    b.buffer = nullptr;
    b.pixels = nullptr;
    b.busy = false;
    b.fresh = true;
    b.ink = InkRecord{};
  }
  if (face.memory != nullptr) munmap(face.memory, face.memoryBytes);
  face.memory = nullptr;
  face.memoryBytes = 0;
}

// Two XRGB8888 buffers of width x height in one shared pool: the byte order
// of 0x00RRGGBB, the raster surface's own.
bool MakeBuffers(FaceSurface& face, int width, int height) {
  DropBuffers(face);
  const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
  if (bytes == 0 || bytes * 2 > static_cast<std::size_t>(INT32_MAX)) return false;
  const int fd = memfd_create("orbidial-face", MFD_CLOEXEC);
  if (fd < 0) return false;
  void* memory = MAP_FAILED;
  if (ftruncate(fd, static_cast<off_t>(bytes * 2)) == 0) {
    memory = mmap(nullptr, bytes * 2, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  }
  if (memory == MAP_FAILED) {
    close(fd);
    return false;
  }
  face.memory = memory;
  face.memoryBytes = bytes * 2;
  wl_shm_pool* pool = wl_shm_create_pool(WaylandShm, fd, static_cast<std::int32_t>(bytes * 2));
  for (int i = 0; i < 2; ++i) {
    FaceBuffer& b = face.buffers[i];
    b.buffer = wl_shm_pool_create_buffer(pool, static_cast<std::int32_t>(bytes) * i, width, height,
                                         width * 4, WL_SHM_FORMAT_XRGB8888);
    b.pixels = reinterpret_cast<std::uint32_t*>(static_cast<char*>(memory) + bytes * i);
    wl_buffer_add_listener(b.buffer, &BufferListener, &b);
  }
  wl_shm_pool_destroy(pool);
  close(fd);
  return true;
}

// The frame drawn into the round's buffer goes to the compositor with the
// rectangles that changed; none changed, nothing is sent.
void Present(FaceSurface& face, std::span<const Rect> changed) {
  FaceBuffer* drawn = face.drawing;
  face.drawing = nullptr;
  if (drawn == nullptr || face.surface == nullptr || (changed.empty() && !drawn->fresh)) return;
  if (drawn->fresh || WaylandCompositorVersion < kDamageBufferVersion) {
    // A new buffer is new throughout, whatever it shares with the old one.
    wl_surface_damage(face.surface, 0, 0, INT32_MAX, INT32_MAX);
    drawn->fresh = false;
  } else {
    for (const Rect& r : changed) {
      wl_surface_damage_buffer(face.surface, r.left, r.top, r.right - r.left, r.bottom - r.top);
    }
  }
  wl_surface_attach(face.surface, drawn->buffer, 0, 0);
  wl_surface_commit(face.surface);
  drawn->busy = true;
  face.shown = drawn;
}

}  // namespace

int DevicePixels(int logical, int scale120) {
  const long long scaled = static_cast<long long>(logical) * scale120;
  return static_cast<int>((scaled + 60) / 120);
}

void AttachFaceSurface(FaceSurface& face, wl_surface* parent, void (*scaleChanged)(void*), void* data) {
  face.scaleChanged = scaleChanged;
  face.scaleChangedData = data;
  if (parent == face.parent && face.surface != nullptr) return;
  DropFaceSurface(face);
  face.parent = parent;
  face.surface = wl_compositor_create_surface(WaylandCompositor);
  face.subsurface = wl_subcompositor_get_subsurface(WaylandSubcompositor, face.surface, parent);
  // Frames come on the face's own commits, never waiting for GTK's.
  wl_subsurface_set_desync(face.subsurface);
  // Clicks and the wheel go through to the window underneath.
  wl_region* none = wl_compositor_create_region(WaylandCompositor);
  wl_surface_set_input_region(face.surface, none);
  wl_region_destroy(none);
  if (WaylandFractionalScales != nullptr) {
    face.fractional = wp_fractional_scale_manager_v1_get_fractional_scale(WaylandFractionalScales, face.surface);
    wp_fractional_scale_v1_add_listener(face.fractional, &FractionalListener, &face);
  }
}

int WindowDevicePixels(int window, int outputLogical, int outputPixels) {
  if (outputLogical <= 0) return outputPixels;
  const long long scaled = static_cast<long long>(window) * outputPixels;
  return static_cast<int>((scaled + outputLogical / 2) / outputLogical);
}

bool SizeFaceSurface(FaceSurface& face, int logicalWidth, int logicalHeight, int scale120,
                     int deviceWidth, int deviceHeight) {
  if (face.surface == nullptr || logicalWidth <= 0 || logicalHeight <= 0) return false;
  int width = 0, height = 0, bufferScale = 0;
  if (face.preferredScale120 > 0 && WaylandViewporter != nullptr) {
    width = DevicePixels(logicalWidth, face.preferredScale120);
    height = DevicePixels(logicalHeight, face.preferredScale120);
    if (face.preferredScale120 % 120 == 0) bufferScale = face.preferredScale120 / 120;
  } else if (deviceWidth > 0 && deviceHeight > 0 && WaylandViewporter != nullptr) {
    width = deviceWidth;
    height = deviceHeight;
  } else {
    // Without a viewport only whole scales can be shown, as buffer scales.
    bufferScale = std::max(1, scale120 / 120);
    width = logicalWidth * bufferScale;
    height = logicalHeight * bufferScale;
  }
  // A whole multiple of the window is shown as a buffer scale, with or
  // without a viewport: the same pixels, the compositor's plainest path.
  if (bufferScale == 0 && width % logicalWidth == 0 && height % logicalHeight == 0 &&
      width / logicalWidth == height / logicalHeight) {
    bufferScale = width / logicalWidth;
  }
  if (logicalWidth == face.logicalWidth && logicalHeight == face.logicalHeight && width == face.deviceWidth &&
      height == face.deviceHeight && bufferScale == face.bufferScale && face.raster != nullptr) {
    return false;
  }
  face.logicalWidth = logicalWidth;
  face.logicalHeight = logicalHeight;
  face.deviceWidth = width;
  face.deviceHeight = height;
  face.bufferScale = bufferScale;
  face.raster.reset();
  if (!MakeBuffers(face, width, height)) return true;
  if (bufferScale > 0) {
    if (face.viewport != nullptr) wp_viewport_set_destination(face.viewport, -1, -1);
    wl_surface_set_buffer_scale(face.surface, bufferScale);
  } else {
    if (face.viewport == nullptr) face.viewport = wp_viewporter_get_viewport(WaylandViewporter, face.surface);
    wl_surface_set_buffer_scale(face.surface, 1);
    wp_viewport_set_destination(face.viewport, logicalWidth, logicalHeight);
  }
  wl_region* opaque = wl_compositor_create_region(WaylandCompositor);
  wl_region_add(opaque, 0, 0, logicalWidth, logicalHeight);
  wl_surface_set_opaque_region(face.surface, opaque);
  wl_region_destroy(opaque);
  face.raster = std::make_unique<RasterSurface>(width, height);
  FaceSurface* shown = &face;
  face.raster->SetDamagePresenter([shown](std::span<const Rect> changed) { Present(*shown, changed); });
  return true;
}

RasterSurface* NextFaceTarget(FaceSurface& face) {
  face.drawing = nullptr;
  if (face.raster == nullptr) return nullptr;
  // The buffer shown last, once let go of, holds the frame on screen: the
  // next differs from it least.
  FaceBuffer* free = nullptr;
  for (FaceBuffer& b : face.buffers) {
    if (b.buffer != nullptr && !b.busy && (free == nullptr || &b == face.shown)) free = &b;
  }
  if (free == nullptr) return nullptr;
  face.raster->SetTarget(free->pixels, static_cast<std::size_t>(face.raster->Width()) * 4, &free->ink);
  face.drawing = free;
  return face.raster.get();
}

void DropFaceSurface(FaceSurface& face) {
  face.raster.reset();
  DropBuffers(face);
  if (face.viewport != nullptr) wp_viewport_destroy(face.viewport);
  if (face.fractional != nullptr) wp_fractional_scale_v1_destroy(face.fractional);
  if (face.subsurface != nullptr) wl_subsurface_destroy(face.subsurface);
  if (face.surface != nullptr) wl_surface_destroy(face.surface);
  face.viewport = nullptr;
  face.fractional = nullptr;
  face.subsurface = nullptr;
  face.surface = nullptr;
  face.parent = nullptr;
  face.preferredScale120 = 0;
  face.logicalWidth = face.logicalHeight = 0;
  face.deviceWidth = face.deviceHeight = face.bufferScale = 0;
}
