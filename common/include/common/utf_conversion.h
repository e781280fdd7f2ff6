// UTF-16, the program's text, to and from UTF-8, the text of file names,
// fontconfig, GTK and the terminal. Malformed input becomes U+FFFD.
#pragma once

#include <string>

// The code point that starts at `text[*i]` (of `count` units), moving `*i`
// past it. A surrogate without its partner reads as U+FFFD.
char32_t NextCodePoint(const char16_t* text, int count, int* i);

std::string Utf16ToUtf8(const char16_t* text, int count);
std::string Utf16ToUtf8(const std::u16string& text);
std::u16string Utf8ToUtf16(const std::string& text);
