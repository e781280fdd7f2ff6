// The files under the INI functions on POSIX: reading a whole settings file
// safely, and replacing one atomically so that a crash or a full disk never
// leaves a torn or empty file.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>

// Larger files are not taken for settings: read as missing, never rewritten.
inline constexpr std::size_t kMaxProfileBytes = 16u << 20;

enum class FileRead { Ok, Missing, Failed };

// The whole of a regular file. Missing: no such file. Failed: anything else
// (a directory, a pipe, a device, no permission, too large), without ever
// blocking on it.
FileRead ReadProfileFile(const std::string& path, std::string& content);

// Writes `content` to a temporary file beside `path` with `mode` (and, where
// permitted, the owner `owner`/`group` of the file it replaces), flushes it to
// disk and renames it over `path`. Returns 1, or 0 with `path` untouched.
int ReplaceFileAtomically(const std::string& path, const std::string& content, mode_t mode,
                          uid_t owner = static_cast<uid_t>(-1), gid_t group = static_cast<gid_t>(-1));

// Called with the complete temporary file just before the rename; returning
// 0 abandons the replacement there. Null in the program; tests use it to
// interrupt a save at its last moment.
extern int (*BeforeReplaceRename)(const char* temporaryPath);
