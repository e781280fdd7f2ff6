// The two faces of the clock font as FreeType faces, resolved once per process
// by `LoadClockFaces`. Shared by every raster surface of the process (one
// thread draws).
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

enum ClockFaceId { kArabicClockFace = 0, kNumeralClockFace = 1, kClockFaceCount = 2 };

struct ClockFaceRecord {
  FT_Face face = nullptr;
  std::string file;    // the font file fontconfig chose
  int index = 0;       // face index inside a collection (.ttc)
  std::string name;    // family and style, for messages
  // GDI's height rule: a cell height maps to the em and the ascent by these
  // ratios of the OS/2 table (usWinAscent + usWinDescent).
  double emPerCell = 1.0;
  double ascentPerCell = 0.8;
  // The size last set on `face`, so a size is only set when it changes.
  FT_F26Dot6 sizeSet = 0;
};

// The face record, or null before a successful `LoadClockFaces`.
ClockFaceRecord* ClockFace(ClockFaceId id);

// Which of the two faces a requested face name means: "楷体" is the numeral
// face, anything else the Arabic face.
ClockFaceId ClockFaceFor(const char16_t* faceName);
