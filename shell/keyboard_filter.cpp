#include "shell/keyboard_filter.h"

bool FilterSwallowsKey(const KeyEvent& event) {
  if (event.key == KeyName::kTab && event.alt) return true;
  if (event.key == KeyName::kEscape && (event.alt || event.control)) return true;
  return event.key == KeyName::kLeftSuper || event.key == KeyName::kRightSuper;
}

namespace {

// Keys whose press was swallowed and whose release is still to come.
bool SwallowedKeysDown[static_cast<int>(KeyName::kRightSuper) + 1];

}  // namespace

bool FilterSwallowsKeyStroke(const KeyEvent& event) {
  bool swallow = FilterSwallowsKey(event);
  bool& down = SwallowedKeysDown[static_cast<int>(event.key)];
  if (event.press) {
    down = swallow;
  } else {
    swallow = swallow || down;
    down = false;
  }
  return swallow;
}
