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

// Runs of a row of tiles, from a sorted list of tile indices of the row,
// joining runs apart by at most `gap` tiles that are not listed.
void ListRuns(int width, int height, int row, const int* first, const int* end, int columns, int gap,
              std::vector<Rect>* out) {
  while (first != end) {
    const int start = *first % columns;
    int stop = start + 1;
    for (++first; first != end && *first % columns - stop <= gap; ++first) stop = *first % columns + 1;
    out->push_back(Rect{start * kInkTile, row * kInkTile, std::min(width, stop * kInkTile),
                        std::min(height, (row + 1) * kInkTile)});
  }
}

// The rectangles of the rows of tiles `nextRow` hands out (a row's number
// and its runs, rows in rising order, false when done), cut to `clip`: a run
// joins a rectangle that reached the row above (or grew in this row
// already) where the black that joining adds costs less than a rectangle
// more.
template <typename NextRow>
void Region(Rect clip, NextRow nextRow, std::vector<Rect>* out) {
  out->clear();
  std::vector<Rect> runs;
  std::vector<Rect> open, reached;
  int row = 0, last = -2;
  while (nextRow(&row, &runs)) {
    // What did not reach a row between is finished.
    if (row != last + 1) {
      out->insert(out->end(), open.begin(), open.end());
      open.clear();
    }
    last = row;
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
  int row = clip.top / kInkTile;
  const int endRow = (clip.bottom + kInkTile - 1) / kInkTile;
  const int firstColumn = clip.left / kInkTile;
  const int endColumn = (clip.right + kInkTile - 1) / kInkTile;
  Region(
      clip,
      [&](int* at, std::vector<Rect>* runs) {
        if (row >= endRow) return false;
        runs->clear();
        RowRuns(ink, row, firstColumn, endColumn, kJoinGap, runs);
        *at = row++;
        return true;
      },
      out);
}

void TileListRegion(int width, int height, std::span<const int> tiles, Rect clip, std::vector<Rect>* out) {
  clip = Intersect(clip, Rect{0, 0, width, height});
  if (Empty(clip)) {
    out->clear();
    return;
  }
  const int columns = (width + kInkTile - 1) / kInkTile;
  const int firstRow = clip.top / kInkTile;
  const int endRow = (clip.bottom + kInkTile - 1) / kInkTile;
  const int firstColumn = clip.left / kInkTile;
  const int endColumn = (clip.right + kInkTile - 1) / kInkTile;
  const int* next = tiles.data();
  const int* const end = tiles.data() + tiles.size();
  // Past the rows above the clip; the tiles of a row outside its columns
  // are left out of its runs.
  std::vector<int> inside;
  Region(
      clip,
      [&](int* at, std::vector<Rect>* runs) {
        while (next != end && *next / columns < firstRow) ++next;
        if (next == end || *next / columns >= endRow) return false;
        const int row = *next / columns;
        inside.clear();
        for (; next != end && *next / columns == row; ++next) {
          const int column = *next % columns;
          if (column >= firstColumn && column < endColumn) inside.push_back(*next);
        }
        runs->clear();
        ListRuns(width, height, row, inside.data(), inside.data() + inside.size(), columns, kJoinGap, runs);
        *at = row;
        return true;
      },
      out);
}
