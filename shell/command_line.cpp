#include "shell/command_line.h"

#include "common/utf_conversion.h"

namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool Contains(std::u16string_view line, std::u16string_view what) {
  return line.find(what) != std::u16string_view::npos;
}

}  // namespace

StartRequest ParseCommandLine(std::u16string_view line) {
  StartRequest request;
  if (line.empty()) return request;
  std::size_t i = 0;
  while (i < line.size() && !IsDigit(line[i])) ++i;
  if (i < line.size()) {
    WindowHandle value = 0;
    for (; i < line.size() && IsDigit(line[i]); ++i) {
      value = value * 10 + static_cast<WindowHandle>(line[i] - u'0');
      if (value > kMaxWindowNumber) value = kMaxWindowNumber;
    }
    request.window = value;
  }
  if (Contains(line, u"/p") || Contains(line, u"/P")) {
    request.mode = StartMode::kPreview;
  } else if (Contains(line, u"/c") || Contains(line, u"/C")) {
    request.mode = StartMode::kOptions;
  }
  return request;
}

std::u16string JoinArguments(const std::vector<std::string>& args) {
  std::u16string line;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (i > 0) line += u' ';
    line += Utf8ToUtf16(args[i]);
  }
  return line;
}

bool ParseWindowId(std::string_view text, WindowHandle* id) {
  unsigned base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return false;
  std::uint64_t value = 0;
  for (char c : text) {
    unsigned digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      return false;
    }
    value = value * base + digit;
    if (value > 0xFFFFFFFFu) return false;
  }
  *id = static_cast<WindowHandle>(value);
  return true;
}

bool ParseHostArguments(const std::vector<std::string>& args, const char* environmentWindow,
                        StartRequest* request) {
  bool root = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string_view arg = args[i];
    if (arg == "--root" || arg == "-root") {
      root = true;
      continue;
    }
    for (std::string_view name : {std::string_view("--window-id"), std::string_view("-window-id")}) {
      std::string_view value;
      bool found = false;
      if (arg == name) {
        found = true;
        if (i + 1 < args.size()) value = args[i + 1];
      } else if (arg.size() > name.size() && arg.substr(0, name.size()) == name &&
                 arg[name.size()] == '=') {
        found = true;
        value = arg.substr(name.size() + 1);
      }
      if (found) {
        request->mode = StartMode::kHostWindow;
        if (!ParseWindowId(value, &request->window)) request->window = 0;
        return true;
      }
    }
  }
  if (environmentWindow != nullptr && environmentWindow[0] != '\0') {
    request->mode = StartMode::kHostWindow;
    if (!ParseWindowId(environmentWindow, &request->window)) request->window = 0;
    return true;
  }
  if (root) {
    request->mode = StartMode::kHostRoot;
    request->window = 0;
    return true;
  }
  return false;
}
