// What the settings file and the options dialog ask of the platform. The
// logic calls only these; each platform supplies them in files named by its
// suffix (_posix, _gtk, _win32).
#pragma once

#include <cstddef>

// The options dialog as the platform knows it (the dialog's window on
// Windows, the GTK dialog's state on Linux).
using DialogHandle = void*;

#ifdef _WIN32
inline constexpr char16_t kPathSeparator = u'\\';
#else
inline constexpr char16_t kPathSeparator = u'/';
#endif

// Whether the settings file falls back to the current folder when the
// application-data folder cannot be used, as the Windows profile functions
// do. Elsewhere the current folder is wherever the program was started, often
// someone else's, so there is no file then: defaults, and a save that warns.
#ifdef _WIN32
inline constexpr bool kCurrentFolderFallback = true;
#else
inline constexpr bool kCurrentFolderFallback = false;
#endif

// The current user's application-data folder, terminated, in `folder`.
// Returns 1, or 0 when there is none or it does not fit in `capacity` units.
int GetAppDataFolder(char16_t* folder, std::size_t capacity);

// The integer of `key` in `section` of the INI file at `path`, or
// `defaultValue` when the file, the section or the key is missing.
int ProfileReadInt(const char16_t* section, const char16_t* key, int defaultValue,
                   const char16_t* path);

// Sets `key` in `section` to `value`, creating the file, section or key as
// needed and keeping everything else. Returns 1, or 0 when it failed.
int ProfileWriteString(const char16_t* section, const char16_t* key, const char16_t* value,
                       const char16_t* path);

// Sets each of `count` keys of `section` to its value, as ProfileWriteString
// would one after the other, and returns the last write's result. On POSIX
// the file is replaced once for all of them, so a save cut short leaves the
// old file or the new one, never one with only some keys updated.
int ProfileWriteStrings(const char16_t* section, const char16_t* const* keys,
                        const char16_t* const* values, int count, const char16_t* path);

// State of the dialog's check box `id`: 0 clear, 1 ticked, 2 indeterminate.
int DialogCheckState(DialogHandle dialog, int id);

// A modal message box owned by `dialog`: warning icon, only an OK button.
void ShowWarningBox(DialogHandle dialog, const char16_t* text, const char16_t* caption);

// Starts the program that opens the dialog's link, without waiting for it:
// on Windows the command interpreter of the system folder, given
// `commandLine` as it is. Returns 1 when it was started, 0 otherwise.
int StartLinkProcess(const char16_t* commandLine);

// How the dialog's link becomes the command that StartLinkProcess runs:
// applied to the web address. On POSIX the launcher (xdg-open) is run
// directly, the address its one argument, so the command is the address.
#ifdef _WIN32
inline constexpr const char16_t* kLinkCommandFormat = u"cmd.exe /c start %s";
#else
inline constexpr const char16_t* kLinkCommandFormat = u"%s";
#endif
