// Which tiles two frames drew alike, glyph by glyph.
#include "tile_draws.h"

#include <algorithm>

namespace {

bool SameDraw(const GlyphDraw& a, const GlyphDraw& b) {
  return a.glyph == b.glyph && a.x == b.x && a.y == b.y && a.color == b.color;
}

// How far ahead in either frame a glyph is looked for when the two part.
constexpr std::size_t kLookAhead = 8;

}  // namespace

void ChangedTiles::Reset(int w, int h) {
  w = std::max(0, w);
  h = std::max(0, h);
  if (w != width || h != height) {
    width = w;
    height = h;
    columns = (w + kInkTile - 1) / kInkTile;
    rows = (h + kInkTile - 1) / kInkTile;
    marked.assign(static_cast<std::size_t>(columns) * rows, 0);
  } else {
    for (int t : list) marked[static_cast<std::size_t>(t)] = 0;
  }
  list.clear();
}

void ChangedTiles::Mark(const GlyphDraw& d) {
  for (int r = d.firstRow; r < d.endRow; ++r) {
    for (int c = d.firstColumn; c < d.endColumn; ++c) Mark(r * columns + c);
  }
}

void ChangedTiles::Sort() { std::sort(list.begin(), list.end()); }

void MarkChangedDraws(const TileDraws& a, const TileDraws& b, ChangedTiles* changed) {
  const std::vector<GlyphDraw>& x = a.draws;
  const std::vector<GlyphDraw>& y = b.draws;
  std::size_t i = 0, j = 0;
  while (i < x.size() && j < y.size()) {
    if (SameDraw(x[i], y[j])) {
      ++i;
      ++j;
      continue;
    }
    // A few glyphs more in one than in the other (a label grown or shrunk
    // by a character) and the two go on alike; failing that, one glyph
    // drawn in place of another.
    std::size_t k = 1;
    for (; k <= kLookAhead; ++k) {
      if (i + k < x.size() && SameDraw(x[i + k], y[j])) {
        for (std::size_t n = 0; n < k; ++n) changed->Mark(x[i++]);
        break;
      }
      if (j + k < y.size() && SameDraw(x[i], y[j + k])) {
        for (std::size_t n = 0; n < k; ++n) changed->Mark(y[j++]);
        break;
      }
    }
    if (k > kLookAhead) {
      changed->Mark(x[i++]);
      changed->Mark(y[j++]);
    }
  }
  for (; i < x.size(); ++i) changed->Mark(x[i]);
  for (; j < y.size(); ++j) changed->Mark(y[j]);
  changed->Sort();
}

void MarkInkTiles(const InkRecord& ink, ChangedTiles* changed) {
  const std::size_t n = std::min(ink.tiles.size(), changed->marked.size());
  for (std::size_t t = 0; t < n; ++t) {
    if (ink.tiles[t] != 0) changed->Mark(static_cast<int>(t));
  }
  changed->Sort();
}
