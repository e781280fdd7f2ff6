// Which parts of a pixel buffer may hold ink (anything but black), kept in
// square tiles: the raster surface marks the tiles it draws into, clears only
// those, and works out from two records which parts of a frame may differ
// from the frame on screen.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "face/surface.h"

// Side of a tile in pixels: under half a glyph of a 1080p face, so a glyph's
// box rounded out to whole tiles adds little black to what is cleared,
// drawn and shown (a third less each second than with tiles of 16).
inline constexpr int kInkTile = 8;

// One glyph drawn into a buffer: its bitmap as the raster surface's glyph
// cache knows it, where, in what colour, and the tiles it touches.
struct GlyphDraw {
  std::uint64_t glyph = 0;
  long long x = 0, y = 0;   // its bitmap's top-left
  std::uint32_t color = 0;
  int firstColumn = 0, firstRow = 0, endColumn = 0, endRow = 0;
};

// The glyphs drawn into a buffer since it was last wholly black, in order.
// A tile whose draws are the same in two frames holds the same pixels in
// both.
struct TileDraws {
  // Whether `draws` tells the buffer's content: it was wholly black, and
  // nothing but glyphs was put into it since.
  bool known = false;
  std::vector<GlyphDraw> draws;
};

// The record of one buffer, kept by whoever owns the buffer, beside it, and
// written only by the raster surface. A fresh record knows nothing: its
// buffer may hold anything, so the first whole clear clears all of it.
struct InkRecord {
  bool known = false;  // false: any pixel may hold anything
  int width = 0;       // the buffer's size in pixels
  int height = 0;
  int columns = 0;     // tiles
  int rows = 0;
  std::vector<std::uint8_t> tiles;  // row-major; non-zero where ink may be
  // The glyphs that made the ink, while known: the raster surface redraws
  // only the tiles where the next frame's glyphs differ from these.
  TileDraws draws;
};

// Makes `ink` the record of an all-black buffer of width x height, no glyph
// drawn into it.
void SetInkBlack(InkRecord* ink, int width, int height);
// Marks the tiles under `area`, which lies inside the buffer.
void MarkInk(InkRecord* ink, Rect area);
// Unmarks the tiles that `area` (filled with black) covers whole.
void UnmarkInk(InkRecord* ink, Rect area);
// Marks in `into` every tile marked in `from`; both known, of one size.
void AddInk(InkRecord* into, const InkRecord& from);
// The marked tiles as rectangles, one per run of tiles in a row of tiles,
// cut to the buffer: what a clear has to clear.
void InkRuns(const InkRecord& ink, std::vector<Rect>* out);
// The marked tiles inside `clip` as a few rectangles covering them, for a
// presenter that pays per rectangle as well as per pixel: runs in a row of
// tiles join across short gaps, rows with the same runs join into one.
void InkRegion(const InkRecord& ink, Rect clip, std::vector<Rect>* out);
// The same for the tiles listed in `tiles` (sorted indices, row-major) of a
// buffer of width x height, at a cost that grows with the tiles listed
// rather than with the buffer.
void TileListRegion(int width, int height, std::span<const int> tiles, Rect clip, std::vector<Rect>* out);
