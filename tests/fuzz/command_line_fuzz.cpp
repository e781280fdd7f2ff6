// libFuzzer target for the saver's command lines: any UTF-16 text as the
// host's line, and any argument list and XSCREENSAVER_WINDOW value as
// xscreensaver's forms. Each result is checked against a second, plainer
// reading of the same rules. Run by scripts/fuzz.sh.
//
// Input: the first byte picks the part; for the host's line the rest is
// UTF-16 (little-endian pairs); for xscreensaver's forms the rest is split at
// NUL bytes, the first piece being the environment value (absent when empty).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "shell/command_line.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool Digit(char16_t c) { return c >= u'0' && c <= u'9'; }

// The first run of ASCII digits as a 32-bit wcstol reads it: saturating at
// its largest value. Leading zeros never count towards the length.
WindowHandle ExpectedHandle(std::u16string_view line) {
  std::size_t i = 0;
  while (i < line.size() && !Digit(line[i])) ++i;
  while (i < line.size() && line[i] == u'0') ++i;
  std::size_t end = i;
  while (end < line.size() && Digit(line[end])) ++end;
  if (end - i > 10) return kMaxWindowNumber;
  std::uint64_t value = 0;
  for (std::size_t k = i; k < end; ++k) value = value * 10 + static_cast<std::uint64_t>(line[k] - u'0');
  return value > kMaxWindowNumber ? kMaxWindowNumber : static_cast<WindowHandle>(value);
}

StartMode ExpectedMode(std::u16string_view line) {
  const auto has = [&](std::u16string_view what) { return line.find(what) != std::u16string_view::npos; };
  if (has(u"/p") || has(u"/P")) return StartMode::kPreview;
  if (has(u"/c") || has(u"/C")) return StartMode::kOptions;
  return StartMode::kFullScreen;
}

void CheckHostLine(std::u16string_view line) {
  const StartRequest request = ParseCommandLine(line);
  Check(request.mode == ExpectedMode(line));
  Check(request.window == ExpectedHandle(line));
}

// An X window id: "0x" or "0X" and 1 or more hex digits, or 1 or more decimal
// digits; at most 32 bits once leading zeros are dropped.
bool ExpectedWindowId(std::string_view text, std::uint64_t* id) {
  // Read by the C library instead of by hand, so the two readings can disagree.
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string digits(hex ? text.substr(2) : text);
  const char* allowed = hex ? "0123456789abcdefABCDEF" : "0123456789";
  if (digits.empty() || digits.find_first_not_of(allowed) != std::string::npos) return false;
  const std::size_t first = digits.find_first_not_of('0');
  const std::string significant = first == std::string::npos ? "0" : digits.substr(first);
  if (significant.size() > (hex ? 8u : 10u)) return false;
  const unsigned long long value = std::strtoull(significant.c_str(), nullptr, hex ? 16 : 10);
  if (value > 0xFFFFFFFFull) return false;
  *id = value;
  return true;
}

void CheckHostArguments(const std::vector<std::string>& args, const char* environment) {
  StartRequest request;
  request.window = 12345;  // left alone when no form is present
  const bool found = ParseHostArguments(args, environment, &request);

  // The first "--window-id"/"-window-id" form wins, then the environment,
  // then "--root"/"-root".
  bool root = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string_view arg = args[i];
    if (arg == "--root" || arg == "-root") root = true;
    for (std::string_view name : {std::string_view("--window-id"), std::string_view("-window-id")}) {
      std::string_view value;
      bool form = false;
      if (arg == name) {
        form = true;
        if (i + 1 < args.size()) value = args[i + 1];
      } else if (arg.size() > name.size() && arg.compare(0, name.size(), name) == 0 &&
                 arg[name.size()] == '=') {
        form = true;
        value = arg.substr(name.size() + 1);
      }
      if (form) {
        std::uint64_t id = 0;
        if (!ExpectedWindowId(value, &id)) id = 0;
        Check(found && request.mode == StartMode::kHostWindow && request.window == id);
        return;
      }
    }
  }
  if (environment != nullptr && environment[0] != '\0') {
    std::uint64_t id = 0;
    if (!ExpectedWindowId(environment, &id)) id = 0;
    Check(found && request.mode == StartMode::kHostWindow && request.window == id);
    return;
  }
  if (root) {
    Check(found && request.mode == StartMode::kHostRoot && request.window == 0);
    return;
  }
  Check(!found && request.mode == StartMode::kFullScreen && request.window == 12345);

  // Without those forms the arguments go to the host's rules, as in main.
  const std::u16string line = JoinArguments(args);
  CheckHostLine(line);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool hostLine = (data[0] & 1) == 0;
  ++data;
  --size;
  if (hostLine) {
    std::u16string line(size / 2, u'\0');
    for (std::size_t i = 0; i < line.size(); ++i) {
      line[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    }
    CheckHostLine(line);
    return 0;
  }
  std::vector<std::string> pieces(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      pieces.emplace_back();
    } else {
      pieces.back() += static_cast<char>(data[i]);
    }
  }
  const std::string environment = pieces.front();
  const std::vector<std::string> args(pieces.begin() + 1, pieces.end());
  CheckHostArguments(args, environment.empty() ? nullptr : environment.c_str());
  return 0;
}
