// The raster surface: glyphs of the clock faces rasterised by FreeType,
// turned about the top-left of their cell, blended into a 0x00RRGGBB buffer.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "clock_faces.h"
#include "common/utf_conversion.h"
#include "face/raster_surface.h"
#include "tile_draws.h"

namespace {

// A height of 0 asks for the platform's default, as GDI's 0 does.
constexpr int kDefaultCellHeight = 16;
// Cells beyond this would make single glyphs of many megabytes; no face of
// ours asks for one, so such a font draws nothing.
constexpr int kLargestCell = 4096;
// The cache is cleared whole when it would pass either bound. A frame at
// 3840x2160 takes about 2 MB of glyphs, so a long run keeps its glyphs warm.
constexpr std::size_t kDefaultCacheBytes = 32u << 20;
constexpr std::size_t kCacheEntries = 32768;
constexpr double kRadiansPerDegree = 0.017453292519943295;

struct Glyph {
  std::int32_t left = 0;  // bitmap's top-left relative to the pen, y up
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t rows = 0;
  std::size_t offset = 0;  // coverage bytes in the arena, width per row
  double advanceX = 0;     // pen step on the screen, y down
  double advanceY = 0;
};

// A glyph of a frame whose drawing waits for the frame's end: its bitmap in
// the cache's arena.
struct Coverage {
  std::size_t offset = 0;
  int width = 0;
  int rows = 0;
};

struct FreeMemory {
  void operator()(std::uint32_t* pixels) const { std::free(pixels); }
};

bool Covers(const Rect& outer, const Rect& inner) {
  return outer.left <= inner.left && outer.top <= inner.top && outer.right >= inner.right &&
         outer.bottom >= inner.bottom;
}

std::uint32_t ToPixel(ColorRef color) {
  const std::uint32_t r = color & 0xFFu;
  const std::uint32_t g = (color >> 8) & 0xFFu;
  const std::uint32_t b = (color >> 16) & 0xFFu;
  return (r << 16) | (g << 8) | b;
}

GlyphDraw DrawAt(std::uint64_t glyph, long long x0, long long y0, std::uint32_t color, const Rect& box) {
  return GlyphDraw{glyph, x0, y0, color, box.left / kInkTile, box.top / kInkTile,
                   (box.right - 1) / kInkTile + 1, (box.bottom - 1) / kInkTile + 1};
}

}  // namespace

struct RasterSurface::State {
  int width = 0, height = 0;
  // The surface's own buffer, zeroed by calloc: pages a back end drawing
  // into its own memory never touches cost nothing.
  std::unique_ptr<std::uint32_t, FreeMemory> own;
  InkRecord ownInk;
  // Where drawing goes: the own buffer or the back end's memory.
  std::uint32_t* pixels = nullptr;
  std::size_t stride = 0;  // pixels from one row to the next
  InkRecord* ink = nullptr;
  InkRecord looseInk;  // for a target handed over without a record
  bool tracking = true;
  // Between a whole clear and the frame's end, while the target's glyphs
  // are known: the frame's glyphs are only noted, and drawn at its end into
  // the tiles where they differ from the glyphs the target holds.
  bool waiting = false;
  TileDraws next;
  std::vector<Coverage> nextCoverage;

  Presenter presenter;
  DamagePresenter damagePresenter;
  // What the screen shows, as far as a presenter was handed it: the ink of
  // the frame last shown; not known before a whole frame was shown.
  // Its draws, when known: the screen holds just these glyphs on black.
  InkRecord shown;
  bool showWhole = true;
  // The tiles where the frame drawn differs from the one shown (or, in a
  // frame's end, from what the target held).
  ChangedTiles changed;
  // The target's glyphs are those on screen: nothing was drawn into it
  // since its whole frame was shown. Its frame's end then finds just the
  // tiles the screen must be shown, and `changedShown` says so.
  bool targetShown = false;
  bool changedShown = false;
  std::vector<Rect> rects;

  std::uint32_t color = 0;  // 0x00RRGGBB

  // The font as last requested, to skip the work when it repeats.
  bool haveFont = false;
  const char16_t* requestedFace = nullptr;
  int requestedHeight = 0;
  int requestedEscapement = 0;
  // The font as it is drawn.
  ClockFaceRecord* face = nullptr;  // null: draws nothing
  ClockFaceId faceId = kArabicClockFace;
  FT_F26Dot6 size = 0;  // em in 26.6 pixels
  double ascent = 0;  // whole pixels, as GDI reports it
  int escapement = 0;  // 0..3599
  double cosine = 1, sine = 0;
  FT_Matrix matrix{};
  std::uint64_t keyBase = 0;

  bool cacheEnabled = true;
  std::size_t cacheBytes = kDefaultCacheBytes;
  // Set when `CachedGlyph` found a glyph too big to keep: the glyph slot
  // still holds it, ready to draw.
  bool slotHoldsGlyph = false;
  std::unordered_map<std::uint64_t, Glyph> cache;
  std::vector<std::uint8_t> arena;
  // The glyphs the last frame looked up, in the order it did: a frame
  // mostly asks for the glyphs the one before asked for, in the same
  // order, and finds them here without a look-up in the cache.
  struct Recent {
    std::uint64_t key = 0;
    Glyph glyph;
  };
  std::vector<Recent> recent;
  std::size_t recentAt = 0;  // the frame's next look-up
  // Likewise the fonts the last frame asked for, as they were resolved.
  struct RecentFont {
    const char16_t* requestedFace = nullptr;
    int requestedHeight = 0;
    int requestedEscapement = 0;
    ClockFaceRecord* face = nullptr;
    ClockFaceId faceId = kArabicClockFace;
    FT_F26Dot6 size = 0;
    double ascent = 0;
    int escapement = 0;
    double cosine = 1, sine = 0;
    FT_Matrix matrix{};
    std::uint64_t keyBase = 0;
  };
  std::vector<RecentFont> recentFonts;
  std::size_t recentFontAt = 0;

  // Draws a glyph now, noting its ink and place in the target's record.
  void Blend(std::uint64_t glyph, const std::uint8_t* coverage, int glyphWidth, int rows,
             long pitch, long long x0, long long y0);
  // The glyph's part inside `clip` blended into the pixels, nothing noted.
  void BlendClipped(const std::uint8_t* coverage, int glyphWidth, int rows, long pitch, long long x0,
                    long long y0, std::uint32_t rgb, const Rect& clip);
  // The box a glyph's bitmap covers inside the buffer; empty when none.
  Rect Box(int glyphWidth, int rows, long long x0, long long y0) const;
  // Ends a wait by drawing the noted glyphs into the tiles where they
  // differ from those the target holds, clearing those tiles first.
  void Finish();
  // Ends a wait by drawing the frame as it would have been drawn at once:
  // the target cleared and every noted glyph blended.
  void DrawNoted();
  void ClearRect(const Rect& area);
  // The rectangles of `copy` that the presenter is to show.
  void Changes(const Rect& copy);
  // The font as the last frame's request at the same point of its order
  // resolved it, when it was the same; else as `Resolve` does.
  void ResolveFont(const ClockFont& font);
  void Resolve(const ClockFont& font);
  FT_GlyphSlot Rasterise(char32_t code);
  Glyph Describe(FT_GlyphSlot slot) const;
  const Glyph* CachedGlyph(char32_t code);
  // The cached glyph, as the last frame's look-up at the same point of
  // its order found it when it was the same.
  const Glyph* LookUp(char32_t code);
  void ClearCache();
};

void RasterSurface::State::ResolveFont(const ClockFont& font) {
  if (recentFontAt < recentFonts.size()) {
    const RecentFont& r = recentFonts[recentFontAt];
    if (r.requestedFace == font.face && r.requestedHeight == font.height &&
        r.requestedEscapement == font.escapement) {
      ++recentFontAt;
      haveFont = true;
      requestedFace = font.face;
      requestedHeight = font.height;
      requestedEscapement = font.escapement;
      face = r.face;
      faceId = r.faceId;
      size = r.size;
      ascent = r.ascent;
      escapement = r.escapement;
      cosine = r.cosine;
      sine = r.sine;
      matrix = r.matrix;
      keyBase = r.keyBase;
      return;
    }
  }
  Resolve(font);
  const RecentFont r{font.face, font.height, font.escapement, face, faceId, size, ascent,
                     escapement, cosine, sine, matrix, keyBase};
  if (recentFontAt < recentFonts.size()) {
    recentFonts[recentFontAt] = r;
  } else {
    recentFonts.push_back(r);
  }
  ++recentFontAt;
}

void RasterSurface::State::Resolve(const ClockFont& font) {
  haveFont = true;
  requestedFace = font.face;
  requestedHeight = font.height;
  requestedEscapement = font.escapement;

  faceId = ClockFaceFor(font.face);
  face = ClockFace(faceId);
  if (face == nullptr) return;
  // GDI: a positive height is the cell (usWinAscent + usWinDescent), a
  // negative one the em. Its rasteriser works at whole pixels per em.
  double cell, em;
  if (font.height >= 0) {
    cell = font.height == 0 ? kDefaultCellHeight : font.height;
    em = cell * face->emPerCell;
  } else {
    em = -static_cast<double>(font.height);
    cell = em / face->emPerCell;
  }
  if (cell > kLargestCell) {
    face = nullptr;
    return;
  }
  const double ppem = std::max(1.0, std::round(em));
  size = static_cast<FT_F26Dot6>(ppem) * 64;
  // GDI's tmAscent: whole pixels, from the rounded em rather than the cell.
  ascent = std::round(ppem * face->ascentPerCell / face->emPerCell);

  escapement = font.escapement % 3600;
  if (escapement < 0) escapement += 3600;
  const double theta = escapement / 10.0 * kRadiansPerDegree;
  cosine = escapement == 0 ? 1.0 : std::cos(theta);
  sine = escapement == 0 ? 0.0 : std::sin(theta);
  // FreeType's y runs up, so a counter-clockwise turn on the screen is the
  // ordinary rotation matrix.
  matrix.xx = static_cast<FT_Fixed>(std::lround(cosine * 65536.0));
  matrix.xy = static_cast<FT_Fixed>(std::lround(-sine * 65536.0));
  matrix.yx = static_cast<FT_Fixed>(std::lround(sine * 65536.0));
  matrix.yy = static_cast<FT_Fixed>(std::lround(cosine * 65536.0));

  const std::uint64_t heightKey = static_cast<std::uint16_t>(font.height == 0 ? kDefaultCellHeight : font.height);
  keyBase = (static_cast<std::uint64_t>(faceId) << 60) | (heightKey << 40) |
            (static_cast<std::uint64_t>(escapement) << 24);
}

FT_GlyphSlot RasterSurface::State::Rasterise(char32_t code) {
  FT_Face ft = face->face;
  if (face->sizeSet != size) {
    if (FT_Set_Char_Size(ft, 0, size, 72, 72) != 0) return nullptr;
    face->sizeSet = size;
  }
  FT_Set_Transform(ft, escapement == 0 ? nullptr : &matrix, nullptr);
  const FT_UInt index = FT_Get_Char_Index(ft, code);
  // Unhinted outlines keep turned and upright glyphs alike; embedded bitmaps
  // could not be turned at all.
  if (FT_Load_Glyph(ft, index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) return nullptr;
  if (ft->glyph->format != FT_GLYPH_FORMAT_BITMAP &&
      FT_Render_Glyph(ft->glyph, FT_RENDER_MODE_NORMAL) != 0) {
    return nullptr;
  }
  // A character the font lacks keeps its place but shows no box.
  if (index == 0) ft->glyph->bitmap.rows = 0;
  return ft->glyph;
}

Glyph RasterSurface::State::Describe(FT_GlyphSlot slot) const {
  Glyph glyph;
  glyph.left = slot->bitmap_left;
  glyph.top = slot->bitmap_top;
  glyph.width = static_cast<std::int32_t>(slot->bitmap.width);
  glyph.rows = static_cast<std::int32_t>(slot->bitmap.rows);
  if (escapement == 0) {
    glyph.advanceX = std::round(slot->advance.x / 64.0);
  } else {
    glyph.advanceX = slot->advance.x / 64.0;
    glyph.advanceY = -slot->advance.y / 64.0;
  }
  return glyph;
}

const Glyph* RasterSurface::State::CachedGlyph(char32_t code) {
  slotHoldsGlyph = false;
  const std::uint64_t key = keyBase | code;
  auto found = cache.find(key);
  if (found != cache.end()) return &found->second;

  FT_GlyphSlot slot = Rasterise(code);
  if (slot == nullptr) return nullptr;
  Glyph glyph = Describe(slot);
  const FT_Bitmap& bitmap = slot->bitmap;
  const std::size_t bytes = static_cast<std::size_t>(glyph.width) * glyph.rows;
  if (bytes > cacheBytes / 4) {
    slotHoldsGlyph = true;
    return nullptr;
  }
  if (arena.size() + bytes > cacheBytes || cache.size() >= kCacheEntries) {
    // The noted glyphs' bitmaps go with the cache.
    if (waiting) DrawNoted();
    ClearCache();
  }
  glyph.offset = arena.size();
  arena.resize(arena.size() + bytes);
  std::uint8_t* out = arena.data() + glyph.offset;
  for (int r = 0; r < glyph.rows; ++r) {
    const unsigned char* row =
        bitmap.pitch >= 0 ? bitmap.buffer + static_cast<long>(r) * bitmap.pitch
                          : bitmap.buffer + static_cast<long>(glyph.rows - 1 - r) * -bitmap.pitch;
    std::uint8_t* dest = out + static_cast<std::size_t>(r) * glyph.width;
    if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
      for (int c = 0; c < glyph.width; ++c) dest[c] = (row[c >> 3] & (0x80 >> (c & 7))) ? 255 : 0;
    } else {
      std::memcpy(dest, row, static_cast<std::size_t>(glyph.width));
    }
  }
  return &cache.emplace(key, glyph).first->second;
}

const Glyph* RasterSurface::State::LookUp(char32_t code) {
  const std::uint64_t key = keyBase | code;
  if (recentAt < recent.size() && recent[recentAt].key == key) return &recent[recentAt++].glyph;
  const Glyph* glyph = CachedGlyph(code);
  if (glyph == nullptr) return nullptr;
  if (recentAt < recent.size()) {
    recent[recentAt] = Recent{key, *glyph};
  } else {
    recent.push_back(Recent{key, *glyph});
  }
  return &recent[recentAt++].glyph;
}

void RasterSurface::State::ClearCache() {
  cache.clear();
  arena.clear();
  recent.clear();
  recentAt = 0;
}

Rect RasterSurface::State::Box(int glyphWidth, int rows, long long x0, long long y0) const {
  const long long c0 = std::max(0LL, -x0);
  const long long c1 = std::min<long long>(glyphWidth, width - x0);
  const long long r0 = std::max(0LL, -y0);
  const long long r1 = std::min<long long>(rows, height - y0);
  if (c0 >= c1 || r0 >= r1) return Rect{};
  return Rect{static_cast<int>(x0 + c0), static_cast<int>(y0 + r0), static_cast<int>(x0 + c1),
              static_cast<int>(y0 + r1)};
}

void RasterSurface::State::Blend(std::uint64_t glyph, const std::uint8_t* coverage, int glyphWidth,
                                 int rows, long pitch, long long x0, long long y0) {
  const Rect box = Box(glyphWidth, rows, x0, y0);
  if (box.left >= box.right) return;
  targetShown = changedShown = false;
  if (ink->known) MarkInk(ink, box);
  if (ink->draws.known) {
    ink->draws.draws.push_back(DrawAt(glyph, x0, y0, color, box));
  }
  BlendClipped(coverage, glyphWidth, rows, pitch, x0, y0, color, box);
}

void RasterSurface::State::BlendClipped(const std::uint8_t* coverage, int glyphWidth, int rows, long pitch,
                                        long long x0, long long y0, std::uint32_t rgb, const Rect& clip) {
  const long long c0 = std::max<long long>(0, clip.left - x0);
  const long long c1 = std::min<long long>(glyphWidth, clip.right - x0);
  const long long r0 = std::max<long long>(0, clip.top - y0);
  const long long r1 = std::min<long long>(rows, clip.bottom - y0);
  if (c0 >= c1 || r0 >= r1) return;
  const std::uint32_t srcRb = rgb & 0xFF00FFu;
  const std::uint32_t srcG = rgb & 0x00FF00u;
  for (long long r = r0; r < r1; ++r) {
    const std::uint8_t* cov = coverage + r * pitch;
    std::uint32_t* dest = pixels + (y0 + r) * static_cast<long long>(stride) + x0;
    // Without a branch, so the compiler does several pixels at a time:
    // two channels at once; 255 maps to 256 so full coverage is exact, and
    // none leaves the pixel as it was, its top byte included.
    for (long long c = c0; c < c1; ++c) {
      const std::uint32_t a = cov[c];
      const std::uint32_t w = a + (a >> 7);
      const std::uint32_t d = dest[c];
      const std::uint32_t rb = ((srcRb * w + (d & 0xFF00FFu) * (256 - w)) >> 8) & 0xFF00FFu;
      const std::uint32_t g = ((srcG * w + (d & 0x00FF00u) * (256 - w)) >> 8) & 0x00FF00u;
      dest[c] = (d & 0xFF000000u) | rb | g;
    }
  }
}

void RasterSurface::State::DrawNoted() {
  waiting = false;
  InkRuns(*ink, &rects);
  for (const Rect& run : rects) ClearRect(run);
  SetInkBlack(ink, width, height);
  const std::uint32_t textColor = color;
  for (std::size_t i = 0; i < next.draws.size(); ++i) {
    const GlyphDraw& d = next.draws[i];
    const Coverage& c = nextCoverage[i];
    color = d.color;
    Blend(d.glyph, arena.data() + c.offset, c.width, c.rows, c.width, d.x, d.y);
  }
  color = textColor;
}

void RasterSurface::State::Finish() {
  waiting = false;
  changedShown = targetShown;
  targetShown = false;
  const int columns = ink->columns;
  changed.Reset(width, height);
  MarkChangedDraws(ink->draws, next, &changed);
  // Runs of changed tiles, cleared; a changed tile holds no ink until a
  // glyph of the frame is drawn into it.
  const std::vector<int>& list = changed.list;
  for (std::size_t i = 0; i < list.size();) {
    const int row = list[i] / columns;
    const int first = list[i] % columns;
    int end = first + 1;
    ink->tiles[static_cast<std::size_t>(list[i])] = 0;
    for (++i; i < list.size() && list[i] == row * columns + end; ++i, ++end) {
      ink->tiles[static_cast<std::size_t>(list[i])] = 0;
    }
    ClearRect(Rect{first * kInkTile, row * kInkTile, std::min(width, end * kInkTile),
                   std::min(height, (row + 1) * kInkTile)});
  }
  // Each glyph of the frame, in the order drawn, into the changed tiles it
  // touches, a run of them in a row at a time.
  if (!list.empty()) {
    for (std::size_t i = 0; i < next.draws.size(); ++i) {
      const GlyphDraw& d = next.draws[i];
      const Coverage& c = nextCoverage[i];
      for (int row = d.firstRow; row < d.endRow; ++row) {
        std::uint8_t* tiles = ink->tiles.data() + static_cast<std::size_t>(row) * columns;
        for (int column = d.firstColumn; column < d.endColumn;) {
          if (!changed.IsMarked(row, column)) {
            ++column;
            continue;
          }
          const int first = column;
          while (column < d.endColumn && changed.IsMarked(row, column)) tiles[column++] = 1;
          BlendClipped(arena.data() + c.offset, c.width, c.rows, c.width, d.x, d.y, d.color,
                       Rect{first * kInkTile, row * kInkTile, std::min(width, column * kInkTile),
                            std::min(height, (row + 1) * kInkTile)});
        }
      }
    }
  }
  // The target now holds the frame's glyphs and nothing else.
  std::swap(ink->draws, next);
}

RasterSurface::RasterSurface(int width, int height) : state_(new State) {
  State& s = *state_;
  s.width = std::max(0, width);
  s.height = std::max(0, height);
  const std::size_t count = static_cast<std::size_t>(s.width) * s.height;
  s.own.reset(static_cast<std::uint32_t*>(std::calloc(count == 0 ? 1 : count, sizeof(std::uint32_t))));
  // Without the memory the surface is an empty one: nothing is drawn,
  // rather than the process ending.
  if (s.own == nullptr) s.width = s.height = 0;
  SetInkBlack(&s.ownInk, s.width, s.height);
  s.shown.known = false;
  SetTarget(nullptr, 0, nullptr);
}

RasterSurface::~RasterSurface() = default;

void RasterSurface::SetTarget(std::uint32_t* pixels, std::size_t strideBytes, InkRecord* ink) {
  State& s = *state_;
  if (s.waiting) s.Finish();
  InkRecord* const before = s.ink;
  if (pixels == nullptr) {
    s.pixels = s.own.get();
    s.stride = static_cast<std::size_t>(s.width);
    s.ink = &s.ownInk;
  } else {
    s.pixels = pixels;
    s.stride = strideBytes / sizeof(std::uint32_t);
    s.looseInk = InkRecord{};
    s.ink = ink != nullptr ? ink : &s.looseInk;
  }
  if (s.ink != before || s.ink == &s.looseInk) s.targetShown = s.changedShown = false;
  // A record of another size is of some other buffer.
  if (s.ink->known && (s.ink->width != s.width || s.ink->height != s.height)) {
    s.ink->known = false;
    s.ink->draws.known = false;
  }
}

void RasterSurface::SetInkTrackingEnabled(bool enabled) {
  if (state_->waiting) state_->Finish();
  state_->tracking = enabled;
}

void RasterSurface::FillBlack(int x, int y, int width, int height) {
  State& s = *state_;
  const long long x0 = std::max<long long>(0, x);
  const long long y0 = std::max<long long>(0, y);
  const long long x1 = std::min<long long>(s.width, static_cast<long long>(x) + width);
  const long long y1 = std::min<long long>(s.height, static_cast<long long>(y) + height);
  if (x0 >= x1 || y0 >= y1) return;
  const Rect area{static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(x1), static_cast<int>(y1)};
  const bool whole = x0 == 0 && y0 == 0 && x1 == s.width && y1 == s.height;
  // A frame starts: its look-ups follow the last frame's from the first.
  if (whole) s.recentAt = s.recentFontAt = 0;
  if (whole && s.tracking && s.ink->known && s.ink->draws.known) {
    // Nothing is cleared yet: the frame's end clears the tiles whose
    // glyphs differ (a frame cleared again before its end was never seen).
    s.waiting = true;
    s.next.known = true;
    s.next.draws.clear();
    s.nextCoverage.clear();
    return;
  }
  if (s.waiting) s.Finish();
  s.targetShown = s.changedShown = false;
  if (whole && s.tracking && s.ink->known) {
    // The rest of the buffer is black already.
    InkRuns(*s.ink, &s.rects);
    for (const Rect& run : s.rects) s.ClearRect(run);
    SetInkBlack(s.ink, s.width, s.height);
    return;
  }
  s.ClearRect(area);
  if (whole) {
    // What a fresh buffer held may differ anywhere from the frame on screen.
    if (!s.ink->known) s.showWhole = true;
    SetInkBlack(s.ink, s.width, s.height);
  } else {
    s.ink->draws.known = false;
    if (s.ink->known) UnmarkInk(s.ink, area);
  }
}

void RasterSurface::State::ClearRect(const Rect& area) {
  State& s = *this;
  std::uint32_t* start = s.pixels + static_cast<std::size_t>(area.top) * s.stride + area.left;
  const std::size_t width = static_cast<std::size_t>(area.right - area.left);
  if (width == s.stride) {
    std::memset(start, 0, width * static_cast<std::size_t>(area.bottom - area.top) * sizeof(std::uint32_t));
    return;
  }
  for (int row = area.top; row < area.bottom; ++row, start += s.stride) {
    std::memset(start, 0, width * sizeof(std::uint32_t));
  }
}

void RasterSurface::SetTextColor(ColorRef color) { state_->color = ToPixel(color); }

void RasterSurface::SelectClockFont(const ClockFont& font) {
  State& s = *state_;
  // The face asks for a font before nearly every character; most requests
  // repeat the last one.
  if (s.haveFont && font.face == s.requestedFace && font.height == s.requestedHeight &&
      font.escapement == s.requestedEscapement) {
    return;
  }
  s.ResolveFont(font);
}

void RasterSurface::PutText(int x, int y, const char16_t* text, int count) {
  State& s = *state_;
  if (!s.haveFont) SelectClockFont(ClockFont{});
  if (s.face == nullptr || text == nullptr || count <= 0) return;
  // The baseline origin lies the ascent below the cell's top-left, turned
  // with the text, and is cut to whole pixels toward zero as GDI cuts it:
  // rounding instead shifts turned labels half a pixel from where Windows
  // draws them.
  const long long baseX = static_cast<long long>(x + s.ascent * s.sine);
  const long long baseY = static_cast<long long>(y + s.ascent * s.cosine);
  double penX = 0, penY = 0;
  for (int i = 0; i < count;) {
    const char32_t code = NextCodePoint(text, count, &i);
    const long long originX = baseX + std::llround(penX);
    const long long originY = baseY + std::llround(penY);
    const Glyph* glyph = s.cacheEnabled ? s.LookUp(code) : nullptr;
    if (glyph != nullptr && s.waiting) {
      const long long x0 = originX + glyph->left, y0 = originY - glyph->top;
      const Rect box = s.Box(glyph->width, glyph->rows, x0, y0);
      if (box.left < box.right) {
        s.next.draws.push_back(DrawAt(s.keyBase | code, x0, y0, s.color, box));
        s.nextCoverage.push_back(Coverage{glyph->offset, glyph->width, glyph->rows});
      }
      penX += glyph->advanceX;
      penY += glyph->advanceY;
      continue;
    }
    if (glyph != nullptr) {
      s.Blend(s.keyBase | code, s.arena.data() + glyph->offset, glyph->width, glyph->rows, glyph->width,
              originX + glyph->left, originY - glyph->top);
      penX += glyph->advanceX;
      penY += glyph->advanceY;
      continue;
    }
    // A glyph the cache does not keep is drawn at once, and the frame with it.
    if (s.waiting) s.DrawNoted();
    FT_GlyphSlot slot = s.cacheEnabled && s.slotHoldsGlyph ? s.face->face->glyph : s.Rasterise(code);
    if (slot == nullptr) continue;
    const Glyph fresh = s.Describe(slot);
    if (slot->bitmap.pixel_mode == FT_PIXEL_MODE_GRAY && slot->bitmap.pitch > 0) {
      s.Blend(s.keyBase | code, slot->bitmap.buffer, fresh.width, fresh.rows, slot->bitmap.pitch,
              originX + fresh.left, originY - fresh.top);
    }
    penX += fresh.advanceX;
    penY += fresh.advanceY;
  }
}

void RasterSurface::CopyToWindow(int x, int y, int width, int height) {
  State& s = *state_;
  if (s.waiting) s.Finish();
  if (!s.presenter && !s.damagePresenter) return;
  const long long x0 = std::max<long long>(0, x);
  const long long y0 = std::max<long long>(0, y);
  const long long x1 = std::min<long long>(s.width, static_cast<long long>(x) + width);
  const long long y1 = std::min<long long>(s.height, static_cast<long long>(y) + height);
  const Rect copy{static_cast<int>(x0), static_cast<int>(y0), static_cast<int>(std::max(x0, x1)),
                  static_cast<int>(std::max(y0, y1))};
  const Rect all{0, 0, s.width, s.height};
  const bool whole = Covers(copy, all);

  if (s.presenter) {
    s.presenter(x, y, width, height);
  } else {
    s.Changes(copy);
    s.damagePresenter(std::span<const Rect>(s.rects));
  }
  s.changedShown = false;

  // The screen now holds the target's pixels inside the copy and what it
  // held before outside it.
  if (whole) {
    s.showWhole = false;
    if (s.ink->known) {
      s.shown = *s.ink;
    } else {
      s.shown.known = false;
    }
    s.targetShown = s.tracking && s.shown.known && s.shown.draws.known;
  } else {
    s.targetShown = false;
    if (s.shown.known && s.ink->known) {
      AddInk(&s.shown, *s.ink);
    } else {
      s.shown.known = false;
    }
    s.shown.draws.known = false;
  }
}

void RasterSurface::State::Changes(const Rect& copy) {
  rects.clear();
  if (!tracking || showWhole || !shown.known || !ink->known) {
    if (copy.left < copy.right && copy.top < copy.bottom) rects.push_back(copy);
    return;
  }
  // Unless the frame's end found them already: tile by tile, the glyphs
  // drawn now against those on screen, or failing those the ink.
  if (!changedShown) {
    changed.Reset(width, height);
    if (ink->draws.known && shown.draws.known) {
      MarkChangedDraws(shown.draws, ink->draws, &changed);
    } else {
      MarkInkTiles(shown, &changed);
      MarkInkTiles(*ink, &changed);
    }
  }
  TileListRegion(width, height, changed.list, copy, &rects);
}

void RasterSurface::SetPresenter(Presenter presenter) {
  state_->presenter = std::move(presenter);
  state_->damagePresenter = nullptr;
}

void RasterSurface::SetDamagePresenter(DamagePresenter presenter) {
  state_->damagePresenter = std::move(presenter);
  state_->presenter = nullptr;
}

void RasterSurface::ShowWhole() { state_->showWhole = true; }

void RasterSurface::SetGlyphCacheEnabled(bool enabled) {
  if (state_->waiting) state_->Finish();
  state_->cacheEnabled = enabled;
  if (!enabled) {
    state_->ClearCache();
    state_->arena.shrink_to_fit();
  }
}

void RasterSurface::SetGlyphCacheLimit(std::size_t bytes) {
  if (state_->waiting) state_->Finish();
  state_->cacheBytes = bytes;
  state_->ClearCache();
}

std::size_t RasterSurface::GlyphCacheBytes() const { return state_->arena.size(); }

int RasterSurface::Width() const { return state_->width; }
int RasterSurface::Height() const { return state_->height; }
int RasterSurface::Stride() const { return static_cast<int>(state_->stride); }
const std::uint32_t* RasterSurface::Pixels() const {
  // A frame read before its end is drawn first.
  if (state_->waiting) state_->Finish();
  return state_->pixels;
}
std::uint32_t* RasterSurface::Pixels() {
  if (state_->waiting) state_->Finish();
  // Whatever the caller writes is unknown to the record.
  state_->ink->known = false;
  state_->ink->draws.known = false;
  state_->targetShown = state_->changedShown = false;
  return state_->pixels;
}
