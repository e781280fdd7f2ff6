// Replacing a whole file on POSIX so that a crash, a kill or a full disk
// leaves the old file or the new one, never a torn or empty one. Used by every
// writer of the program (the settings file, the renderer's PNGs).
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

// Writes `content` to a temporary file in `path`'s folder with `mode` (and,
// where permitted, the owner `owner`/`group`), flushes it to disk, renames it
// over `path` and flushes the folder, so the rename lasts too. Returns 1, or
// 0 with `path` untouched, no temporary left and errno saying why.
int ReplaceFileAtomically(const std::string& path, std::string_view content, mode_t mode,
                          uid_t owner = static_cast<uid_t>(-1), gid_t group = static_cast<gid_t>(-1));

// Called with the complete temporary file just before the rename; returning
// 0 abandons the replacement there. Null in the programs; tests use it to
// interrupt a write at its last moment.
extern int (*BeforeReplaceRename)(const char* temporaryPath);
