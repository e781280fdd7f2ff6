// orbidial-render: draws the clock face for any instant, size, style and theme
// into a PNG, or prints the drawing operations, without a display.
#include <cstdio>
#include <memory>
#include <ctime>
#include <string>
#include <vector>

#include "face/clock_source.h"
#include "face/font_lookup.h"
#include "face/frame.h"
#include "face/layout.h"
#include "face/local_instant.h"
#include "face/numerals.h"
#include "face/png_writer.h"
#include "face/raster_surface.h"
#include "face/recording_surface.h"
#include "face/themes.h"
#include "shell/exit_status.h"
#include "shell/render_options.h"

namespace {

// Draws into every surface in turn; the recording one prints as it goes.
class TeeSurface : public Surface {
 public:
  TeeSurface(Surface* a, Surface* b) : a_(a), b_(b) {}
  void FillBlack(int x, int y, int w, int h) override { Each([&](Surface& s) { s.FillBlack(x, y, w, h); }); }
  void SetTextColor(ColorRef c) override { Each([&](Surface& s) { s.SetTextColor(c); }); }
  void SelectClockFont(const ClockFont& f) override { Each([&](Surface& s) { s.SelectClockFont(f); }); }
  void PutText(int x, int y, const char16_t* t, int n) override { Each([&](Surface& s) { s.PutText(x, y, t, n); }); }
  void CopyToWindow(int x, int y, int w, int h) override { Each([&](Surface& s) { s.CopyToWindow(x, y, w, h); }); }

 private:
  template <typename F>
  void Each(F f) {
    if (a_ != nullptr) f(*a_);
    if (b_ != nullptr) f(*b_);
  }
  Surface* a_;
  Surface* b_;
};

int Fail(const std::string& message, int status = kExitBadInput) {
  std::fprintf(stderr, "orbidial-render: %s\n", message.c_str());
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  RenderOptions options;
  std::string error;
  if (!ParseRenderOptions(std::vector<std::string>(argv + 1, argv + argc), &options, &error)) {
    return Fail(error);
  }
  if (options.help) {
    std::fputs(RenderUsage(), stdout);
    return 0;
  }
  if (options.output.empty() && !options.calls) options.output = "orbidial.png";

  std::tm firstInstant{};
  if (options.haveAt) {
    firstInstant = options.at;
  } else if (!ReadSystemClock(&firstInstant)) {
    return Fail("the system clock cannot be read as local time");
  }

  FaceLook look = RenderLook(options, firstInstant);

  std::unique_ptr<RasterSurface> raster;
  if (!options.output.empty()) {
    if (!LoadClockFaces(&error)) return Fail(error, ClockFacesLackedMemory() ? kExitNoMemory : kExitNoFont);
    raster = std::make_unique<RasterSurface>(options.width, options.height);
  }
  RecordingSurface recording(options.calls ? stdout : nullptr);
  recording.SetKeep(false);
  TeeSurface tee(options.calls ? &recording : nullptr, raster.get());

  const FaceLayout layout = ComputeLayout(options.width, options.height, look.NumeralStyle);
  for (long long k = 0; k < options.frames; ++k) {
    if (options.calls) std::printf("frame %lld\n", k + 1);
    std::tm now{};
    const bool known = FrameTime(firstInstant, k, &now);
    DrawFrame(tee, layout, look, known ? &now : nullptr);
  }
  if (std::fflush(stdout) != 0) return Fail("cannot write the drawing operations");

  if (raster) {
    if (!WritePng(*raster, options.output, &error)) return Fail(error);
    if (!options.calls) std::printf("%s\n", options.output.c_str());
  }
  return 0;
}
