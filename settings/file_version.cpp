// The file version's text and the parsing of the build's version.
#include "settings/about_dialog.h"

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
