// One full-screen saver per Wayland session: a lock on a file in the user's
// runtime folder, named for the compositor's socket. The kernel lets go of
// it when the process ends, however it ends, so a crashed saver never keeps
// the next one away.
#pragma once

#include <string>

enum class SaverLock {
  kTaken,          // ours until the process ends
  kHeldElsewhere,  // another saver of this session holds it
  kUnavailable,    // no runtime folder, or the file cannot be opened
};

// The lock file for the compositor `waylandDisplay` (a socket name, or a
// socket's path) in `runtimeDir`; empty when either is missing.
std::string SaverLockPath(const char* runtimeDir, const char* waylandDisplay);

// Tries the lock at `path` without waiting. When taken, `*fd` is the open
// file that holds it (close-on-exec); otherwise -1.
SaverLock TakeSaverLock(const std::string& path, int* fd);
