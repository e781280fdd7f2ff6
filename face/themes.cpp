#include "face/themes.h"

namespace {

constexpr ColorRef kHighlights[kThemeCount] = {
    0x0000FAFA, 0x009FC0FF, 0x00FFFFFF, 0x00FCC625, 0x000064FE, 0x00FAFA64, 0x0038FF32,
};

ColorRef Channel(long long v) {
  if (v < 0) v = 0;
  return static_cast<ColorRef>(v) & 0xFF;
}

}  // namespace

ColorRef UpdateHighlightColor(FaceLook& look) {
  if (look.ThemeIndex >= 0 && look.ThemeIndex < kThemeCount) {
    look.HighlightColor = kHighlights[look.ThemeIndex];
  }
  return look.HighlightColor;
}

ColorRef FadeColor(int theme, int step, int fadeIndex) {
  // Wide arithmetic: the table's channels for any counter and step, with
  // no overflow for values the six rings never produce.
  const long long a = step;
  const long long e = fadeIndex;
  const long long p = a * e;
  long long r = 0, g = 0, b = 0;
  switch (theme) {
    case 0: r = 0; g = 255 - p; b = 0; break;
    case 1: r = 0; g = 255 - p; b = 255 - p; break;
    case 2: r = 250 - p; g = 250 - p; b = 250 - p; break;
    case 3: r = 255 - p; g = 50; b = 60; break;
    case 4: r = 255 - p; g = 250 - p; b = 0; break;
    case 5: r = 255 - e - a; g = 100 - e; b = 255 - p; break;
    case 6: r = 80 - e - a; g = 200 - p / 2; b = 255 - p; break;
    default: return 0;
  }
  return Channel(r) + Channel(g) * 256 + Channel(b) * 65536;
}

void MoveTheme(FaceLook& look, int wheelDelta) {
  int& theme = look.ThemeIndex;
  if (wheelDelta > 0) {
    theme = theme >= kThemeCount - 1 ? 0 : theme + 1;
  } else {
    theme = theme <= 0 ? kThemeCount - 1 : theme - 1;
  }
}
