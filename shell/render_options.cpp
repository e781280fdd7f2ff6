#include "shell/render_options.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "face/local_instant.h"
#include "face/numerals.h"

namespace {

// The largest frame we agree to draw: 16384 on a side (a 1 GiB buffer).
constexpr long kMaxSide = 16384;
constexpr long long kMaxFrames = 100000000;

bool ParseWhole(const std::string& text, long long lo, long long hi, long long* out) {
  if (text.empty() || text.size() > 20) return false;
  std::size_t i = (text[0] == '-' || text[0] == '+') ? 1 : 0;
  if (i == text.size()) return false;
  for (std::size_t k = i; k < text.size(); ++k) {
    if (text[k] < '0' || text[k] > '9') return false;
  }
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || *end != 0 || v < lo || v > hi) return false;
  *out = v;
  return true;
}

bool ParseSize(const std::string& text, int* w, int* h) {
  const std::size_t x = text.find_first_of("xX");
  if (x == std::string::npos) return false;
  long long a = 0, b = 0;
  if (!ParseWhole(text.substr(0, x), 1, kMaxSide, &a)) return false;
  if (!ParseWhole(text.substr(x + 1), 1, kMaxSide, &b)) return false;
  if (text[0] == '+' || text[x + 1] == '+') return false;
  *w = static_cast<int>(a);
  *h = static_cast<int>(b);
  return true;
}

}  // namespace

const char* RenderUsage() {
  return "usage: orbidial-render [options]\n"
         "Draws the clock face for any instant, headless.\n"
         "  --size WxH        frame size in pixels (default 1920x1080)\n"
         "  --at \"YYYY-MM-DD HH:MM:SS\"  local time to draw (default now; seconds 0-60)\n"
         "  --style N         numeral style as stored in the settings: 0 Arabic,\n"
         "                    1 Chinese, 2 formal (low 16 bits, signed; default 1)\n"
         "  --theme N         colour theme 0-6 (default: the weekday of the instant)\n"
         "  --frames N        draw N successive seconds (default 1)\n"
         "  -o FILE.png       write the last frame as a PNG\n"
         "  --calls           print the drawing operations on standard output\n"
         "  --help            this text\n"
         "Without -o or --calls the frame goes to orbidial.png.\n";
}

bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions* options,
                        std::string* error) {
  RenderOptions o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const auto value = [&](std::string* v) {
      if (i + 1 >= args.size()) {
        *error = "option " + a + " needs a value";
        return false;
      }
      *v = args[++i];
      return true;
    };
    std::string v;
    if (a == "--help" || a == "-h") {
      o.help = true;
    } else if (a == "--calls") {
      o.calls = true;
    } else if (a == "--size") {
      if (!value(&v)) return false;
      if (!ParseSize(v, &o.width, &o.height)) {
        *error = "bad --size '" + v + "': expected WxH, each 1 to 16384";
        return false;
      }
    } else if (a == "--at") {
      if (!value(&v)) return false;
      if (!ParseLocalInstant(v, &o.at)) {
        *error = "bad --at '" + v + "': expected \"YYYY-MM-DD HH:MM:SS\", a real date, seconds 0-60";
        return false;
      }
      o.haveAt = true;
    } else if (a == "--style") {
      if (!value(&v)) return false;
      if (!ParseWhole(v, LLONG_MIN + 1, LLONG_MAX, &o.style)) {
        *error = "bad --style '" + v + "': expected an integer";
        return false;
      }
    } else if (a == "--theme") {
      if (!value(&v)) return false;
      long long t = 0;
      if (!ParseWhole(v, 0, 6, &t)) {
        *error = "bad --theme '" + v + "': expected 0 to 6";
        return false;
      }
      o.theme = static_cast<int>(t);
    } else if (a == "--frames") {
      if (!value(&v)) return false;
      if (!ParseWhole(v, 1, kMaxFrames, &o.frames)) {
        *error = "bad --frames '" + v + "': expected 1 to 100000000";
        return false;
      }
    } else if (a == "-o" || a == "--output") {
      if (!value(&v)) return false;
      if (v.empty()) {
        *error = "bad -o: empty file name";
        return false;
      }
      o.output = v;
    } else {
      *error = "unknown option '" + a + "' (see --help)";
      return false;
    }
  }
  *options = o;
  return true;
}

FaceLook RenderLook(const RenderOptions& options, const std::tm& firstInstant) {
  FaceLook look;
  look.NumeralStyle = StoredNumeralStyle(options.style);
  std::tm first{};
  const bool firstOk = FrameTime(firstInstant, 0, &first);
  look.ThemeIndex = options.theme >= 0 ? options.theme : (firstOk ? first.tm_wday : 0);
  UpdateHighlightColor(look);
  return look;
}
