// Test helper: a stranger's "cmd.exe". When run, it only adds a line to a
// file named by ORBIDIAL_PLANTED_MARK, so a test can tell whether (and how
// often) a launcher started it: planted beside a program, it must not run;
// standing in for the system's interpreter, it counts the link's launches.
#include <windows.h>

int wmain() {
  wchar_t mark[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"ORBIDIAL_PLANTED_MARK", mark, MAX_PATH) == 0) return 1;
  // Appending is one write at the end: launches close together do not lose lines.
  HANDLE file = CreateFileW(mark, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  const char line[] = "ran\n";
  DWORD written = 0;
  WriteFile(file, line, sizeof(line) - 1, &written, nullptr);
  CloseHandle(file);
  return 0;
}
