// How a back buffer reaches an X window: through a shared-memory image where
// the server can attach one (MIT-SHM), a client-side image otherwise (a
// remote display), with the 0x00RRGGBB pixels converted to the window's
// visual on the way.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <cstddef>
#include <cstdint>
#include <span>

#include "face/surface.h"

class RasterSurface;

// One window's image, the size of its back buffer.
class FrameImage {
 public:
  FrameImage(Display* display, Window window, Visual* visual, int depth);
  FrameImage(const FrameImage&) = delete;
  FrameImage& operator=(const FrameImage&) = delete;
  ~FrameImage();

  // False when no image of that size can be made.
  bool Create(int width, int height);
  bool Shared() const { return shared_; }

  // True when the image holds 0x00RRGGBB pixels as the raster surface draws
  // them (a 24-bit visual in the machine's byte order): the surface can then
  // draw straight into `Pixels()` and nothing is copied or converted.
  bool TakesPixelsDirectly() const;
  std::uint32_t* Pixels() const;
  std::size_t StrideBytes() const;

  // Brings the rectangles `changed` of `surface`'s frame onto the window:
  // converted into the image first unless the surface draws into it, then
  // put, one request each. The next frame may write into the image at once.
  void Show(const RasterSurface& surface, std::span<const Rect> changed);
  // Puts the whole image again (the window was exposed).
  void ShowAgain();

 private:
  bool CreateShared(int width, int height);
  void Put(const Rect& area);
  void Release();

  Display* display_;
  Window window_;
  Visual* visual_;
  int depth_;
  XImage* image_ = nullptr;
  XShmSegmentInfo shm_{};
  bool shared_ = false;
  GC gc_ = nullptr;
};

// ---- The pixel conversion --------------------------------------------------

// Bits of a pixel of `image` that no colour uses (the alpha of a 32-bit
// visual): set in every pixel, so a compositor shows the face opaque.
std::uint32_t UnusedPixelBits(const XImage& image);

// The colour 0x00RRGGBB as a pixel of `image`: each channel scaled to the
// width of its mask and rounded, the unused bits set.
unsigned long PixelValue(const XImage& image, std::uint32_t rgb);

// Writes `count` pixels of 0x00RRGGBB from `source` into `image` at column
// `x` of row `row`, converted. A 32-bit image of the same layout in the
// machine's byte order takes them as they are.
void ConvertRow(XImage& image, const std::uint32_t* source, int x, int row, int count);
