// Command line of the headless renderer.
#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "face/local_instant.h"
#include "face/themes.h"

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

// The look the options ask for, drawing from `firstInstant`: their numeral
// style, and their theme or else the weekday of the first frame.
FaceLook RenderLook(const RenderOptions& options, const std::tm& firstInstant);
