// The system-key filter on Windows: a low-level keyboard hook that applies
// the shared rule of keyboard_filter.h to every key event of the desktop.
#pragma once

#include <windows.h>

#include <cstdint>

#include "shell/keyboard_filter.h"

// The hook's handle while the filter is installed, else 0.
extern std::uintptr_t KeyboardHook;

// Our name for a virtual key; `kOther` for keys the rule does not look at.
KeyName KeyNameOfVirtualKey(unsigned virtualKey);
// Our event for one of the four key messages (WM_KEYDOWN, WM_KEYUP,
// WM_SYSKEYDOWN, WM_SYSKEYUP); false, and `event` untouched, for any other.
bool KeyEventOfMessage(UINT message, unsigned virtualKey, bool alt, bool control, KeyEvent* event);

LRESULT CALLBACK KeyboardFilterProc(int code, WPARAM wParam, LPARAM lParam);

// Installs the hook for this thread's message loop and stores it in
// `KeyboardHook` (0 when it could not be installed).
void InstallKeyboardFilter();
// Removes the hook, if one is installed, and sets `KeyboardHook` to 0.
void RemoveKeyboardFilter();
