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
