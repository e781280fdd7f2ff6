// How a back buffer reaches an X window: through a shared-memory image where
// the server can attach one (MIT-SHM), a client-side image otherwise (a
// remote display), with the 0x00RRGGBB pixels converted to the window's
// visual on the way.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <cstdint>

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

  // Copies a rectangle of `surface` into the image and onto the window.
  void Show(const RasterSurface& surface, int x, int y, int width, int height);

 private:
  bool CreateShared(int width, int height);
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
