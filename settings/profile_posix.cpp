// The profile functions on POSIX, over the INI text rules of profile_text.h.
#include "settings/profile_posix.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "common/atomic_replace_posix.h"
#include "common/utf_conversion.h"
#include "common/wide_format.h"
#include "settings/profile_text.h"
#include "settings/settings_platform.h"

namespace {

// New settings files are private to their user, like their folder.
constexpr mode_t kNewFileMode = 0600;

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// As many links in a row as the kernel follows itself.
constexpr int kMaxLinkHops = 40;

// A settings file kept as a link (to a dotfiles folder, say) is written
// through the link, so the link survives the replacement: `target` is the
// end of the chain of links at `path`. Each link is read as it stands, so a
// link to a file not made yet (dotfile managers leave such links) leads to
// where that file is to be created. False for a chain that loops.
bool FollowLinks(std::string path, std::string* target) {
  for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
    struct stat info;
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
      *target = path;
      return true;
    }
    char next[PATH_MAX];
    const ssize_t length = readlink(path.c_str(), next, sizeof next);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof next) return false;
    // A relative link is relative to the folder holding it.
    const std::size_t slash = path.rfind('/');
    const std::string folder = next[0] == '/' || slash == std::string::npos ? "" : path.substr(0, slash + 1);
    path = folder + std::string(next, static_cast<std::size_t>(length));
  }
  errno = ELOOP;
  return false;
}

// A file its owner made read-only stays as it is, though renaming a new file
// over it would succeed: the Windows profile functions refuse such a file.
bool MayWrite(const std::string& file) { return faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) == 0; }

std::string NarrowPath(const char16_t* path) { return Utf16ToUtf8(path, WideLength(path)); }

}  // namespace

FileRead ReadProfileFile(const std::string& path, std::string& content) {
  content.clear();
  // Non-blocking, so that a pipe or a device put in the file's place cannot
  // hold up the program.
  FileDescriptor fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (fd.get() < 0) return errno == ENOENT ? FileRead::Missing : FileRead::Failed;
  struct stat info;
  if (fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return FileRead::Failed;
  if (static_cast<unsigned long long>(info.st_size) > kMaxProfileBytes) return FileRead::Failed;
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(fd.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return FileRead::Failed;
    if (n == 0) break;
    content.append(buffer, static_cast<std::size_t>(n));
    if (content.size() > kMaxProfileBytes) return FileRead::Failed;
  }
  return FileRead::Ok;
}

int ProfileReadInt(const char16_t* section, const char16_t* key, int defaultValue,
                   const char16_t* path) {
  std::string content;
  if (ReadProfileFile(NarrowPath(path), content) != FileRead::Ok) return defaultValue;
  return ReadProfileInt(content, NarrowPath(section), NarrowPath(key), defaultValue);
}

int ProfileWriteString(const char16_t* section, const char16_t* key, const char16_t* value,
                       const char16_t* path) {
  return ProfileWriteStrings(section, &key, &value, 1, path);
}

int ProfileWriteStrings(const char16_t* section, const char16_t* const* keys,
                        const char16_t* const* values, int count, const char16_t* path) {
  std::string target;
  if (!FollowLinks(NarrowPath(path), &target)) return 0;
  std::string content;
  const FileRead read = ReadProfileFile(target, content);
  if (read == FileRead::Failed) return 0;
  if (read == FileRead::Ok && !MayWrite(target)) return 0;
  const std::string narrowSection = NarrowPath(section);
  std::string updated = content;
  for (int i = 0; i < count; ++i) {
    updated = SetProfileValue(updated, narrowSection, NarrowPath(keys[i]), NarrowPath(values[i]));
  }
  if (read == FileRead::Ok && updated == content) return 1;
  struct stat info;
  if (read == FileRead::Ok && stat(target.c_str(), &info) == 0) {
    return ReplaceFileAtomically(target, updated, info.st_mode, info.st_uid, info.st_gid);
  }
  return ReplaceFileAtomically(target, updated, kNewFileMode);
}
