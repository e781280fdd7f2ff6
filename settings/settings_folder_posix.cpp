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
#include "settings/settings_platform.h"

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

int GetAppDataFolder(char16_t* folder, std::size_t capacity) {
  std::string path;
  // A relative XDG_CONFIG_HOME is invalid and ignored, as the rules say.
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  if (configHome != nullptr && configHome[0] == '/') {
    path = configHome;
  } else {
    path = HomeFolder();
    if (path.empty()) {
      SettingsFailure = "no settings folder: neither XDG_CONFIG_HOME nor HOME names one";
      return 0;
    }
    path += "/.config";
  }
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  // The logic holds paths as UTF-16: a folder whose name is not UTF-8 could
  // not be named again after the round trip, so it counts as none.
  const std::u16string wide = Utf8ToUtf16(path);
  if (Utf16ToUtf8(wide) != path || wide.size() + 1 > capacity) {
    SettingsFailure = path + ": the folder's name is not UTF-8 or is too long";
    return 0;
  }
  if (!MakeFolders(path)) return 0;
  wide.copy(folder, wide.size());
  folder[wide.size()] = 0;
  return 1;
}
