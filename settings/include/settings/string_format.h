// Bounded UTF-16 formatting with the results of the Windows SDK's safe string
// functions: the destination always ends terminated and is never overrun.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "common/wide_format.h"

using HResult = std::int32_t;
inline constexpr HResult kSOk = 0;
inline constexpr HResult kEInvalidArg = static_cast<HResult>(0x80070057u);
inline constexpr HResult kStrSafeEInsufficientBuffer = static_cast<HResult>(0x8007007Au);

// The largest capacity accepted, in UTF-16 units including the terminator.
inline constexpr std::size_t kStrSafeMaxCch = 2147483647;

// Formats into `destination` of `capacity` units. kEInvalidArg leaves it
// untouched (capacity 0 or above kStrSafeMaxCch); kStrSafeEInsufficientBuffer
// leaves the text truncated to capacity - 1 units and terminated.
HResult StringCchPrintfW(char16_t* destination, std::size_t capacity, const char16_t* format,
                         std::initializer_list<FormatArg> args);
