// The clock face on Windows graphics: a memory device context with a bitmap
// of the client size (the back buffer), copied to the clock window with one
// BitBlt per frame.
#pragma once

#include <windows.h>

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

 private:
  HWND window_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HFONT font_ = nullptr;             // the clock font now selected, ours
  HGDIOBJ originalFont_ = nullptr;   // the DC's own font, put back at the end
};
