// Frames drawn onto the raster surface: warm (glyphs cached) with the whole
// buffer cleared or only the inked tiles, second after second as the saver
// draws them (with what a damage presenter is told), first frame of a fresh
// surface, and every glyph rasterised afresh; clearing alone as the
// yardstick. Run a Release build:  build/bench/orbidial_bench
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <span>
#include <string>
#include <utility>

#include "face/font_lookup.h"
#include "face/frame.h"
#include "face/layout.h"
#include "face/numerals.h"
#include "face/raster_surface.h"
#include "face/themes.h"

namespace {

// A fixed instant, so every run draws the same glyphs; `Ticks` seconds
// later when the clock runs.
long long Ticks = 0;
bool FixedClock(std::tm* out) {
  std::tm t{};
  t.tm_year = 2026 - 1900;
  t.tm_mon = 11;
  t.tm_mday = 9;
  t.tm_hour = 10 + static_cast<int>(Ticks / 3600 % 14);
  t.tm_min = 8 + static_cast<int>(Ticks / 60 % 50);
  t.tm_sec = static_cast<int>((30 + Ticks) % 60);
  t.tm_wday = 3;
  *out = t;
  return true;
}

// Theme 3 in `style`, laid out for `surface`.
struct BenchFace {
  FaceLook look;
  FaceLayout layout;
};
BenchFace Prepare(const RasterSurface& surface, int style) {
  BenchFace face;
  face.look.NumeralStyle = static_cast<std::int16_t>(style);
  face.look.ThemeIndex = 3;
  UpdateHighlightColor(face.look);
  face.layout = ComputeLayout(surface.Width(), surface.Height(), face.look.NumeralStyle);
  return face;
}

void Draw(RasterSurface& surface, const BenchFace& face) {
  std::tm now{};
  FixedClock(&now);
  DrawFrame(surface, face.layout, face.look, &now);
}

enum Mode { kWarm, kWholeClear, kTicking, kFirstFrame, kNoCache };

void BM_Frame(benchmark::State& state, Mode mode) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  const int style = static_cast<int>(state.range(2));
  auto surface = std::make_unique<RasterSurface>(width, height);
  if (mode == kNoCache) surface->SetGlyphCacheEnabled(false);
  if (mode == kWholeClear) surface->SetInkTrackingEnabled(false);
  // What a presenter would be handed second after second.
  long long rects = 0, area = 0, shows = 0;
  if (mode == kTicking) {
    surface->SetDamagePresenter([&](std::span<const Rect> changed) {
      ++shows;
      rects += static_cast<long long>(changed.size());
      for (const Rect& r : changed) area += static_cast<long long>(r.right - r.left) * (r.bottom - r.top);
    });
  }
  BenchFace face = Prepare(*surface, style);
  Ticks = 0;
  if (mode == kWarm || mode == kWholeClear) Draw(*surface, face);
  // Every label of the second ring at every place, and the first show
  // (the whole frame) out of the figures.
  if (mode == kTicking) {
    for (int i = 0; i < 120; ++i, ++Ticks) Draw(*surface, face);
    rects = area = shows = 0;
  }
  for (auto _ : state) {
    if (mode == kFirstFrame) {
      state.PauseTiming();
      surface = std::make_unique<RasterSurface>(width, height);
      face = Prepare(*surface, style);
      state.ResumeTiming();
    }
    if (mode == kTicking) ++Ticks;
    Draw(*surface, face);
    benchmark::DoNotOptimize(std::as_const(*surface).Pixels()[width * (height / 2) + width * 3 / 4]);
  }
  if (shows > 0) {
    state.counters["rects"] = static_cast<double>(rects) / static_cast<double>(shows);
    state.counters["shown%"] =
        100.0 * static_cast<double>(area) / static_cast<double>(shows) / (static_cast<double>(width) * height);
  }
  Ticks = 0;
}

void BM_Clear(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  RasterSurface surface(width, height);
  surface.SetInkTrackingEnabled(false);
  for (auto _ : state) {
    surface.FillBlack(0, 0, width, height);
    benchmark::DoNotOptimize(std::as_const(surface).Pixels()[0]);
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
BENCHMARK_CAPTURE(BM_Frame, warm_whole_clear, kWholeClear)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_Frame, ticking, kTicking)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_Frame, first_frame, kFirstFrame)->Apply(Sizes);
BENCHMARK_CAPTURE(BM_Frame, no_cache, kNoCache)->Apply(Sizes);

}  // namespace

int main(int argc, char** argv) {
  setenv("ORBIDIAL_TEST_DATADIR", ORBIDIAL_BUILD_DATADIR, 0);
  std::string error;
  if (!LoadClockFaces(&error)) {
    std::fprintf(stderr, "orbidial_bench: %s\n", error.c_str());
    return 2;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
