// Placeholder until the FreeType surface lands.
#include "face/raster_surface.h"

#include <vector>

struct RasterSurface::State {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
  Presenter presenter;
};

bool LoadClockFaces(std::string* error) {
  *error = "no font rasteriser in this build";
  return false;
}
RasterSurface::RasterSurface(int width, int height) : state_(new State) {
  state_->width = width;
  state_->height = height;
  state_->pixels.assign(static_cast<std::size_t>(width) * height, 0);
}
RasterSurface::~RasterSurface() = default;
void RasterSurface::FillBlack(int, int, int, int) {}
void RasterSurface::SetTextColor(ColorRef) {}
void RasterSurface::SelectClockFont(const ClockFont&) {}
void RasterSurface::PutText(int, int, const char16_t*, int) {}
void RasterSurface::CopyToWindow(int x, int y, int w, int h) {
  if (state_->presenter) state_->presenter(x, y, w, h);
}
void RasterSurface::SetPresenter(Presenter p) { state_->presenter = std::move(p); }
void RasterSurface::SetGlyphCacheEnabled(bool) {}
int RasterSurface::Width() const { return state_->width; }
int RasterSurface::Height() const { return state_->height; }
const std::uint32_t* RasterSurface::Pixels() const { return state_->pixels.data(); }
std::uint32_t* RasterSurface::Pixels() { return state_->pixels.data(); }
bool WritePng(const RasterSurface&, const std::string&, std::string* error) {
  *error = "no PNG writer in this build";
  return false;
}
