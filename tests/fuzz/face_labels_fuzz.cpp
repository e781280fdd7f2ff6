// Any style, year and ring values the renderer can be handed: the texts stay
// in their buffers and the tables are never read past their ends.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <ctime>

#include "face/frame.h"
#include "face/layout.h"
#include "face/numerals.h"
#include "face/recording_surface.h"
#include "face/ring.h"
#include "face/themes.h"

namespace {

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

  FaceLook look;
  look.NumeralStyle = StoredNumeralStyle(Take<std::int32_t>(data, size));
  look.ThemeIndex = Take<std::int8_t>(data, size);
  UpdateHighlightColor(look);
  const int height = 1 + (Take<std::uint16_t>(data, size) % 4096);
  const FaceLayout layout = ComputeLayout(height * 16 / 9, height, look.NumeralStyle);

  std::tm instant{};
  instant.tm_year = Take<std::int32_t>(data, size);
  instant.tm_mon = Take<std::uint8_t>(data, size) % 12;
  instant.tm_mday = 1 + Take<std::uint8_t>(data, size) % 31;
  instant.tm_wday = Take<std::uint8_t>(data, size) % 7;
  instant.tm_hour = Take<std::uint8_t>(data, size) % 24;
  instant.tm_min = Take<std::uint8_t>(data, size) % 60;
  instant.tm_sec = Take<std::uint8_t>(data, size) % 61;
  DrawFrame(surface, layout, look, &instant);

  // One ring with values the frame never passes.
  const int current = Take<std::int8_t>(data, size);
  const int last = Take<std::int8_t>(data, size);
  const int first = Take<std::int8_t>(data, size);
  const int flags = Take<std::uint8_t>(data, size);
  if (last >= 1 && current >= -100 && first >= -100) {
    const NumeralStyleRow style = NumeralStyleFor(look.NumeralStyle);
    RingWork work;
    DrawRing(RingPen{surface, layout, look, style, work},
             RingSpec{.radius = 100, .current = current, .first = first, .last = last,
                      .unit = kMonthUnit, .fadeDown = (flags & 1) != 0,
                      .weekdayRing = (flags & 2) != 0});
  }
  char16_t year[kYearTextSize];
  FormatYear(year, NumeralStyleFor(look.NumeralStyle), Take<std::int64_t>(data, size));
  return 0;
}
