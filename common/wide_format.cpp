#include "common/wide_format.h"

namespace {

// Appends to a bounded output; remembers whether anything was cut off.
struct Writer {
  char16_t* dest;
  std::size_t count;
  std::size_t length = 0;
  bool overflow = false;

  void Put(char16_t c) {
    if (length < count) {
      dest[length++] = c;
    } else {
      overflow = true;
    }
  }
};

void PutDecimal(Writer& out, long long value, bool asUnsigned) {
  char16_t digits[24];
  int n = 0;
  unsigned long long magnitude;
  if (asUnsigned) {
    magnitude = static_cast<unsigned long long>(value);
  } else if (value < 0) {
    out.Put(u'-');
    magnitude = 0ULL - static_cast<unsigned long long>(value);
  } else {
    magnitude = static_cast<unsigned long long>(value);
  }
  do {
    digits[n++] = static_cast<char16_t>(u'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  while (n > 0) out.Put(digits[--n]);
}

}  // namespace

int WideLength(const char16_t* text) {
  int n = 0;
  if (text == nullptr) return 0;
  while (text[n] != 0) ++n;
  return n;
}

int FormatWideCount(char16_t* dest, std::size_t count, const char16_t* format,
                    std::initializer_list<FormatArg> args) {
  Writer out{dest, count};
  auto arg = args.begin();
  for (const char16_t* p = format; *p != 0; ++p) {
    if (*p != u'%') {
      out.Put(*p);
      continue;
    }
    ++p;
    int width = 0;
    while (*p >= u'0' && *p <= u'9') width = width * 10 + (*p++ - u'0');
    if (*p == 0) break;
    if (*p == u'%') {
      out.Put(u'%');
      continue;
    }
    FormatArg value = arg != args.end() ? *arg++ : FormatArg(0);
    if (*p == u'd' || *p == u'u') {
      PutDecimal(out, value.isText ? 0 : value.number, *p == u'u');
    } else if (*p == u's') {
      const char16_t* s = value.isText ? value.text : u"";
      for (int pad = width - WideLength(s); pad > 0; --pad) out.Put(u' ');
      for (; *s != 0; ++s) out.Put(*s);
    }
  }
  if (out.overflow) return -1;
  if (out.length < count) dest[out.length] = 0;
  return static_cast<int>(out.length);
}

int FormatWide(char16_t* dest, std::size_t capacity, const char16_t* format,
               std::initializer_list<FormatArg> args) {
  if (capacity == 0) return 0;
  int n = FormatWideCount(dest, capacity - 1, format, args);
  if (n < 0) n = static_cast<int>(capacity - 1);
  dest[n] = 0;
  return n;
}
