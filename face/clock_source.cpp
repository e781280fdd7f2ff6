#include "face/clock_source.h"

#include <cstring>
#include <time.h>

bool ToLocalTime(long long seconds, std::tm* out) {
  std::memset(out, 0, sizeof(*out));
#ifdef _WIN32
  const __time64_t t = seconds;
  return _localtime64_s(out, &t) == 0;
#else
  const std::time_t t = static_cast<std::time_t>(seconds);
  if (static_cast<long long>(t) != seconds) return false;
  return localtime_r(&t, out) != nullptr;
#endif
}

bool ReadSystemClock(std::tm* out) {
  // The zone is read again for every frame, so a change of the system's zone
  // while the saver runs shows at once; the conversion alone keeps the zone
  // it met first.
#ifdef _WIN32
  _tzset();
#else
  tzset();
#endif
  return ToLocalTime(static_cast<long long>(std::time(nullptr)), out);
}
