// The headless renderer's command line: NUL-separated arguments.
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "shell/render_options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string> args(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      args.emplace_back();
    } else {
      args.back() += static_cast<char>(data[i]);
    }
  }
  RenderOptions options;
  std::string error;
  if (ParseRenderOptions(args, &options, &error) && options.haveAt) {
    std::tm t{};
    FrameTime(options.at, options.frames - 1, &t);
  }
  return 0;
}
