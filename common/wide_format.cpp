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

std::string Utf16ToUtf8(const char16_t* text, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < count && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string Utf16ToUtf8(const std::u16string& text) {
  return Utf16ToUtf8(text.data(), static_cast<int>(text.size()));
}

std::u16string Utf8ToUtf16(const std::string& text) {
  std::u16string out;
  std::size_t i = 0;
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  while (i < text.size()) {
    unsigned char b = byte(i);
    char32_t c = 0xFFFD;
    std::size_t len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    bool ok = len != 0 && i + len <= text.size();
    for (std::size_t k = 1; ok && k < len; ++k) ok = (byte(i + k) & 0xC0) == 0x80;
    if (ok) {
      c = len == 1 ? b : len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
      for (std::size_t k = 1; k < len; ++k) c = (c << 6) | (byte(i + k) & 0x3F);
      static const char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
      if (c < kMin[len] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = 0xFFFD;
      i += len;
    } else {
      ++i;
    }
    if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}
