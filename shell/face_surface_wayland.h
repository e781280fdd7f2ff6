// A face's pixels on a Wayland output: a sub-surface laid over the output's
// window, shown from two shared-memory buffers used in turn at the output's
// device size. The raster surface draws straight into the free buffer and
// hands it over with only the rectangles that changed, so a second's frame
// costs the compositor a few small copies.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "face/ink_record.h"
#include "face/raster_surface.h"

struct wl_buffer;
struct wl_subsurface;
struct wl_surface;
struct wp_fractional_scale_v1;
struct wp_viewport;

struct FaceBuffer {
  wl_buffer* buffer = nullptr;
  std::uint32_t* pixels = nullptr;
  bool busy = false;  // the compositor may still read it
  bool fresh = true;  // not yet shown: the compositor has none of it
  InkRecord ink;      // where it holds ink, for the raster surface
};

struct FaceSurface {
  wl_surface* parent = nullptr;  // the window's own surface
  wl_surface* surface = nullptr;
  wl_subsurface* subsurface = nullptr;
  wp_viewport* viewport = nullptr;  // only once a scale that is not whole asks for it
  wp_fractional_scale_v1* fractional = nullptr;
  int preferredScale120 = 0;  // the compositor's wish, in 120ths; 0 until it says
  void (*scaleChanged)(void* data) = nullptr;
  void* scaleChangedData = nullptr;

  int logicalWidth = 0;  // the window's size in surface units
  int logicalHeight = 0;
  int deviceWidth = 0;  // the buffers' size
  int deviceHeight = 0;
  int bufferScale = 0;  // the buffers' whole scale; 0 when a viewport shows them
  FaceBuffer buffers[2];
  void* memory = nullptr;
  std::size_t memoryBytes = 0;
  std::unique_ptr<RasterSurface> raster;  // draws into the buffer of the round
  FaceBuffer* drawing = nullptr;  // the buffer of the round
  FaceBuffer* shown = nullptr;    // the buffer last handed over
};

// The size in device pixels of `logical` surface units at `scale120`/120,
// rounded half away from zero as fractional scaling asks.
int DevicePixels(int logical, int scale120);

// Lays the face's sub-surface over `parent` (a window's surface made anew
// drops the old one first). `scaleChanged(data)` is called when the
// compositor asks for another fractional scale.
void AttachFaceSurface(FaceSurface& face, wl_surface* parent, void (*scaleChanged)(void*), void* data);

// The device pixels of a window of `window` surface units on an output of
// `outputLogical` units and `outputPixels` device pixels: the whole output
// is its pixels exactly, a part of it its share of them.
int WindowDevicePixels(int window, int outputLogical, int outputPixels);

// Sizes the face for a window of `logicalWidth` x `logicalHeight`: at the
// compositor's fractional wish where it made one; else at `deviceWidth` x
// `deviceHeight` (0 when unknown: the output's mode tells them) shown
// through a viewport; else at the whole `scale120`/120 as a buffer scale.
// New buffers and a new raster surface when the device size or the way of
// showing them changed. True when they did: the face must be laid out and
// drawn whole.
bool SizeFaceSurface(FaceSurface& face, int logicalWidth, int logicalHeight, int scale120,
                     int deviceWidth, int deviceHeight);

// The raster surface aimed at a free buffer for the next frame, or null when
// the compositor still holds both (the face then skips a round) or there is
// no buffer at all.
RasterSurface* NextFaceTarget(FaceSurface& face);

// Frees the sub-surface, its buffers and the raster surface.
void DropFaceSurface(FaceSurface& face);
