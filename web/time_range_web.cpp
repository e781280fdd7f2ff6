// The C library here converts local times through the browser's Date into a
// 32-bit time_t (1901-12-13 to 2038-01-19 UTC). Beyond that range its mktime
// answers a wrapped-around time as if it were right (year 275759 as 1922);
// here it fails instead, as it does natively beyond its range, so the face
// shows a black frame rather than a wrong date. Linked with --wrap=mktime.
#include <cerrno>
#include <cstdint>
#include <ctime>

extern "C" {

std::time_t __real_mktime(std::tm* time);

std::time_t __wrap_mktime(std::tm* time) {
  // Days from 1970 of the fields as given (months carried into the year),
  // by the Gregorian rule; a day kept free each side for the zone's offset.
  long long year = static_cast<long long>(time->tm_year) + 1900 + time->tm_mon / 12;
  long long month = time->tm_mon % 12;
  if (month < 0) month += 12, --year;
  const long long y = month < 2 ? year - 1 : year;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yearOfEra = y - era * 400;
  const long long dayOfYear = (153 * (month < 2 ? month + 10 : month - 2) + 2) / 5 + time->tm_mday - 1;
  const long long days = era * 146097 + yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear - 719468;
  const long long seconds = days * 86400 + time->tm_hour * 3600LL + time->tm_min * 60LL + time->tm_sec;
  if (seconds < static_cast<long long>(INT32_MIN) + 86400 || seconds > static_cast<long long>(INT32_MAX) - 86400) {
    errno = EOVERFLOW;
    return static_cast<std::time_t>(-1);
  }
  return __real_mktime(time);
}

}  // extern "C"
