#include "saver_lock_posix.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>

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

std::string SaverSocketName(const char* runtimeDir, const char* waylandDisplay) {
  if (waylandDisplay == nullptr || waylandDisplay[0] == '\0') return {};
  std::string socket = waylandDisplay;
  if (socket[0] != '/') {
    // A name is looked up in the runtime folder, as the client library does.
    if (runtimeDir == nullptr || runtimeDir[0] == '\0') return {};
    socket = std::string(runtimeDir) + "/" + socket;
  }
  struct stat info;
  if (stat(socket.c_str(), &info) != 0) return {};
  return "orbidial-saver-" + std::to_string(geteuid()) + "-" + std::to_string(info.st_dev) + "-" +
         std::to_string(info.st_ino);
}

SaverLock TakeSaverSocket(const std::string& name, int* fd) {
  *fd = -1;
  sockaddr_un address{};
  if (name.empty() || name.size() + 1 > sizeof address.sun_path) return SaverLock::kUnavailable;
  address.sun_family = AF_UNIX;
  // A leading NUL: the abstract namespace, no file anywhere.
  std::memcpy(address.sun_path + 1, name.data(), name.size());
  const int sock = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (sock < 0) return SaverLock::kUnavailable;
  const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
  if (bind(sock, reinterpret_cast<const sockaddr*>(&address), length) == 0) {
    *fd = sock;
    return SaverLock::kTaken;
  }
  const bool held = errno == EADDRINUSE;
  close(sock);
  return held ? SaverLock::kHeldElsewhere : SaverLock::kUnavailable;
}

SaverLock TakeSaverLocks(const char* runtimeDir, const char* waylandDisplay, SaverLocks* held) {
  *held = SaverLocks{};
  const SaverLock socket = TakeSaverSocket(SaverSocketName(runtimeDir, waylandDisplay), &held->socket);
  if (socket == SaverLock::kHeldElsewhere) return socket;
  const SaverLock file = TakeSaverLock(SaverLockPath(runtimeDir, waylandDisplay), &held->file);
  if (file == SaverLock::kHeldElsewhere) {
    ReleaseSaverLocks(held);
    return file;
  }
  return socket == SaverLock::kTaken || file == SaverLock::kTaken ? SaverLock::kTaken : SaverLock::kUnavailable;
}

void ReleaseSaverLocks(SaverLocks* held) {
  if (held->socket >= 0) close(held->socket);
  if (held->file >= 0) close(held->file);
  *held = SaverLocks{};
}
