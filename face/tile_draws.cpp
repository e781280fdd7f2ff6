// Which tiles two frames drew alike, glyph by glyph.
#include "tile_draws.h"

#include <algorithm>

namespace {

bool SameDraw(const GlyphDraw& a, const GlyphDraw& b) {
  return a.glyph == b.glyph && a.x == b.x && a.y == b.y && a.color == b.color;
}

}  // namespace

void ClearTileDraws(TileDraws* draws) {
  draws->known = true;
  draws->draws.clear();
  draws->indexed = false;
  draws->start.clear();
  draws->order.clear();
}

void IndexTileDraws(TileDraws* draws, int columns, int rows) {
  const std::size_t tiles = static_cast<std::size_t>(columns) * rows;
  draws->indexed = true;
  draws->start.assign(tiles + 1, 0);
  for (const GlyphDraw& d : draws->draws) {
    for (int r = d.firstRow; r < d.endRow; ++r) {
      for (int c = d.firstColumn; c < d.endColumn; ++c) ++draws->start[static_cast<std::size_t>(r) * columns + c + 1];
    }
  }
  for (std::size_t t = 0; t < tiles; ++t) draws->start[t + 1] += draws->start[t];
  draws->order.resize(static_cast<std::size_t>(draws->start[tiles]));
  // Each tile's start moves on as its draws are placed, ending at the
  // next tile's; shifted back after. No scratch: at 3840x2160 one would
  // be fresh pages every frame.
  for (std::size_t i = 0; i < draws->draws.size(); ++i) {
    const GlyphDraw& d = draws->draws[i];
    for (int r = d.firstRow; r < d.endRow; ++r) {
      for (int c = d.firstColumn; c < d.endColumn; ++c) {
        draws->order[static_cast<std::size_t>(draws->start[static_cast<std::size_t>(r) * columns + c]++)] =
            static_cast<int>(i);
      }
    }
  }
  for (std::size_t t = tiles; t > 0; --t) draws->start[t] = draws->start[t - 1];
  draws->start[0] = 0;
}

void MarkChangedTiles(const TileDraws& a, const TileDraws& b, InkRecord* changed) {
  const std::size_t tiles = changed->tiles.size();
  if (!a.indexed || !b.indexed || a.start.size() != tiles + 1 || b.start.size() != tiles + 1) {
    std::fill(changed->tiles.begin(), changed->tiles.end(), std::uint8_t{1});
    return;
  }
  for (std::size_t t = 0; t < tiles; ++t) {
    const int a0 = a.start[t], a1 = a.start[t + 1], b0 = b.start[t], b1 = b.start[t + 1];
    if (a1 - a0 != b1 - b0) {
      changed->tiles[t] = 1;
      continue;
    }
    for (int i = 0; i < a1 - a0; ++i) {
      if (!SameDraw(a.draws[static_cast<std::size_t>(a.order[a0 + i])],
                    b.draws[static_cast<std::size_t>(b.order[b0 + i])])) {
        changed->tiles[t] = 1;
        break;
      }
    }
  }
}
