// One full-screen saver per Wayland session: a lock named for the
// compositor's socket. The kernel lets go of it when the process ends,
// however it ends, so a crashed saver never keeps the next one away.
//
// Two locks stand for it, taken in this order: an abstract Unix socket,
// which needs no folder at all, and a file in the user's runtime folder,
// which also holds across network namespaces. Either one held by another
// saver is enough to step aside; one that cannot be had is no reason to.
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

// The abstract socket's name for the compositor `waylandDisplay`: the user
// and the socket's device and inode, so that every path to one socket gives
// one name; empty when the socket cannot be found.
std::string SaverSocketName(const char* runtimeDir, const char* waylandDisplay);

// Binds the abstract socket `name` without waiting; `*fd` as for the file.
SaverLock TakeSaverSocket(const std::string& name, int* fd);

// Both locks for the session, the socket's first (every saver takes them in
// the same order, so two can never each hold one and both step aside).
struct SaverLocks {
  int socket = -1;
  int file = -1;
};
SaverLock TakeSaverLocks(const char* runtimeDir, const char* waylandDisplay, SaverLocks* held);
void ReleaseSaverLocks(SaverLocks* held);
