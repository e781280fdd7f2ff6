// The face drawn into a 32-bit pixel buffer with FreeType: glyphs of the
// clock font's faces (font_lookup.h) are rasterised turned by the escapement
// about the top-left of their cell and blended in the text colour. Used by
// the Linux saver and the headless renderer.
//
// The surface remembers which tiles of its buffer it inked, so clearing the
// whole area clears only those, and a presenter can be told which parts of
// a frame may differ from the frame shown before.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>

#include "face/ink_record.h"
#include "face/surface.h"

class RasterSurface : public Surface {
 public:
  // A black buffer of `width` x `height` pixels, each 0x00RRGGBB.
  RasterSurface(int width, int height);
  ~RasterSurface() override;

  // Draws from now on into `pixels`: `Width()` x `Height()` pixels of
  // 0x00RRGGBB, rows `strideBytes` apart (a multiple of 4), kept alive by the
  // caller while drawn into. `ink` is that memory's record, kept with it
  // (one per buffer where buffers take turns); a fresh record makes the
  // next whole clear clear everything. Without a record the surface keeps
  // one until the next target. A null `pixels` goes back to the surface's
  // own buffer. Change targets between frames only.
  //
  // A frame begun with a whole clear onto a target whose glyphs are known
  // is only noted until its end, `CopyToWindow`: then just the tiles whose
  // glyphs, places or colours differ from those the target holds are
  // cleared and drawn, clipped to those tiles. Its pixels are in the target
  // from then on, or once `Pixels()` is asked for, changing targets, or any
  // other fill.
  void SetTarget(std::uint32_t* pixels, std::size_t strideBytes, InkRecord* ink);

  // Filling the whole buffer clears only the tiles inked since it was
  // last black; any other rectangle is filled as asked.
  void FillBlack(int x, int y, int width, int height) override;
  void SetTextColor(ColorRef color) override;
  void SelectClockFont(const ClockFont& font) override;
  void PutText(int x, int y, const char16_t* text, int count) override;
  // Hands the rectangle to the presenter, if any.
  void CopyToWindow(int x, int y, int width, int height) override;

  // Shows the copied rectangle as asked, whatever changed in it.
  using Presenter = std::function<void(int x, int y, int width, int height)>;
  void SetPresenter(Presenter presenter);
  // Shows only the rectangles of the copy whose pixels may differ from what
  // the presenter was last handed: the tiles where the glyphs drawn, their
  // places or colours differ between the two frames (or, where a frame was
  // not drawn from black, the ink shown then and the ink now). A few
  // rectangles inside the buffer, perhaps none at all.
  // The whole copied rectangle comes instead for the first frame shown,
  // after `ShowWhole`, and for the first frame drawn into a fresh target.
  // One presenter at a time: setting either replaces the other.
  using DamagePresenter = std::function<void(std::span<const Rect> changed)>;
  void SetDamagePresenter(DamagePresenter presenter);
  // The next copy shows the whole rectangle: what the screen holds is not
  // what was last presented (an Expose, a new monitor), or the back end
  // wants the whole face shown once (a relayout, a style or theme change).
  void ShowWhole();

  // Off: every whole clear clears the whole buffer and every copy shows the
  // whole rectangle (the benchmark's and the tests' baseline).
  void SetInkTrackingEnabled(bool enabled);

  // Off: every glyph is rasterised afresh (the benchmark's baseline).
  void SetGlyphCacheEnabled(bool enabled);
  // The cache is emptied whenever its glyph bitmaps would pass `bytes`
  // (32 MiB unless set); `GlyphCacheBytes` is what it holds now.
  void SetGlyphCacheLimit(std::size_t bytes);
  std::size_t GlyphCacheBytes() const;

  int Width() const;
  int Height() const;
  // Pixels from one row to the next: `Width()` in the surface's own buffer.
  int Stride() const;
  // Row-major pixels of the present target, `Stride()` per row, 0x00RRGGBB.
  const std::uint32_t* Pixels() const;
  // For writing: the surface then no longer knows where ink is, and its
  // next whole clear clears everything.
  std::uint32_t* Pixels();

 private:
  struct State;
  std::unique_ptr<State> state_;
};
