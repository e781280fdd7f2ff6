// The About/options dialog on Windows: the procedure of dialog resource 103,
// over the shared texts, link and check-box rules of about_dialog.h.
#pragma once

#include <windows.h>

// The dialog's initialisation parameter is the module whose icon it shows
// (0: the program's own).
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The icon the dialog paints, 64 x 64 at 96 dpi; null outside the dialog.
extern HICON AboutIcon;

// The dots per inch `window` is drawn at: its monitor's under per-monitor
// awareness, else the system's.
int WindowDpi(HWND window);
