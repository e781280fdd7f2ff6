// The face drawn into a 32-bit pixel buffer with FreeType: the clock font's
// faces are resolved once through fontconfig, glyphs are rasterised turned by
// the escapement about the top-left of their cell and blended in the text
// colour. Used by the Linux saver and the headless renderer.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "face/surface.h"

// Resolves the two faces of the clock font ("微软雅黑" and "楷体") through
// fontconfig with our alias file, once per process. On failure returns false
// and says in `error` which face is missing and which package provides it.
bool LoadClockFaces(std::string* error);

// After `LoadClockFaces`: the font standing in for the face name `face`, as
// "file#index (family style)"; empty before.
std::string ClockFaceSource(const char16_t* face);

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

// Writes the surface as an 8-bit RGB PNG. The file appears whole or not at
// all (written beside it, then renamed). On failure `error` says why.
bool WritePng(const RasterSurface& surface, const std::string& path, std::string* error);
