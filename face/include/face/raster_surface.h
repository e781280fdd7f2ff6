// The face drawn into a 32-bit pixel buffer with FreeType: glyphs of the
// clock font's faces (font_lookup.h) are rasterised turned by the escapement
// about the top-left of their cell and blended in the text colour. Used by
// the Linux saver and the headless renderer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "face/surface.h"

class RasterSurface : public Surface {
 public:
  // A black buffer of `width` x `height` pixels, each 0x00RRGGBB.
  RasterSurface(int width, int height);
  ~RasterSurface() override;

  void FillBlack(int x, int y, int width, int height) override;
  void SetTextColor(ColorRef color) override;
  void SelectClockFont(const ClockFont& font) override;
  void PutText(int x, int y, const char16_t* text, int count) override;
  // Hands the rectangle to the presenter (the window's copy), if any.
  void CopyToWindow(int x, int y, int width, int height) override;

  using Presenter = std::function<void(int x, int y, int width, int height)>;
  void SetPresenter(Presenter presenter);

  // Off: every glyph is rasterised afresh (the benchmark's baseline).
  void SetGlyphCacheEnabled(bool enabled);
  // The cache is emptied whenever its glyph bitmaps would pass `bytes`
  // (32 MiB unless set); `GlyphCacheBytes` is what it holds now.
  void SetGlyphCacheLimit(std::size_t bytes);
  std::size_t GlyphCacheBytes() const;

  int Width() const;
  int Height() const;
  // Row-major pixels, `Width()` per row, 0x00RRGGBB.
  const std::uint32_t* Pixels() const;
  std::uint32_t* Pixels();

 private:
  struct State;
  std::unique_ptr<State> state_;
};
