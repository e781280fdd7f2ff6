// Bounded formatting of UTF-16 text with the conversions the program uses:
// "%d" (signed decimal), "%u" (unsigned decimal), "%s" (a text) and "%2s"
// (a text right-aligned in a field of two), plus "%%".
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

struct FormatArg {
  FormatArg(int v) : number(v) {}
  FormatArg(long v) : number(v) {}
  FormatArg(long long v) : number(v) {}
  FormatArg(unsigned v) : number(static_cast<long long>(v)) {}
  FormatArg(const char16_t* s) : text(s ? s : u""), isText(true) {}
  long long number = 0;
  const char16_t* text = u"";
  bool isText = false;
};

// Writes at most `count` units of the formatted text into `dest`. Returns the
// number of units written and adds a terminator when the text is shorter than
// `count`; returns -1 when the whole text does not fit in `count` units (the
// first `count` units are written, unterminated).
int FormatWideCount(char16_t* dest, std::size_t count, const char16_t* format,
                    std::initializer_list<FormatArg> args);

// Formats into a buffer of `capacity` units, always terminated, truncated when
// the text is longer. Returns the length of what was stored.
int FormatWide(char16_t* dest, std::size_t capacity, const char16_t* format,
               std::initializer_list<FormatArg> args);

template <std::size_t N>
int FormatWide(char16_t (&dest)[N], const char16_t* format, std::initializer_list<FormatArg> args) {
  return FormatWide(dest, N, format, args);
}

// Length of a terminated UTF-16 text.
int WideLength(const char16_t* text);
