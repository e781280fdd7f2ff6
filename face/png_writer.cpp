// The raster surface as an 8-bit RGB PNG, written under a temporary name in
// the target's folder and renamed over the target only when complete.
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include "face/png_writer.h"

namespace {

struct WriteTarget {
  std::FILE* file = nullptr;
  int error = 0;  // errno of the first failed write
};

void WriteData(png_structp png, png_bytep data, png_size_t length) {
  auto* target = static_cast<WriteTarget*>(png_get_io_ptr(png));
  if (std::fwrite(data, 1, length, target->file) != length) {
    target->error = errno != 0 ? errno : EIO;
    png_error(png, "write failed");
  }
}

void FlushData(png_structp png) {
  auto* target = static_cast<WriteTarget*>(png_get_io_ptr(png));
  if (std::fflush(target->file) != 0) {
    target->error = errno != 0 ? errno : EIO;
    png_error(png, "write failed");
  }
}

// libpng reports through longjmp; the message comes from errno instead.
void IgnoreMessage(png_structp, png_const_charp) {}

// Encodes every row; false on any failure, with errno in `target` when a
// write failed. Kept apart so no object with a destructor lives across the
// setjmp.
bool Encode(const RasterSurface& surface, WriteTarget* target, png_bytep row) {
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
  png_set_write_fn(png, target, WriteData, FlushData);
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
    const std::uint32_t* source = pixels + static_cast<std::size_t>(y) * width;
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
  std::string temporary = path + ".tmp-XXXXXX";
  std::vector<char> name(temporary.begin(), temporary.end());
  name.push_back('\0');
  const int fd = mkstemp(name.data());
  if (fd < 0) {
    *error = Problem(path, errno);
    return false;
  }
  temporary = name.data();
  // mkstemp makes the file private; the image gets the usual permissions.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);

  WriteTarget target;
  target.file = fdopen(fd, "wb");
  if (target.file == nullptr) {
    const int saved = errno;
    close(fd);
    unlink(temporary.c_str());
    *error = Problem(path, saved);
    return false;
  }
  std::vector<png_byte> row(static_cast<std::size_t>(surface.Width()) * 3);
  bool ok = Encode(surface, &target, row.data());
  int failure = target.error;
  if (ok && (std::fflush(target.file) != 0 || fsync(fileno(target.file)) != 0)) {
    ok = false;
    failure = errno;
  }
  if (std::fclose(target.file) != 0 && ok) {
    ok = false;
    failure = errno;
  }
  if (ok && std::rename(temporary.c_str(), path.c_str()) != 0) {
    ok = false;
    failure = errno;
  }
  if (!ok) {
    unlink(temporary.c_str());
    *error = Problem(path, failure);
    return false;
  }
  return true;
}
