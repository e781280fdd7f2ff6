// The file version, from the build (Windows keeps the same number in the
// program's version resource).
#include "settings/about_dialog.h"
#include "settings/string_format.h"

#ifndef ORBIDIAL_VERSION_TEXT
#error "the build gives the program's version as ORBIDIAL_VERSION_TEXT"
#endif

char16_t VersionText[kVersionTextSize] = {};

int ParseFileVersion(const char* text, unsigned (&parts)[4]) {
  for (int i = 0; i < 4; ++i) {
    unsigned long value = 0;
    int digits = 0;
    for (; *text >= '0' && *text <= '9'; ++text, ++digits) {
      value = value * 10 + static_cast<unsigned long>(*text - '0');
      if (value > 0xFFFF) return 0;
    }
    if (digits == 0 || *text != (i < 3 ? '.' : '\0')) return 0;
    if (i < 3) ++text;
    parts[i] = static_cast<unsigned>(value);
  }
  return 1;
}

// Windows reads the number from the program's version resource instead
// (about_dialog_win32.cpp).
#ifndef _WIN32
int ReadFileVersion() {
  unsigned parts[4];
  if (ParseFileVersion(ORBIDIAL_VERSION_TEXT, parts) == 0) return 0;
  StringCchPrintfW(VersionText, kVersionTextSize, u"%u.%u.%u.%u",
                   {parts[0], parts[1], parts[2], parts[3]});
  return 1;
}
#endif
