#include "common/atomic_replace_posix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

int (*BeforeReplaceRename)(const char* temporaryPath) = nullptr;

namespace {

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) {
      errno = EIO;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Gives up on the temporary file, keeping the errno of what failed.
int Abandon(int fd, const std::string& temporary) {
  const int saved = errno != 0 ? errno : EIO;
  if (fd >= 0) close(fd);
  unlink(temporary.c_str());
  errno = saved;
  return 0;
}

}  // namespace

int ReplaceFileAtomically(const std::string& path, std::string_view content, mode_t mode,
                          uid_t owner, gid_t group) {
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  // Hidden, and in the same folder: a rename never crosses file systems.
  std::string temporary = (slash == std::string::npos ? "" : path.substr(0, slash + 1)) + "." + base +
                          ".XXXXXX";
  const int fd = mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return 0;
  // Run by root on a user's file (sudo), the file stays the user's. An
  // ordinary user may not give files away; theirs simply stays theirs. A
  // mode the file system refuses leaves the file as private as mkostemp
  // made it.
  if (owner != static_cast<uid_t>(-1)) {
    const int ignored = fchown(fd, owner, group);
    (void)ignored;
  }
  fchmod(fd, mode & 07777);
  if (!WriteAll(fd, content) || fsync(fd) != 0) return Abandon(fd, temporary);
  if (close(fd) != 0) return Abandon(-1, temporary);
  if (BeforeReplaceRename != nullptr && BeforeReplaceRename(temporary.c_str()) == 0) {
    errno = ECANCELED;
    return Abandon(-1, temporary);
  }
  if (std::rename(temporary.c_str(), path.c_str()) != 0) return Abandon(-1, temporary);
  // The new file is in place; a folder that cannot be flushed is no reason
  // to report the write as failed.
  const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return 1;
}
