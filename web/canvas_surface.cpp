#include "canvas_surface.h"

#include <emscripten.h>

#include <algorithm>
#include <cmath>

#include "common/utf_conversion.h"
#include "face/numerals.h"
#include "web_font_metrics.h"

// The page's side: Module.orbidialContext is the canvas's 2D context and
// Module.orbidialFamilies the CSS families of the two faces, in the order of
// kWebFaces.
EM_JS(void, JsFillBlack, (int x, int y, int width, int height), {
  const c = Module.orbidialContext;
  c.setTransform(1, 0, 0, 1, 0, 0);
  c.fillStyle = '#000';
  c.fillRect(x, y, width, height);
});
EM_JS(void, JsSetColor, (int r, int g, int b), {
  Module.orbidialContext.fillStyle = 'rgb(' + r + ',' + g + ',' + b + ')';
});
EM_JS(void, JsSetFont, (int face, int ppem), {
  const c = Module.orbidialContext;
  c.font = ppem + 'px ' + Module.orbidialFamilies[face];
  c.textBaseline = 'alphabetic';
  c.textAlign = 'left';
});
EM_JS(double, JsMeasure, (int code), {
  return Module.orbidialContext.measureText(String.fromCodePoint(code)).width;
});
EM_JS(void, JsGlyph, (int code, double x, double y, double cosine, double sine), {
  const c = Module.orbidialContext;
  c.setTransform(cosine, -sine, sine, cosine, x, y);
  c.fillText(String.fromCodePoint(code), 0, 0);
});

namespace {

constexpr int kDefaultCellHeight = 16;
constexpr int kLargestCell = 4096;
constexpr double kRadiansPerDegree = 0.017453292519943295;

// "楷体" is the numeral face, any other name the Arabic face.
int WebFaceFor(const char16_t* name) {
  const char16_t* numeral = kNumeralFace;
  if (name == nullptr) return 0;
  for (; *name != 0 && *name == *numeral; ++name, ++numeral) {}
  return *name == 0 && *numeral == 0 ? 1 : 0;
}

}  // namespace

void CanvasSurface::Reset() {
  haveFont_ = false;
  colorSet_ = false;
  contextFace_ = -1;
  contextPpem_ = 0;
}

void CanvasSurface::FillBlack(int x, int y, int width, int height) { JsFillBlack(x, y, width, height); }

void CanvasSurface::SetTextColor(ColorRef color) {
  if (colorSet_ && color == color_) return;
  colorSet_ = true;
  color_ = color;
  JsSetColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
             static_cast<int>((color >> 16) & 0xFF));
}

void CanvasSurface::SelectClockFont(const ClockFont& font) {
  if (haveFont_ && font.face == requestedFace_ && font.height == requestedHeight_ &&
      font.escapement == requestedEscapement_) {
    return;
  }
  haveFont_ = true;
  requestedFace_ = font.face;
  requestedHeight_ = font.height;
  requestedEscapement_ = font.escapement;
  face_ = WebFaceFor(font.face);
  const WebFaceMetrics& metrics = kWebFaces[face_];
  // A positive height is the cell (winAscent + winDescent), a negative one
  // the em; whole pixels per em, the ascent whole pixels of that em.
  double em;
  if (font.height >= 0) {
    em = (font.height == 0 ? kDefaultCellHeight : font.height) * metrics.emPerCell;
  } else {
    em = -static_cast<double>(font.height);
  }
  ppem_ = em / metrics.emPerCell > kLargestCell ? 0 : static_cast<int>(std::max(1.0, std::round(em)));
  ascent_ = std::round(ppem_ * metrics.ascentPerCell / metrics.emPerCell);
  escapement_ = font.escapement % 3600;
  if (escapement_ < 0) escapement_ += 3600;
  const double theta = escapement_ / 10.0 * kRadiansPerDegree;
  cosine_ = escapement_ == 0 ? 1.0 : std::cos(theta);
  sine_ = escapement_ == 0 ? 0.0 : std::sin(theta);
  // The context's font is set only when the face or the size changes, not
  // for every turn.
  if (ppem_ != 0 && (ppem_ != contextPpem_ || face_ != contextFace_)) {
    JsSetFont(face_, ppem_);
    contextFace_ = face_;
    contextPpem_ = ppem_;
  }
}

double CanvasSurface::Advance(char32_t code) {
  const std::uint64_t key = (static_cast<std::uint64_t>(face_) << 56) |
                            (static_cast<std::uint64_t>(ppem_) << 32) | code;
  auto found = advances_.find(key);
  if (found == advances_.end()) found = advances_.emplace(key, JsMeasure(static_cast<int>(code))).first;
  // Upright text steps whole pixels, turned text keeps the fraction.
  return escapement_ == 0 ? std::round(found->second) : found->second;
}

void CanvasSurface::PutText(int x, int y, const char16_t* text, int count) {
  if (!haveFont_) SelectClockFont(ClockFont{});
  if (ppem_ == 0 || text == nullptr || count <= 0) return;
  // The baseline origin lies the ascent below the cell's top-left, turned
  // with the text, cut to whole pixels toward zero.
  const long long baseX = static_cast<long long>(x + ascent_ * sine_);
  const long long baseY = static_cast<long long>(y + ascent_ * cosine_);
  double pen = 0;
  for (int i = 0; i < count;) {
    const char32_t code = NextCodePoint(text, count, &i);
    const double originX = static_cast<double>(baseX + std::llround(pen * cosine_));
    const double originY = static_cast<double>(baseY + std::llround(-pen * sine_));
    if (code != U' ') JsGlyph(static_cast<int>(code), originX, originY, cosine_, sine_);
    pen += Advance(code);
  }
}

void CanvasSurface::CopyToWindow(int, int, int, int) {}
