// The glyphs drawn into each tile of a buffer since it was last wholly black,
// in order. A tile whose draws are the same in two frames holds the same
// pixels in both: the raster surface shows only the tiles where they differ.
#pragma once

#include <cstdint>
#include <vector>

#include "face/ink_record.h"

struct GlyphDraw {
  std::uint64_t glyph = 0;  // the glyph as the glyph cache knows it
  long long x = 0, y = 0;   // its bitmap's top-left
  std::uint32_t color = 0;
  int firstColumn = 0, firstRow = 0, endColumn = 0, endRow = 0;  // tiles touched
};

struct TileDraws {
  // Whether `draws` tells the buffer's content: it was wholly black, and
  // nothing but glyphs was put into it since.
  bool known = false;
  std::vector<GlyphDraw> draws;
  // By `IndexTileDraws`: tile t's draws are draws[order[start[t]]] up to
  // draws[order[start[t + 1] - 1]].
  std::vector<int> start, order;
};

// Starts over for a wholly black buffer.
void ClearTileDraws(TileDraws* draws);
void IndexTileDraws(TileDraws* draws, int columns, int rows);
// Marks in `changed`, a black record of the buffer's size, every tile whose
// draws differ between `a` and `b`, both known and indexed.
void MarkChangedTiles(const TileDraws& a, const TileDraws& b, InkRecord* changed);
