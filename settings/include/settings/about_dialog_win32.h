// The About/options dialog on Windows: the procedure of dialog resource 103,
// over the shared texts, link and check-box rules of about_dialog.h.
#pragma once

#include <windows.h>

#include "settings/settings_file.h"

// What the dialog starts from, handed in as its initialisation parameter:
// the module whose icon it shows (null: the program's own) and the options
// its boxes show. A null parameter means the program's icon and the stored
// options.
struct AboutDialogStart {
  HINSTANCE iconModule = nullptr;
  SaverOptions options;
};

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The icon the dialog paints, 64 x 64 at 96 dpi; null outside the dialog.
extern HICON AboutIcon;

// The dots per inch `window` is drawn at: its monitor's under per-monitor
// awareness, else the system's.
int WindowDpi(HWND window);
