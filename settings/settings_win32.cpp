// The settings store on Windows: the INI file of the roaming
// application-data folder through the profile functions; and the link's
// process.
#define STRSAFE_NO_DEPRECATE
#include <windows.h>
#include <shlobj.h>
#include <strsafe.h>

#include "settings/settings_file.h"
#include "settings/settings_platform.h"

namespace {

const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

// The settings file's path, afresh: the application-data folder, a
// backslash and "OrbDial.ini" when that fits MAX_PATH; else the current
// folder's "OrbDial.ini", where the profile functions would look too.
void ComputeSettingsPath(wchar_t (&path)[MAX_PATH]) {
  wchar_t folder[MAX_PATH] = {};
  // Never create the folder: a missing one means the current directory.
  if (SHGetSpecialFolderPathW(nullptr, folder, CSIDL_APPDATA, FALSE) &&
      StringCchPrintfW(path, MAX_PATH, L"%ls\\%ls", folder, Wide(kSettingsFileName)) == S_OK) {
    return;
  }
  StringCchPrintfW(path, MAX_PATH, L".\\%ls", Wide(kSettingsFileName));
}

}  // namespace

std::u16string SettingsFilePath() {
  wchar_t path[MAX_PATH];
  ComputeSettingsPath(path);
  return reinterpret_cast<const char16_t*>(path);
}

int ReadStoredInt(const char16_t* key, int defaultValue) {
  wchar_t path[MAX_PATH];
  ComputeSettingsPath(path);
  return static_cast<int>(GetPrivateProfileIntW(Wide(kSettingsSection), Wide(key), defaultValue, path));
}

int WriteStoredValues(std::initializer_list<StoredValue> values) {
  wchar_t path[MAX_PATH];
  ComputeSettingsPath(path);
  // One key after the other; the last write's result is the outcome.
  int result = 0;
  for (const StoredValue& stored : values) {
    wchar_t text[16];
    StringCchPrintfW(text, 16, L"%d", stored.value);
    result = WritePrivateProfileStringW(Wide(kSettingsSection), Wide(stored.key), text, path) ? 1 : 0;
  }
  return result;
}

std::u16string LinkCommandFor(const std::u16string& address) { return u"cmd.exe /c start " + address; }

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
