#include "frame_image_x11.h"

#include <X11/Xutil.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
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

bool FrameImage::TakesPixelsDirectly() const {
  return image_ != nullptr && TakesPixelsAsTheyAre(*image_) && UnusedPixelBits(*image_) == 0;
}

std::uint32_t* FrameImage::Pixels() const {
  return image_ != nullptr ? reinterpret_cast<std::uint32_t*>(image_->data) : nullptr;
}

std::size_t FrameImage::StrideBytes() const {
  return image_ != nullptr ? static_cast<std::size_t>(image_->bytes_per_line) : 0;
}

void FrameImage::Show(const RasterSurface& surface, std::span<const Rect> changed) {
  if (image_ == nullptr || changed.empty()) return;
  const bool direct = surface.Pixels() == Pixels();
  const std::uint32_t* pixels = surface.Pixels();
  const std::size_t stride = static_cast<std::size_t>(surface.Stride());
  for (Rect area : changed) {
    area.left = std::max(area.left, 0);
    area.top = std::max(area.top, 0);
    area.right = std::min({area.right, image_->width, surface.Width()});
    area.bottom = std::min({area.bottom, image_->height, surface.Height()});
    if (area.right <= area.left || area.bottom <= area.top) continue;
    if (!direct) {
      for (int row = area.top; row < area.bottom; ++row) {
        ConvertRow(*image_, pixels + static_cast<std::size_t>(row) * stride + area.left, area.left, row,
                   area.right - area.left);
      }
    }
    Put(area);
  }
  if (shared_) {
    // The server reads the segment after the requests; the next frame may
    // only write into it once that is done.
    XSync(display_, False);
  } else {
    XFlush(display_);
  }
}

void FrameImage::ShowAgain() {
  if (image_ == nullptr) return;
  Put(Rect{0, 0, image_->width, image_->height});
  if (shared_) {
    XSync(display_, False);
  } else {
    XFlush(display_);
  }
}

void FrameImage::Put(const Rect& area) {
  const auto width = static_cast<unsigned>(area.right - area.left);
  const auto height = static_cast<unsigned>(area.bottom - area.top);
  if (shared_) {
    XShmPutImage(display_, window_, gc_, image_, area.left, area.top, area.left, area.top, width, height,
                 False);
  } else {
    XPutImage(display_, window_, gc_, image_, area.left, area.top, area.left, area.top, width, height);
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
