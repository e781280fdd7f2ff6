// Test helper: a stranger's "cmd.exe" planted beside a program. When run, it
// only leaves a mark (a file named by ORBIDIAL_PLANTED_MARK), so a test can
// tell whether a launcher picked it up instead of the system's interpreter.
#include <windows.h>

int wmain() {
  wchar_t mark[MAX_PATH] = {};
  if (GetEnvironmentVariableW(L"ORBIDIAL_PLANTED_MARK", mark, MAX_PATH) == 0) return 1;
  HANDLE file = CreateFileW(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  CloseHandle(file);
  return 0;
}
