// The glyphs drawn into a buffer, frame against frame: which tiles two
// frames drew alike, found glyph by glyph.
#pragma once

#include <vector>

#include "face/ink_record.h"

// Tiles marked as changed: a sorted list of tile indices (row-major), with a
// grid of the buffer's tiles that is black but for the listed ones. Starting
// over costs the tiles listed, not the tiles of the buffer.
struct ChangedTiles {
  int width = 0, height = 0;  // the buffer's size in pixels
  int columns = 0, rows = 0;
  std::vector<std::uint8_t> marked;
  std::vector<int> list;  // sorted once `Sort` ran

  // Starts over, no tile marked, for a buffer of width x height.
  void Reset(int w, int h);
  void Mark(int tile) {
    if (marked[static_cast<std::size_t>(tile)] != 0) return;
    marked[static_cast<std::size_t>(tile)] = 1;
    list.push_back(tile);
  }
  // Marks the tiles a glyph touches.
  void Mark(const GlyphDraw& d);
  void Sort();
  bool IsMarked(int row, int column) const {
    return marked[static_cast<std::size_t>(row) * columns + column] != 0;
  }
};

// Marks in `changed` (reset for the buffer) the tiles where the draws of
// `a` and `b` may differ: those of every glyph of either left out when the
// two are walked side by side, pairing glyphs drawn alike (bitmap, place,
// colour) in the order drawn. The pairs keep the order of both, so a tile
// no unpaired glyph touches has the same draws in the same order in both,
// and the same pixels. Sorts the list.
void MarkChangedDraws(const TileDraws& a, const TileDraws& b, ChangedTiles* changed);
// Marks every tile marked in `ink` (of the same size); sorts the list.
void MarkInkTiles(const InkRecord& ink, ChangedTiles* changed);
