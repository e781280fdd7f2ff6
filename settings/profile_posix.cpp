// The settings store on POSIX: the INI file of the XDG configuration folder,
// over the text rules of profile_text.h, replaced whole at each save.
#include "settings/profile_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <string>

#include "common/atomic_replace_posix.h"
#include "common/utf_conversion.h"
#include "settings/profile_text.h"
#include "settings/settings_file.h"
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

std::string Narrow(const char16_t* text) { return Utf16ToUtf8(std::u16string(text)); }

// A save's temporary outlives it only when the save was killed; one this old
// belongs to no save still running.
constexpr time_t kStaleTemporarySeconds = 60;

// Whether `name` is one of the temporaries a save of the file `base` makes
// (".BASE.XXXXXX", the X's from mkostemp's letters and digits).
bool IsTemporaryOf(const std::string& name, const std::string& base) {
  const std::string prefix = "." + base + ".";
  if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) return false;
  for (std::size_t i = prefix.size(); i < name.size(); ++i) {
    const char c = name[i];
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
  }
  return true;
}

// Takes away the temporaries that killed saves of `file` left in its folder:
// only plain files of that name pattern, of this user, untouched for a
// minute. Nothing else in the folder is looked at twice.
void RemoveStaleTemporaries(const std::string& file) {
  const std::size_t slash = file.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : file.substr(0, slash);
  const std::string base = slash == std::string::npos ? file : file.substr(slash + 1);
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return;
  const time_t now = time(nullptr);
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (!IsTemporaryOf(name, base)) continue;
    struct stat info;
    if (fstatat(dirfd(dir), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(info.st_mode) || info.st_uid != geteuid()) continue;
    if (now - info.st_mtime < kStaleTemporarySeconds) continue;
    unlinkat(dirfd(dir), name.c_str(), 0);
  }
  closedir(dir);
}

// Notes why a write of `path` failed, from errno, and returns 0.
int Failed(const std::string& path) {
  SettingsFailure = path + ": " + std::strerror(errno != 0 ? errno : EIO);
  return 0;
}

}  // namespace

std::string SettingsFailure;

FileRead ReadProfileFile(const std::string& path, std::string& content) {
  content.clear();
  // Non-blocking, so that a pipe or a device put in the file's place cannot
  // hold up the program.
  FileDescriptor fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (fd.get() < 0) return errno == ENOENT ? FileRead::Missing : FileRead::Failed;
  struct stat info;
  if (fstat(fd.get(), &info) != 0) return FileRead::Failed;
  if (!S_ISREG(info.st_mode)) {
    errno = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
    return FileRead::Failed;
  }
  if (static_cast<unsigned long long>(info.st_size) > kMaxProfileBytes) {
    errno = EFBIG;
    return FileRead::Failed;
  }
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(fd.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return FileRead::Failed;
    if (n == 0) break;
    content.append(buffer, static_cast<std::size_t>(n));
    if (content.size() > kMaxProfileBytes) {
      errno = EFBIG;
      return FileRead::Failed;
    }
  }
  return FileRead::Ok;
}

std::u16string SettingsFilePath() {
  std::string folder;
  if (!SettingsFolder(&folder)) return u"";
  return Utf8ToUtf16(folder + "/") + kSettingsFileName;
}

int ReadStoredInt(const char16_t* key, int defaultValue) {
  const std::u16string path = SettingsFilePath();
  std::string content;
  if (path.empty() || ReadProfileFile(Utf16ToUtf8(path), content) != FileRead::Ok) return defaultValue;
  ProfileEncoding encoding;
  return ReadProfileInt(DecodeProfileText(content, &encoding), Narrow(kSettingsSection), Narrow(key),
                        defaultValue);
}

// All the values go into one replacement of the file, so a save cut short
// leaves the old file or the new one, never one with only some keys updated.
int WriteStoredValues(std::initializer_list<StoredValue> values) {
  const std::u16string widePath = SettingsFilePath();
  if (widePath.empty()) return 0;
  SettingsFailure.clear();
  const std::string path = Utf16ToUtf8(widePath);
  std::string target;
  if (!FollowLinks(path, &target)) return Failed(path);
  // Before the write, so a disk that the leftovers filled has room again.
  RemoveStaleTemporaries(target);
  std::string content;
  const FileRead read = ReadProfileFile(target, content);
  if (read == FileRead::Failed) return Failed(target);
  if (read == FileRead::Ok && !MayWrite(target)) return Failed(target);
  ProfileEncoding encoding;
  const std::string text = DecodeProfileText(content, &encoding);
  // UTF-16 that does not come back byte for byte (a lone surrogate, an odd
  // last byte) would be changed beyond the values set: left as it is.
  if (EncodeProfileText(text, encoding) != content) {
    errno = EILSEQ;
    return Failed(target);
  }
  const std::string section = Narrow(kSettingsSection);
  std::string updated = text;
  for (const StoredValue& stored : values) {
    updated = SetProfileValue(updated, section, Narrow(stored.key), std::to_string(stored.value));
  }
  if (read == FileRead::Ok && updated == text) return 1;
  const std::string bytes = EncodeProfileText(updated, encoding);
  struct stat info;
  int written = 0;
  if (read == FileRead::Ok && stat(target.c_str(), &info) == 0) {
    written = ReplaceFileAtomically(target, bytes, info.st_mode, info.st_uid, info.st_gid);
  } else {
    written = ReplaceFileAtomically(target, bytes, kNewFileMode);
  }
  return written == 1 ? 1 : Failed(target);
}
