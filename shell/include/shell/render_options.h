// Command line of the headless renderer.
#pragma once

#include <ctime>
#include <string>
#include <vector>

struct RenderOptions {
  int width = 1920;
  int height = 1080;
  bool haveAt = false;
  std::tm at{};             // local time fields as given (tm_sec may be 60)
  long long style = 1;      // as the settings file's "Han": low 16 bits, signed
  int theme = -1;           // -1: the weekday of the instant
  long long frames = 1;
  std::string output;       // PNG of the last frame
  bool calls = false;       // print the drawing operations
  bool help = false;
};

// Parses the arguments after the program name. Returns false with a one-line
// message in `error` for anything malformed.
bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions* options,
                        std::string* error);

// Usage text for --help.
const char* RenderUsage();

// Broken-down local time of frame `k` (0 for the first) counted from the
// instant in `at`: whole seconds later, a leap second 60 shown as given in the
// first frame only. False when the local-time conversion cannot take it.
bool FrameTime(const std::tm& at, long long k, std::tm* out);
