// Frames drawn with Windows graphics into the saver's back buffer and copied
// to a visible window, timed per numeral style; also the fonts each frame
// asks for. Run under Wine (bench/measure_wine.sh) or on Windows:
//   gdi_frame_bench.exe [WIDTH HEIGHT FRAMES]
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "face/frame.h"
#include "face/gdi_surface_win32.h"
#include "face/layout.h"
#include "face/local_instant.h"
#include "face/numerals.h"
#include "face/themes.h"

namespace {

// Passes everything to the GDI surface and counts the font selections.
class CountingSurface : public Surface {
 public:
  explicit CountingSurface(Surface* inner) : inner_(inner) {}
  void FillBlack(int x, int y, int width, int height) override { inner_->FillBlack(x, y, width, height); }
  void SetTextColor(ColorRef color) override { inner_->SetTextColor(color); }
  void SelectClockFont(const ClockFont& font) override {
    ++fonts;
    inner_->SelectClockFont(font);
  }
  void PutText(int x, int y, const char16_t* text, int count) override {
    ++texts;
    inner_->PutText(x, y, text, count);
  }
  void CopyToWindow(int x, int y, int width, int height) override {
    inner_->CopyToWindow(x, y, width, height);
  }
  long fonts = 0;
  long texts = 0;

 private:
  Surface* inner_;
};

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int width = argc > 1 ? _wtoi(argv[1]) : 1920;
  const int height = argc > 2 ? _wtoi(argv[2]) : 1080;
  const int frames = argc > 3 ? _wtoi(argv[3]) : 60;
  if (width <= 0 || height <= 0 || frames <= 0) {
    std::fprintf(stderr, "usage: gdi_frame_bench [WIDTH HEIGHT FRAMES]\n");
    return 2;
  }
  HWND window = CreateWindowExW(0, L"STATIC", L"gdi bench", WS_POPUP | WS_VISIBLE, 0, 0, width,
                                height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (window == nullptr) return 1;
  // Every run draws the same glyphs.
  std::tm at{}, now{};
  if (!ParseLocalInstant("2026-12-09 10:08:30", &at) || !FrameTime(at, 0, &now)) return 1;
  FaceLook look;
  look.ThemeIndex = 3;
  UpdateHighlightColor(look);
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  for (int style : {0, 1, 2}) {
    GdiSurface gdi(window, width, height);
    CountingSurface counting(&gdi);
    look.NumeralStyle = static_cast<std::int16_t>(style);
    const FaceLayout layout = ComputeLayout(width, height, look.NumeralStyle);
    for (int i = 0; i < 3; ++i) DrawFrame(counting, layout, look, &now);  // the fonts' glyphs warm
    counting.fonts = counting.texts = 0;
    std::vector<double> times;
    for (int i = 0; i < frames; ++i) {
      LARGE_INTEGER start, end;
      QueryPerformanceCounter(&start);
      DrawFrame(counting, layout, look, &now);
      GdiFlush();
      QueryPerformanceCounter(&end);
      times.push_back(Milliseconds(start, end, frequency));
    }
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (double t : times) sum += t;
    std::printf("style %d %dx%d: median %.2f ms, mean %.2f ms, p90 %.2f ms; "
                "%ld fonts and %ld texts a frame\n",
                style, width, height, times[times.size() / 2], sum / times.size(),
                times[times.size() * 9 / 10], counting.fonts / frames, counting.texts / frames);
    std::fflush(stdout);
  }
  DestroyWindow(window);
  return 0;
}
