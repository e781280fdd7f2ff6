#include "face/local_instant.h"

#include <cerrno>

#include "face/clock_source.h"
#include "face/frame.h"

bool ParseLocalInstant(std::string_view text, std::tm* out) {
  long fields[6];
  const char separators[6] = {'-', '-', ' ', ':', ':', 0};
  std::size_t pos = 0;
  for (int f = 0; f < 6; ++f) {
    const std::size_t start = pos;
    long value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
      value = value * 10 + (text[pos] - '0');
      ++pos;
      if (pos - start > (f == 0 ? 9u : 2u)) return false;
    }
    if (pos == start) return false;
    fields[f] = value;
    if (separators[f] != 0) {
      if (pos >= text.size() || text[pos] != separators[f]) return false;
      ++pos;
    }
  }
  if (pos != text.size()) return false;
  std::tm t{};
  t.tm_year = static_cast<int>(fields[0] - 1900);
  t.tm_mon = static_cast<int>(fields[1] - 1);
  t.tm_mday = static_cast<int>(fields[2]);
  t.tm_hour = static_cast<int>(fields[3]);
  t.tm_min = static_cast<int>(fields[4]);
  t.tm_sec = static_cast<int>(fields[5]);
  if (t.tm_mon < 0 || t.tm_mon > 11 || t.tm_mday < 1 || t.tm_mday > DaysInMonth(t) ||
      t.tm_hour > 23 || t.tm_min > 59 || t.tm_sec > 60) {
    return false;
  }
  *out = t;
  return true;
}

bool FrameTime(const std::tm& at, long long k, std::tm* out) {
  std::tm base = at;
  const bool leap = base.tm_sec == 60;
  if (leap) base.tm_sec = 59;
  base.tm_isdst = -1;
  errno = 0;
  const std::time_t t = std::mktime(&base);
  if (t == static_cast<std::time_t>(-1) && errno != 0) return false;
  if (leap && k == 0) {
    // The conversion has no 60th second: show the fields as given, with the
    // weekday of that day.
    *out = base;
    out->tm_sec = 60;
    return true;
  }
  return ToLocalTime(static_cast<long long>(t) + k, out);
}
