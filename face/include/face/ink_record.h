// Which parts of a pixel buffer may hold ink (anything but black), kept in
// square tiles: the raster surface marks the tiles it draws into, clears only
// those, and works out from two records which parts of a frame may differ
// from the frame on screen.
#pragma once

#include <cstdint>
#include <vector>

#include "face/surface.h"

// Side of a tile in pixels: about a glyph of a 1080p face, so a tile seldom
// holds much black beside the ink that marked it.
inline constexpr int kInkTile = 16;

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
};

// Makes `ink` the record of an all-black buffer of width x height.
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
