// The About/options dialog on Windows: the procedure of dialog resource 103,
// over the shared texts, link and check-box rules of about_dialog.h.
#pragma once

#include <windows.h>

// The dialog's initialisation parameter is the module whose icon it shows
// (0: the program's own).
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The 64 x 64 icon the dialog paints; null outside the dialog.
extern HICON AboutIcon;
