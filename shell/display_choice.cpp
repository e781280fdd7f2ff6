#include "shell/display_choice.h"

#include <string_view>

bool ChoosesWayland(const char* waylandDisplay, const char* gdkBackend) {
  if (waylandDisplay == nullptr || waylandDisplay[0] == '\0') return false;
  if (gdkBackend == nullptr || gdkBackend[0] == '\0') return true;
  std::string_view list = gdkBackend;
  while (!list.empty()) {
    const std::size_t comma = list.find(',');
    const std::string_view entry = list.substr(0, comma);
    if (entry == "wayland" || entry == "*") return true;
    if (entry == "x11") return false;
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  return false;
}
