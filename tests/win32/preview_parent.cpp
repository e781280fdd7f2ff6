// Test helper: plays the screen-saver host's preview pane. Creates a window
// with a client area of WIDTH x HEIGHT, prints its handle in decimal (the
// number the host passes after /p), keeps it until the file END exists and
// then destroys it, as the host does when the preview ends. As soon as it has
// child windows it reports them, once, one line each:
// "child CLASS X Y WIDTH HEIGHT".
//   preview_parent.exe WIDTH HEIGHT END
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr UINT_PTR kReportTimer = 1;
constexpr UINT_PTR kEndTimer = 2;
const wchar_t* EndFile = nullptr;

BOOL CALLBACK ReportChild(HWND child, LPARAM) {
  wchar_t name[64] = {};
  GetClassNameW(child, name, 64);
  RECT area = {};
  GetWindowRect(child, &area);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&area), 2);
  std::printf("child %ls %ld %ld %ld %ld\n", name, area.left, area.top, area.right - area.left,
              area.bottom - area.top);
  return TRUE;
}

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == kReportTimer) {
        if (GetWindow(window, GW_CHILD) == nullptr) return 0;
        KillTimer(window, kReportTimer);
        EnumChildWindows(window, ReportChild, 0);
        std::fflush(stdout);
      } else if (GetFileAttributesW(EndFile) != INVALID_FILE_ATTRIBUTES) {
        DestroyWindow(window);
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: preview_parent WIDTH HEIGHT END_FILE\n");
    return 2;
  }
  const int width = _wtoi(argv[1]);
  const int height = _wtoi(argv[2]);
  EndFile = argv[3];

  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = ParentProc;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  windowClass.lpszClassName = L"OrbidialPreviewParent";
  RegisterClassExW(&windowClass);

  RECT frame = {0, 0, width, height};
  const DWORD style = WS_POPUP | WS_VISIBLE;
  AdjustWindowRect(&frame, style, FALSE);
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Orbidial preview parent", style, 40,
                                40, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                nullptr, instance, nullptr);
  if (window == nullptr) return 1;
  std::printf("%llu\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
  std::fflush(stdout);
  SetTimer(window, kReportTimer, 50, nullptr);
  SetTimer(window, kEndTimer, 50, nullptr);

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
