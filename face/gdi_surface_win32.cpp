#include "face/gdi_surface_win32.h"

static_assert(sizeof(char16_t) == sizeof(wchar_t), "UTF-16 text is handed to GDI as is");

GdiSurface::GdiSurface(HWND window, int width, int height) : window_(window) {
  HDC windowDc = GetDC(window);
  dc_ = CreateCompatibleDC(windowDc);
  bitmap_ = CreateCompatibleBitmap(windowDc, width, height);
  SelectObject(dc_, bitmap_);
  ReleaseDC(window, windowDc);
  PatBlt(dc_, 0, 0, width, height, BLACKNESS);
  SetBkMode(dc_, TRANSPARENT);
}

GdiSurface::~GdiSurface() {
  if (font_ != nullptr) {
    SelectObject(dc_, originalFont_);
    DeleteObject(font_);
  }
  // Deleting the DC first releases the bitmap from it, so the bitmap can
  // then be deleted too.
  if (dc_ != nullptr) DeleteDC(dc_);
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
}

void GdiSurface::FillBlack(int x, int y, int width, int height) {
  PatBlt(dc_, x, y, width, height, BLACKNESS);
}

void GdiSurface::SetTextColor(ColorRef color) { ::SetTextColor(dc_, color); }

void GdiSurface::SelectClockFont(const ClockFont& font) {
  HFONT handle = CreateFontW(font.height, 0, font.escapement, font.orientation, font.weight,
                             FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_RASTER_PRECIS,
                             CLIP_DEFAULT_PRECIS, DRAFT_QUALITY, FIXED_PITCH | FF_SWISS,
                             reinterpret_cast<const wchar_t*>(font.face));
  if (handle == nullptr) return;  // the previous font stays current
  HGDIOBJ previous = SelectObject(dc_, handle);
  // Windows refuses to delete a font while it is selected, so each font is
  // deleted as soon as the next one replaces it: one font alive at a time.
  if (font_ != nullptr) {
    DeleteObject(font_);
  } else {
    originalFont_ = previous;
  }
  font_ = handle;
}

void GdiSurface::PutText(int x, int y, const char16_t* text, int count) {
  TextOutW(dc_, x, y, reinterpret_cast<const wchar_t*>(text), count);
}

void GdiSurface::CopyToWindow(int x, int y, int width, int height) {
  HDC windowDc = GetDC(window_);
  BitBlt(windowDc, x, y, width, height, dc_, 0, 0, SRCCOPY);
  ReleaseDC(window_, windowDc);
}
