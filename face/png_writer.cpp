// The raster surface as an 8-bit RGB PNG: encoded in memory, then put in
// place whole by ReplaceFileAtomically.
#include "face/png_writer.h"

#include <png.h>
#include <sys/stat.h>

#include <cerrno>
#include <csetjmp>
#include <cstring>
#include <vector>

#include "common/atomic_replace_posix.h"

namespace {

void AppendData(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::string*>(png_get_io_ptr(png));
  out->append(reinterpret_cast<const char*>(data), length);
}

void FlushNothing(png_structp) {}

// libpng reports through longjmp; the encoder's one failure is running out
// of memory.
void IgnoreMessage(png_structp, png_const_charp) {}

// Encodes every row into `out`; false on any failure. Kept apart so no
// object with a destructor lives across the setjmp.
bool Encode(const RasterSurface& surface, std::string* out, png_bytep row) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, IgnoreMessage, IgnoreMessage);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, out, AppendData, FlushNothing);
  const int width = surface.Width();
  const int height = surface.Height();
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  // Mostly black frames: a fast level compresses them nearly as well.
  png_set_compression_level(png, 3);
  png_write_info(png, info);
  const std::uint32_t* pixels = surface.Pixels();
  for (int y = 0; y < height; ++y) {
    const std::uint32_t* source = pixels + static_cast<std::size_t>(y) * surface.Stride();
    for (int x = 0; x < width; ++x) {
      row[3 * x] = static_cast<png_byte>(source[x] >> 16);
      row[3 * x + 1] = static_cast<png_byte>(source[x] >> 8);
      row[3 * x + 2] = static_cast<png_byte>(source[x]);
    }
    png_write_row(png, row);
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

std::string Problem(const std::string& path, int error) {
  return "cannot write " + path + ": " + std::strerror(error != 0 ? error : EIO);
}

}  // namespace

bool WritePng(const RasterSurface& surface, const std::string& path, std::string* error) {
  if (surface.Width() <= 0 || surface.Height() <= 0) {
    *error = "cannot write " + path + ": the image is empty";
    return false;
  }
  std::string encoded;
  std::vector<png_byte> row(static_cast<std::size_t>(surface.Width()) * 3);
  if (!Encode(surface, &encoded, row.data())) {
    *error = Problem(path, ENOMEM);
    return false;
  }
  // An image gets the usual permissions of a new file.
  const mode_t mask = umask(0);
  umask(mask);
  if (ReplaceFileAtomically(path, encoded, 0666 & ~mask) == 0) {
    *error = Problem(path, errno);
    return false;
  }
  return true;
}
