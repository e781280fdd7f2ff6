// The system-key filter on Windows: a low-level keyboard hook that applies
// the shared rule of keyboard_filter.h to every key event of the desktop.
#pragma once

#include <windows.h>

LRESULT CALLBACK KeyboardFilterProc(int code, WPARAM wParam, LPARAM lParam);

// Installs the hook for this thread's message loop and stores it in
// `KeyboardHook` (0 when it could not be installed).
void InstallKeyboardFilter();
