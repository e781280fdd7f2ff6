#include "shell/keyboard_filter_win32.h"

#include "shell/clock_window.h"
#include "shell/keyboard_filter.h"

std::uintptr_t KeyboardHook = 0;

KeyName KeyNameOfVirtualKey(unsigned virtualKey) {
  switch (virtualKey) {
    case VK_TAB: return KeyName::kTab;
    case VK_ESCAPE: return KeyName::kEscape;
    case VK_LWIN: return KeyName::kLeftSuper;
    case VK_RWIN: return KeyName::kRightSuper;
    default: return KeyName::kOther;
  }
}

bool KeyEventOfMessage(UINT message, unsigned virtualKey, bool alt, bool control, KeyEvent* event) {
  const bool press = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
  if (!press && message != WM_KEYUP && message != WM_SYSKEYUP) return false;
  *event = KeyEvent{KeyNameOfVirtualKey(virtualKey), press, alt, control};
  return true;
}

LRESULT CALLBACK KeyboardFilterProc(int code, WPARAM wParam, LPARAM lParam) {
  HHOOK hook = reinterpret_cast<HHOOK>(KeyboardHook);
  if (code != HC_ACTION) return CallNextHookEx(hook, code, wParam, lParam);
  const bool controlHeld = (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0;
  const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
  // The record's Alt flag is not set by every system (Wine leaves it out, as
  // may remote-desktop and key-injection tools); the key's own state tells
  // the same.
  const bool altHeld =
      (key->flags & LLKHF_ALTDOWN) != 0 || (GetAsyncKeyState(VK_MENU) & 0x8000) != 0;
  KeyEvent event;
  if (KeyEventOfMessage(static_cast<UINT>(wParam), key->vkCode, altHeld, controlHeld, &event) &&
      FilterSwallowsKeyStroke(event)) {
    return 1;
  }
  return CallNextHookEx(hook, code, wParam, lParam);
}

void InstallKeyboardFilter() {
  // A low-level hook is called in this process, so the module is our own;
  // some Windows versions refuse the hook without a module handle.
  HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, KeyboardFilterProc, GetModuleHandleW(nullptr), 0);
  KeyboardHook = reinterpret_cast<std::uintptr_t>(hook);
}

void RemoveKeyboardFilter() {
  if (KeyboardHook == 0) return;
  UnhookWindowsHookEx(reinterpret_cast<HHOOK>(KeyboardHook));
  KeyboardHook = 0;
}
