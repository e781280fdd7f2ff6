// The exit statuses of orbidial and orbidial-render, one for each way they
// fail, so that a script (scripts/run.sh) or a host can tell the causes
// apart. The manual page lists them.
#pragma once

// The saver or the dialog ended as asked (also a preview whose window does
// not exist).
inline constexpr int kExitOk = 0;
// The X display cannot be opened, or the connection to it broke, for the
// saver and for the options dialog alike (GTK ends with 1 on a lost display).
inline constexpr int kExitNoDisplay = 1;
// orbidial-render: bad options, an unreadable clock or an output file that
// cannot be written.
inline constexpr int kExitBadInput = 2;
// The clock's fonts are missing (or fontconfig cannot find them).
inline constexpr int kExitNoFont = 3;
// The memory for a frame buffer (said with its size), or for mapping a
// font file, could not be had.
inline constexpr int kExitNoMemory = 4;
