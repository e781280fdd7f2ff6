// Frames drawn onto the raster surface: warm (glyphs cached), first frame of
// a fresh surface, and every glyph rasterised afresh; clearing alone as the
// yardstick. Run a Release build:  build/bench/orbidial_bench
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

#include "face/clock_source.h"
#include "face/font_lookup.h"
#include "face/frame.h"
#include "face/layout.h"
#include "face/numerals.h"
#include "face/raster_surface.h"
#include "face/themes.h"

namespace {

// A fixed instant, so every run draws the same glyphs.
bool FixedClock(std::tm* out) {
  std::tm t{};
  t.tm_year = 2026 - 1900;
  t.tm_mon = 11;
  t.tm_mday = 9;
  t.tm_hour = 10;
  t.tm_min = 8;
  t.tm_sec = 30;
  t.tm_wday = 3;
  *out = t;
  return true;
}

void Prepare(RasterSurface* surface, int style) {
  SetStoredNumeralStyle(style);
  if (style == 1) NumeralTable = ChineseNumerals;
  BackBufferDC = surface;
  ComputeLayout(Rect{0, 0, surface->Width(), surface->Height()});
}

enum Mode { kWarm, kFirstFrame, kNoCache };

void BM_Frame(benchmark::State& state, Mode mode) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  const int style = static_cast<int>(state.range(2));
  const Rect rect{0, 0, width, height};
  auto surface = std::make_unique<RasterSurface>(width, height);
  if (mode == kNoCache) surface->SetGlyphCacheEnabled(false);
  Prepare(surface.get(), style);
  if (mode == kWarm) DrawFrame(rect);
  for (auto _ : state) {
    if (mode == kFirstFrame) {
      state.PauseTiming();
      surface = std::make_unique<RasterSurface>(width, height);
      Prepare(surface.get(), style);
      state.ResumeTiming();
    }
    DrawFrame(rect);
    benchmark::DoNotOptimize(surface->Pixels()[width * (height / 2) + width * 3 / 4]);
  }
  BackBufferDC = nullptr;
}

void BM_Clear(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  RasterSurface surface(width, height);
  for (auto _ : state) {
    surface.FillBlack(0, 0, width, height);
    benchmark::DoNotOptimize(surface.Pixels()[0]);
    benchmark::ClobberMemory();
  }
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (int style : {0, 1, 2}) {
    b->Args({1920, 1080, style});
    b->Args({3840, 2160, style});
  }
  b->ArgNames({"w", "h", "style"})->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_Clear)->Args({1920, 1080})->Args({3840, 2160})->ArgNames({"w", "h"})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Frame, warm, kWarm)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_Frame, first_frame, kFirstFrame)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_Frame, no_cache, kNoCache)->Apply(Sizes);

}  // namespace

int main(int argc, char** argv) {
  std::string error;
  if (!LoadClockFaces(&error)) {
    std::fprintf(stderr, "orbidial_bench: %s\n", error.c_str());
    return 2;
  }
  ClockSource = FixedClock;
  ThemeIndex = 3;
  UpdateHighlightColor();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
