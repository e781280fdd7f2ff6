// Tiles of a pixel buffer that may hold ink, and the rectangles they make.
#include "face/ink_record.h"

#include <algorithm>

namespace {

// What one rectangle more costs a presenter, in pixels shown: a request of
// its own (about half a microsecond in the X server) against copying pixels
// that are cold in the cache once a second.
constexpr long long kRectCost = 1024;
// Runs in a row of tiles apart by no more than this are shown as one.
constexpr int kJoinGap = static_cast<int>(kRectCost / (kInkTile * kInkTile));

// Rows of tiles; a run of tiles inside one of them; cut to the buffer.
Rect TileSpan(const InkRecord& ink, int row, int first, int end) {
  return Rect{first * kInkTile, row * kInkTile, std::min(ink.width, end * kInkTile),
              std::min(ink.height, (row + 1) * kInkTile)};
}

// Appends the runs of marked tiles of `row` between columns [first, end),
// joining runs apart by at most `gap` unmarked tiles.
void RowRuns(const InkRecord& ink, int row, int first, int end, int gap,
             std::vector<Rect>* out) {
  const std::uint8_t* tiles = ink.tiles.data() + static_cast<std::size_t>(row) * ink.columns;
  int c = first;
  while (c < end) {
    while (c < end && tiles[c] == 0) ++c;
    if (c == end) break;
    const int start = c;
    int stop = c;
    while (c < end) {
      if (tiles[c] != 0) {
        stop = ++c;
        continue;
      }
      int next = c;
      while (next < end && tiles[next] == 0) ++next;
      if (next == end || next - c > gap) break;
      c = next;
    }
    out->push_back(TileSpan(ink, row, start, stop));
    c = stop;
  }
}

Rect Intersect(Rect a, Rect b) {
  return Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
              std::min(a.bottom, b.bottom)};
}

bool Empty(Rect r) { return r.left >= r.right || r.top >= r.bottom; }

long long Area(Rect r) {
  return static_cast<long long>(r.right - r.left) * (r.bottom - r.top);
}

Rect Union(Rect a, Rect b) {
  return Rect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}

// The marked tiles inside `clip`, row of tiles by row: a run joins a
// rectangle that reached the row above (or grew in this row already) where
// the black that joining adds costs less than a rectangle more.
void Region(const InkRecord& ink, Rect clip, std::vector<Rect>* out) {
  out->clear();
  const int firstRow = clip.top / kInkTile;
  const int endRow = (clip.bottom + kInkTile - 1) / kInkTile;
  const int firstColumn = clip.left / kInkTile;
  const int endColumn = (clip.right + kInkTile - 1) / kInkTile;
  std::vector<Rect> runs;
  std::vector<Rect> open, reached;
  for (int row = firstRow; row < endRow; ++row) {
    runs.clear();
    RowRuns(ink, row, firstColumn, endColumn, kJoinGap, &runs);
    reached.clear();
    for (Rect run : runs) {
      run = Intersect(run, clip);
      if (Empty(run)) continue;
      bool joined = false;
      for (std::vector<Rect>* list : {&reached, &open}) {
        for (auto it = list->begin(); it != list->end(); ++it) {
          const Rect grown = Union(*it, run);
          if (Area(grown) - Area(*it) - Area(run) > kRectCost) continue;
          if (list == &open) {
            open.erase(it);
          } else {
            reached.erase(it);
          }
          reached.push_back(grown);
          joined = true;
          break;
        }
        if (joined) break;
      }
      if (!joined) reached.push_back(run);
    }
    // What did not reach this row is finished.
    out->insert(out->end(), open.begin(), open.end());
    open.swap(reached);
  }
  out->insert(out->end(), open.begin(), open.end());
}

}  // namespace

void SetInkBlack(InkRecord* ink, int width, int height) {
  ink->known = true;
  ink->width = std::max(0, width);
  ink->height = std::max(0, height);
  ink->columns = (ink->width + kInkTile - 1) / kInkTile;
  ink->rows = (ink->height + kInkTile - 1) / kInkTile;
  ink->tiles.assign(static_cast<std::size_t>(ink->columns) * ink->rows, 0);
  ink->draws.known = true;
  ink->draws.draws.clear();
  ink->draws.indexed = false;
}

void MarkInk(InkRecord* ink, Rect area) {
  if (Empty(area)) return;
  const int c0 = area.left / kInkTile, c1 = (area.right - 1) / kInkTile;
  const int r0 = area.top / kInkTile, r1 = (area.bottom - 1) / kInkTile;
  for (int r = r0; r <= r1; ++r) {
    std::uint8_t* tiles = ink->tiles.data() + static_cast<std::size_t>(r) * ink->columns;
    std::fill(tiles + c0, tiles + c1 + 1, std::uint8_t{1});
  }
}

void UnmarkInk(InkRecord* ink, Rect area) {
  area = Intersect(area, Rect{0, 0, ink->width, ink->height});
  if (Empty(area)) return;
  // A tile at the buffer's right or bottom edge is whole once its part
  // inside the buffer is.
  const int c0 = (area.left + kInkTile - 1) / kInkTile;
  const int c1 = area.right == ink->width ? ink->columns : area.right / kInkTile;
  const int r0 = (area.top + kInkTile - 1) / kInkTile;
  const int r1 = area.bottom == ink->height ? ink->rows : area.bottom / kInkTile;
  for (int r = r0; r < r1; ++r) {
    std::uint8_t* tiles = ink->tiles.data() + static_cast<std::size_t>(r) * ink->columns;
    if (c0 < c1) std::fill(tiles + c0, tiles + c1, std::uint8_t{0});
  }
}

void AddInk(InkRecord* into, const InkRecord& from) {
  const std::size_t n = std::min(into->tiles.size(), from.tiles.size());
  for (std::size_t i = 0; i < n; ++i) into->tiles[i] |= from.tiles[i];
}

void InkRuns(const InkRecord& ink, std::vector<Rect>* out) {
  out->clear();
  for (int row = 0; row < ink.rows; ++row) RowRuns(ink, row, 0, ink.columns, 0, out);
}

void InkRegion(const InkRecord& ink, Rect clip, std::vector<Rect>* out) {
  clip = Intersect(clip, Rect{0, 0, ink.width, ink.height});
  if (Empty(clip)) {
    out->clear();
    return;
  }
  Region(ink, clip, out);
}
