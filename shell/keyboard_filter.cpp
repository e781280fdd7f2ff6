#include "shell/keyboard_filter.h"

bool FilterSwallowsKey(unsigned message, unsigned virtualKey, bool altFlag, bool controlHeld) {
  if (message != kKeyDownMessage && message != kKeyUpMessage && message != kSysKeyDownMessage &&
      message != kSysKeyUpMessage) {
    return false;
  }
  if (virtualKey == kTabKey && altFlag) return true;
  if (virtualKey == kEscapeKey && altFlag) return true;
  if (virtualKey == kLeftWindowsKey || virtualKey == kRightWindowsKey) return true;
  return virtualKey == kEscapeKey && controlHeld;
}

namespace {

// Virtual keys whose press was swallowed and whose release is still to come.
bool SwallowedKeysDown[256];

}  // namespace

bool FilterSwallowsKeyStroke(unsigned message, unsigned virtualKey, bool altFlag, bool controlHeld) {
  bool swallow = FilterSwallowsKey(message, virtualKey, altFlag, controlHeld);
  if (virtualKey >= 256) return swallow;
  if (message == kKeyDownMessage || message == kSysKeyDownMessage) {
    SwallowedKeysDown[virtualKey] = swallow;
  } else if (message == kKeyUpMessage || message == kSysKeyUpMessage) {
    swallow = swallow || SwallowedKeysDown[virtualKey];
    SwallowedKeysDown[virtualKey] = false;
  }
  return swallow;
}
