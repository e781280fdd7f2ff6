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
  ForgetFonts();
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
  FontKey key{font.height, font.escapement, font.orientation, font.weight,
              font.face != nullptr ? font.face : u""};
  auto found = fonts_.find(key);
  if (found == fonts_.end()) {
    KeptFont kept;
    kept.font = CreateFontW(font.height, 0, font.escapement, font.orientation, font.weight, FALSE,
                            FALSE, FALSE, DEFAULT_CHARSET, OUT_RASTER_PRECIS, CLIP_DEFAULT_PRECIS,
                            DRAFT_QUALITY, FIXED_PITCH | FF_SWISS,
                            reinterpret_cast<const wchar_t*>(std::get<4>(key).c_str()));
    if (kept.font == nullptr) return;  // the previous font stays current
    if (fonts_.size() >= kMostFonts) ForgetFonts();
    // Without its holder a font still draws, only more slowly.
    kept.holder = CreateCompatibleDC(dc_);
    kept.holderBitmap = CreateCompatibleBitmap(dc_, 1, 1);
    if (kept.holder != nullptr) {
      SelectObject(kept.holder, kept.holderBitmap);
      SelectObject(kept.holder, kept.font);
    }
    found = fonts_.emplace(std::move(key), kept).first;
  }
  HGDIOBJ previous = SelectObject(dc_, found->second.font);
  if (originalFont_ == nullptr) originalFont_ = previous;
}

void GdiSurface::ForgetFonts() {
  // Windows refuses to delete a font that is still selected: the back
  // buffer gets its own font back, and each holder goes first.
  if (originalFont_ != nullptr) SelectObject(dc_, originalFont_);
  for (const auto& entry : fonts_) {
    const KeptFont& kept = entry.second;
    if (kept.holder != nullptr) DeleteDC(kept.holder);
    if (kept.holderBitmap != nullptr) DeleteObject(kept.holderBitmap);
    DeleteObject(kept.font);
  }
  fonts_.clear();
}

void GdiSurface::PutText(int x, int y, const char16_t* text, int count) {
  TextOutW(dc_, x, y, reinterpret_cast<const wchar_t*>(text), count);
}

void GdiSurface::CopyToWindow(int x, int y, int width, int height) {
  HDC windowDc = GetDC(window_);
  BitBlt(windowDc, x, y, width, height, dc_, 0, 0, SRCCOPY);
  ReleaseDC(window_, windowDc);
}
