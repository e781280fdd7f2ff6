// The About/options dialog on Linux, in GTK 3: what `orbidial /c` runs.
#pragma once

#include "settings/settings_file.h"

// Returned when no font can show the dialog's texts (said on stderr).
inline constexpr int kDialogNoFont = 3;

// Runs the dialog modally until OK, Esc or the window's close button, its
// boxes showing `shown` (the stored options) at the start. The dialog stays
// above the X window `ownerXid` when that names an existing window; 0 means
// no owner. Returns 1 after OK (settings saved), 2 after a
// cancel, 0 when no display could be opened, kDialogNoFont without a font
// for its texts. A display lost while it runs ends the process with 1 and
// one line on stderr.
int RunOptionsDialog(const SaverOptions& shown, unsigned long ownerXid);

// The icon file to show instead of the installed one; null in
// the program.
extern const char* AboutIconFile;
