// The clock face on Windows graphics: a memory device context with a bitmap
// of the client size (the back buffer), copied to the clock window with one
// BitBlt per frame.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "face/surface.h"

class GdiSurface : public Surface {
 public:
  // Builds the back buffer for `window`: a memory DC compatible with the
  // window's DC and a compatible bitmap of width x height selected into it,
  // filled black, background mode transparent.
  GdiSurface(HWND window, int width, int height);
  ~GdiSurface() override;
  GdiSurface(const GdiSurface&) = delete;
  GdiSurface& operator=(const GdiSurface&) = delete;

  void FillBlack(int x, int y, int width, int height) override;
  void SetTextColor(ColorRef color) override;
  void SelectClockFont(const ClockFont& font) override;
  void PutText(int x, int y, const char16_t* text, int count) override;
  void CopyToWindow(int x, int y, int width, int height) override;

  HDC Dc() const { return dc_; }
  HBITMAP Bitmap() const { return bitmap_; }

  // The face asks for one font per whole degree of turn at most, about 360
  // for a style; beyond this many something else is asking, and every kept
  // font is let go.
  static constexpr std::size_t kMostFonts = 512;
  std::size_t FontsKept() const { return fonts_.size(); }

 private:
  // A clock font made once and kept while the surface lives. The system
  // keeps a font realised (its metrics and rasterised glyphs) only while
  // some DC has it selected, and forgets all but the last few others: each
  // font therefore also stays selected in a one-pixel DC of its own, like
  // the back buffer's, so a turned label's glyphs are not laid out and
  // rasterised afresh in every frame.
  struct KeptFont {
    HFONT font = nullptr;
    HDC holder = nullptr;
    HBITMAP holderBitmap = nullptr;
  };
  using FontKey = std::tuple<int, int, int, int, std::u16string>;

  void ForgetFonts();

  HWND window_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  std::map<FontKey, KeptFont> fonts_;
  HGDIOBJ originalFont_ = nullptr;  // the DC's own font, put back at the end
};
