// Any style, year and ring values the renderer can be handed: the texts stay
// in their buffers and the tables are never read past their ends.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ctime>

#include "face/clock_source.h"
#include "face/frame.h"
#include "face/layout.h"
#include "face/numerals.h"
#include "face/recording_surface.h"
#include "face/ring.h"
#include "face/themes.h"

namespace {

std::tm Instant;
bool ReadInstant(std::tm* out) {
  *out = Instant;
  return true;
}

template <typename T>
T Take(const std::uint8_t*& data, std::size_t& size) {
  T v{};
  const std::size_t n = size < sizeof(T) ? size : sizeof(T);
  std::memcpy(&v, data, n);
  data += n;
  size -= n;
  return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  RecordingSurface surface;
  surface.SetKeep(false);
  BackBufferDC = &surface;
  ClockSource = ReadInstant;

  NumeralTable = ChineseNumerals;
  SetStoredNumeralStyle(Take<std::int32_t>(data, size));
  ThemeIndex = Take<std::int8_t>(data, size);
  UpdateHighlightColor();
  const int height = 1 + (Take<std::uint16_t>(data, size) % 4096);
  ComputeLayout(Rect{0, 0, height * 16 / 9, height});

  Instant = std::tm{};
  Instant.tm_year = Take<std::int32_t>(data, size);
  Instant.tm_mon = Take<std::uint8_t>(data, size) % 12;
  Instant.tm_mday = 1 + Take<std::uint8_t>(data, size) % 31;
  Instant.tm_wday = Take<std::uint8_t>(data, size) % 7;
  Instant.tm_hour = Take<std::uint8_t>(data, size) % 24;
  Instant.tm_min = Take<std::uint8_t>(data, size) % 60;
  Instant.tm_sec = Take<std::uint8_t>(data, size) % 61;
  DrawFrame(Rect{0, 0, ClientWidth, ClientHeight});

  // One ring with values the frame never passes.
  const int current = Take<std::int8_t>(data, size);
  const int last = Take<std::int8_t>(data, size);
  const int first = Take<std::int8_t>(data, size);
  const int flags = Take<std::uint8_t>(data, size);
  if (last >= 1 && current >= -100 && first >= -100) {
    DrawRing(surface, 100, current, last, kMonthUnit, flags & 1, first, flags & 2);
  }
  FormatYear(Take<std::int64_t>(data, size));
  BackBufferDC = nullptr;
  return 0;
}
