#include "frame_image_x11.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <bit>
#include <cstdlib>
#include <cstring>

#include "face/raster_surface.h"
#include "x_errors_x11.h"

namespace {

unsigned long Scale(std::uint32_t value8, unsigned long mask) {
  if (mask == 0) return 0;
  const int shift = std::countr_zero(mask);
  const unsigned long top = mask >> shift;
  return ((value8 * top + 127) / 255) << shift;
}

unsigned long Convert(const XImage& image, std::uint32_t rgb, std::uint32_t unused) {
  return Scale((rgb >> 16) & 0xFF, image.red_mask) | Scale((rgb >> 8) & 0xFF, image.green_mask) |
         Scale(rgb & 0xFF, image.blue_mask) | unused;
}

bool TakesPixelsAsTheyAre(const XImage& image) {
  const bool native = (image.byte_order == LSBFirst) == (std::endian::native == std::endian::little);
  return image.bits_per_pixel == 32 && native && image.red_mask == 0xFF0000 &&
         image.green_mask == 0xFF00 && image.blue_mask == 0xFF;
}

}  // namespace

std::uint32_t UnusedPixelBits(const XImage& image) {
  const unsigned long masks = image.red_mask | image.green_mask | image.blue_mask;
  const unsigned long all = image.depth >= 32 ? 0xFFFFFFFFul : ((1ul << image.depth) - 1);
  return static_cast<std::uint32_t>(all & ~masks);
}

unsigned long PixelValue(const XImage& image, std::uint32_t rgb) {
  return Convert(image, rgb, UnusedPixelBits(image));
}

void ConvertRow(XImage& image, const std::uint32_t* source, int x, int row, int count) {
  const std::uint32_t unused = UnusedPixelBits(image);
  if (TakesPixelsAsTheyAre(image)) {
    auto* target = reinterpret_cast<std::uint32_t*>(
                       image.data + static_cast<std::size_t>(row) * image.bytes_per_line) + x;
    if (unused == 0) {
      std::memcpy(target, source, static_cast<std::size_t>(count) * 4);
    } else {
      for (int i = 0; i < count; ++i) target[i] = source[i] | unused;
    }
    return;
  }
  for (int i = 0; i < count; ++i) XPutPixel(&image, x + i, row, Convert(image, source[i], unused));
}

FrameImage::FrameImage(Display* display, Window window, Visual* visual, int depth)
    : display_(display), window_(window), visual_(visual), depth_(depth) {}

FrameImage::~FrameImage() { Release(); }

bool FrameImage::Create(int width, int height) {
  gc_ = XCreateGC(display_, window_, 0, nullptr);
  if (XShmQueryExtension(display_)) shared_ = CreateShared(width, height);
  if (!shared_) {
    image_ = XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0, nullptr,
                          static_cast<unsigned>(width), static_cast<unsigned>(height), 32, 0);
    if (image_ == nullptr) return false;
    image_->data = static_cast<char*>(
        std::malloc(static_cast<std::size_t>(image_->bytes_per_line) * static_cast<std::size_t>(height)));
    if (image_->data == nullptr) {
      XDestroyImage(image_);
      image_ = nullptr;
      return false;
    }
  }
  return true;
}

void FrameImage::Show(const RasterSurface& surface, int x, int y, int width, int height) {
  if (image_ == nullptr) return;
  if (x < 0) width += x, x = 0;
  if (y < 0) height += y, y = 0;
  if (width > image_->width - x) width = image_->width - x;
  if (height > image_->height - y) height = image_->height - y;
  if (width > surface.Width() - x) width = surface.Width() - x;
  if (height > surface.Height() - y) height = surface.Height() - y;
  if (width <= 0 || height <= 0) return;
  const std::uint32_t* pixels = surface.Pixels();
  for (int row = y; row < y + height; ++row) {
    ConvertRow(*image_, pixels + static_cast<std::size_t>(row) * surface.Width() + x, x, row, width);
  }
  if (shared_) {
    XShmPutImage(display_, window_, gc_, image_, x, y, x, y, static_cast<unsigned>(width),
                 static_cast<unsigned>(height), False);
    // The server reads the segment after the request; the next frame may
    // only write into it once that is done.
    XSync(display_, False);
  } else {
    XPutImage(display_, window_, gc_, image_, x, y, x, y, static_cast<unsigned>(width),
              static_cast<unsigned>(height));
    XFlush(display_);
  }
}

void FrameImage::Release() {
  if (image_ != nullptr) {
    if (shared_) {
      XShmDetach(display_, &shm_);
      XSync(display_, False);
      shmdt(shm_.shmaddr);
      image_->data = nullptr;
    }
    XDestroyImage(image_);
    image_ = nullptr;
  }
  if (gc_ != nullptr) {
    XFreeGC(display_, gc_);
    gc_ = nullptr;
  }
}

bool FrameImage::CreateShared(int width, int height) {
  image_ = XShmCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, nullptr, &shm_,
                           static_cast<unsigned>(width), static_cast<unsigned>(height));
  if (image_ == nullptr) return false;
  shm_.shmid = shmget(IPC_PRIVATE,
                      static_cast<std::size_t>(image_->bytes_per_line) * static_cast<std::size_t>(height),
                      IPC_CREAT | 0600);
  if (shm_.shmid < 0) {
    XDestroyImage(image_);
    image_ = nullptr;
    return false;
  }
  shm_.shmaddr = static_cast<char*>(shmat(shm_.shmid, nullptr, 0));
  if (shm_.shmaddr == reinterpret_cast<char*>(-1)) {
    shmctl(shm_.shmid, IPC_RMID, nullptr);
    XDestroyImage(image_);
    image_ = nullptr;
    return false;
  }
  image_->data = shm_.shmaddr;
  shm_.readOnly = False;
  BeginChecked();
  XShmAttach(display_, &shm_);
  const bool attached = !CheckedFailed();
  // Marked for removal now, so the segment goes with the last detach even
  // if the process is killed.
  shmctl(shm_.shmid, IPC_RMID, nullptr);
  if (!attached) {
    shmdt(shm_.shmaddr);
    image_->data = nullptr;
    XDestroyImage(image_);
    image_ = nullptr;
  }
  return attached;
}
