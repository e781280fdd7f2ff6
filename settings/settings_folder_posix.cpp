// The application-data folder on POSIX: the XDG configuration folder.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/utf_conversion.h"
#include "settings/profile_posix.h"

namespace {

bool IsFolder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// Creates the missing folders of `path` with mode 0700, as the XDG base
// directory rules ask; unlike the Windows folder this one may not exist yet.
bool MakeFolders(const std::string& path) {
  if (IsFolder(path)) return true;
  for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
    const std::string prefix = path.substr(0, slash);
    if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) {
      SettingsFailure = prefix + ": " + std::strerror(errno);
      return false;
    }
    if (slash == std::string::npos) break;
  }
  if (IsFolder(path)) return true;
  SettingsFailure = path + ": " + std::strerror(ENOTDIR);
  return false;
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return home;
  const passwd* entry = getpwuid(getuid());
  if (entry != nullptr && entry->pw_dir != nullptr && entry->pw_dir[0] == '/') return entry->pw_dir;
  return "";
}

}  // namespace

bool SettingsFolder(std::string* folder) {
  std::string path;
  // A relative XDG_CONFIG_HOME is invalid and ignored, as the rules say.
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  if (configHome != nullptr && configHome[0] == '/') {
    path = configHome;
  } else {
    path = HomeFolder();
    if (path.empty()) {
      SettingsFailure = "no settings folder: neither XDG_CONFIG_HOME nor HOME names one";
      return false;
    }
    path += "/.config";
  }
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  // The store's path is UTF-16 to its callers: a folder whose name is not
  // UTF-8 could not be named again after the round trip, so it counts as none.
  if (Utf16ToUtf8(Utf8ToUtf16(path)) != path) {
    SettingsFailure = path + ": the folder's name is not UTF-8";
    return false;
  }
  if (!MakeFolders(path)) return false;
  *folder = path;
  return true;
}
