// orbidial-render for node: the renderer's command line over the face
// compiled to WebAssembly. It prints the drawing operations (--calls); there
// is no raster surface here, so a PNG is refused. --characters prints, for
// each face of the clock font, every character the face can draw with it:
// the list the page's font subsets are cut to.
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "common/utf_conversion.h"
#include "common/wide_format.h"
#include "face/clock_source.h"
#include "face/frame.h"
#include "face/layout.h"
#include "face/local_instant.h"
#include "face/numerals.h"
#include "face/recording_surface.h"
#include "face/themes.h"
#include "shell/exit_status.h"
#include "shell/render_options.h"

namespace {

int Fail(const std::string& message, int status = kExitBadInput) {
  std::fprintf(stderr, "orbidial-render: %s\n", message.c_str());
  return status;
}

// Collects the characters of every text by the face it is drawn in.
class CharacterSurface : public Surface {
 public:
  void FillBlack(int, int, int, int) override {}
  void SetTextColor(ColorRef) override {}
  void SelectClockFont(const ClockFont& font) override { face_ = Utf16ToUtf8(font.face, WideLength(font.face)); }
  void PutText(int, int, const char16_t* text, int count) override {
    for (int i = 0; i < count;) characters_[face_].insert(NextCodePoint(text, count, &i));
  }
  void CopyToWindow(int, int, int, int) override {}
  const std::map<std::string, std::set<char32_t>>& Characters() const { return characters_; }

 private:
  std::string face_;
  std::map<std::string, std::set<char32_t>> characters_;
};

// One frame holds every value of every ring; the year line takes the rest:
// years whose digits together are all ten, and one before year 0.
int PrintCharacters() {
  CharacterSurface surface;
  // A negative style (a hand-edited setting) spells Arabic digits in the
  // numeral face.
  for (std::int16_t style : {-1, 0, 1, 2}) {
    FaceLook look;
    look.NumeralStyle = style;
    const FaceLayout layout = ComputeLayout(1920, 1080, style);
    for (int year : {1234, 5678, 9010, -1}) {
      std::tm instant{};
      instant.tm_year = year - 1900;
      instant.tm_mon = 0;  // 31 days
      instant.tm_mday = 1;
      DrawFrame(surface, layout, look, &instant);
    }
  }
  for (const auto& [face, characters] : surface.Characters()) {
    std::u16string text;
    for (char32_t c : characters) {
      if (c >= 0x10000) {
        text += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
        text += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
      } else {
        text += static_cast<char16_t>(c);
      }
    }
    std::printf("%s\t%s\n", face.c_str(), Utf16ToUtf8(text).c_str());
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0] == "--characters") return PrintCharacters();
  RenderOptions options;
  std::string error;
  if (!ParseRenderOptions(args, &options, &error)) return Fail(error);
  if (options.help) {
    std::fputs(RenderUsage(), stdout);
    return 0;
  }
  if (!options.output.empty() || !options.calls) {
    return Fail("this build draws no PNG: give --calls for the drawing operations");
  }
  std::tm firstInstant{};
  if (options.haveAt) {
    firstInstant = options.at;
  } else if (!ReadSystemClock(&firstInstant)) {
    return Fail("the system clock cannot be read as local time");
  }

  FaceLook look = RenderLook(options, firstInstant);

  RecordingSurface recording(stdout);
  recording.SetKeep(false);
  const FaceLayout layout = ComputeLayout(options.width, options.height, look.NumeralStyle);
  for (long long k = 0; k < options.frames; ++k) {
    std::printf("frame %lld\n", k + 1);
    std::tm now{};
    const bool known = FrameTime(firstInstant, k, &now);
    DrawFrame(recording, layout, look, known ? &now : nullptr);
  }
  if (std::fflush(stdout) != 0) return Fail("cannot write the drawing operations");
  return 0;
}
