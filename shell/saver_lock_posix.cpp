#include "saver_lock_posix.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

std::string SaverLockPath(const char* runtimeDir, const char* waylandDisplay) {
  if (runtimeDir == nullptr || runtimeDir[0] == '\0') return {};
  if (waylandDisplay == nullptr || waylandDisplay[0] == '\0') return {};
  // A socket given by its path in the runtime folder is the socket of that
  // name: both take one lock. Any other path names one compositor as well.
  std::string name = waylandDisplay;
  const std::string folder = std::string(runtimeDir) + "/";
  if (name.size() > folder.size() && name.compare(0, folder.size(), folder) == 0 &&
      name.find('/', folder.size()) == std::string::npos) {
    name.erase(0, folder.size());
  }
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  return std::string(runtimeDir) + "/orbidial-" + name + ".lock";
}

SaverLock TakeSaverLock(const std::string& path, int* fd) {
  *fd = -1;
  if (path.empty()) return SaverLock::kUnavailable;
  // Never follow a link someone planted in place of the file.
  const int file = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (file < 0) return SaverLock::kUnavailable;
  int result;
  do {
    result = flock(file, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result == 0) {
    *fd = file;
    return SaverLock::kTaken;
  }
  const bool held = errno == EWOULDBLOCK;
  close(file);
  return held ? SaverLock::kHeldElsewhere : SaverLock::kUnavailable;
}
