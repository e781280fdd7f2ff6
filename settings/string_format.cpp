#include "settings/string_format.h"

HResult StringCchPrintfW(char16_t* destination, std::size_t capacity, const char16_t* format,
                         std::initializer_list<FormatArg> args) {
  if (capacity == 0 || capacity > kStrSafeMaxCch) return kEInvalidArg;
  const std::size_t room = capacity - 1;
  const int count = FormatWideCount(destination, room, format, args);
  if (count < 0 || static_cast<std::size_t>(count) > room) {
    destination[room] = 0;
    return kStrSafeEInsufficientBuffer;
  }
  // The formatter leaves an exact fit unterminated.
  if (static_cast<std::size_t>(count) == room) destination[room] = 0;
  return kSOk;
}
