// Reading a whole settings file safely, under the INI functions on POSIX
// (saving replaces it whole, through common/atomic_replace_posix.h).
#pragma once

#include <cstddef>
#include <string>

// Larger files are not taken for settings: read as missing, never rewritten.
inline constexpr std::size_t kMaxProfileBytes = 16u << 20;

// Why the settings file could not be used, the last time it could not: the
// path and the system's reason ("…/OrbDial.ini: Permission denied"). Set
// by a failed save and by a settings folder that cannot be had; a save that
// writes clears it. The warning box shows the fixed text, this goes beside
// it on standard error.
extern std::string SettingsFailure;

// The settings folder: $XDG_CONFIG_HOME, else ~/.config, made (mode 0700)
// when missing. False, with SettingsFailure set, when there is none: no
// home, a name that is not UTF-8, or a folder that cannot be made.
bool SettingsFolder(std::string* folder);

enum class FileRead { Ok, Missing, Failed };

// The whole of a regular file. Missing: no such file. Failed: anything else
// (a directory, a pipe, a device, no permission, too large), without ever
// blocking on it.
FileRead ReadProfileFile(const std::string& path, std::string& content);
