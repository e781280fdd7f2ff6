// The settings file's platform operations on Windows: the roaming
// application-data folder, the profile functions, the dialog's check boxes,
// the warning box and the link's process.
#include <windows.h>
#include <shlobj.h>

#include "settings/settings_platform.h"

namespace {

const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
HWND Dialog(DialogHandle dialog) { return static_cast<HWND>(dialog); }

}  // namespace

int GetAppDataFolder(char16_t* folder, std::size_t capacity) {
  wchar_t path[MAX_PATH] = {};
  // Never create the folder: a missing one means the current directory.
  if (!SHGetSpecialFolderPathW(nullptr, path, CSIDL_APPDATA, FALSE)) return 0;
  const std::size_t length = wcslen(path);
  if (length + 1 > capacity) return 0;
  for (std::size_t i = 0; i <= length; ++i) folder[i] = static_cast<char16_t>(path[i]);
  return 1;
}

int ProfileReadInt(const char16_t* section, const char16_t* key, int defaultValue,
                   const char16_t* path) {
  return static_cast<int>(GetPrivateProfileIntW(Wide(section), Wide(key), defaultValue, Wide(path)));
}

int ProfileWriteString(const char16_t* section, const char16_t* key, const char16_t* value,
                       const char16_t* path) {
  return WritePrivateProfileStringW(Wide(section), Wide(key), Wide(value), Wide(path)) ? 1 : 0;
}

int ProfileWriteStrings(const char16_t* section, const char16_t* const* keys,
                        const char16_t* const* values, int count, const char16_t* path) {
  int result = 0;
  for (int i = 0; i < count; ++i) result = ProfileWriteString(section, keys[i], values[i], path);
  return result;
}

int DialogCheckState(DialogHandle dialog, int id) {
  return static_cast<int>(IsDlgButtonChecked(Dialog(dialog), id));
}

void ShowWarningBox(DialogHandle dialog, const char16_t* text, const char16_t* caption) {
  MessageBoxW(Dialog(dialog), Wide(text), Wide(caption), MB_OK | MB_ICONWARNING);
}

int StartLinkProcess(const char16_t* commandLine) {
  // The interpreter of the system folder, named in full: left to a search
  // by name, CreateProcessW would look in this program's folder and the
  // current one first, and run any "cmd.exe" placed beside a downloaded saver.
  wchar_t interpreter[MAX_PATH];
  const UINT folderLength = GetSystemDirectoryW(interpreter, MAX_PATH);
  constexpr wchar_t kInterpreterName[] = L"\\cmd.exe";
  if (folderLength == 0 || folderLength + sizeof(kInterpreterName) / sizeof(wchar_t) > MAX_PATH) {
    return 0;
  }
  wcscpy(interpreter + folderLength, kInterpreterName);
  // CreateProcessW may write into its command line: hand it a copy.
  wchar_t line[1024];
  const std::size_t length = wcslen(Wide(commandLine));
  if (length + 1 > sizeof(line) / sizeof(line[0])) return 0;
  for (std::size_t i = 0; i <= length; ++i) line[i] = static_cast<wchar_t>(commandLine[i]);
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(interpreter, line, nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, nullptr,
                      &startup, &process)) {
    return 0;
  }
  // The dialog does not wait for the command interpreter.
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return 1;
}
