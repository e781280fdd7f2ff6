#include "shell/clock_window_win32.h"

#include <memory>

#include "face/gdi_surface_win32.h"
#include "resources/resource.h"
#include "shell/clock_window.h"
#include "shell/keyboard_filter_win32.h"
#include "shell/monitor_faces.h"

HINSTANCE Instance = nullptr;

namespace {

constexpr UINT_PTR kClockTimer = 1;
// WS_POPUP with the low bit 0x8, a class-specific bit our class ignores.
constexpr DWORD kFullScreenStyle = WS_POPUP | 0x8;
constexpr DWORD kPreviewStyle = WS_CHILD | WS_VISIBLE;

wchar_t WindowTitle[50];
wchar_t WindowClassName[50];
HWND ClockWindow = nullptr;
std::unique_ptr<GdiSurface> BackBuffer;

HWND Parent() { return reinterpret_cast<HWND>(ParentWindow); }

}  // namespace

// ---- What the shared logic asks of the platform ----------------------------

void CreateBackBuffer(int width, int height) {
  FreeBackBuffer();
  BackBuffer = std::make_unique<GdiSurface>(ClockWindow, width, height);
  BackBufferDC = BackBuffer.get();
}

void FreeBackBuffer() {
  BackBufferDC = nullptr;
  BackBuffer.reset();
}

void ArmClockTimer(int milliseconds) {
  SetTimer(ClockWindow, kClockTimer, static_cast<UINT>(milliseconds), nullptr);
}

void StopClockTimer() { KillTimer(ClockWindow, kClockTimer); }

void RemoveKeyboardFilter() { UnhookWindowsHookEx(reinterpret_cast<HHOOK>(KeyboardHook)); }

void TakeFocusBack() {
  // A window may only take the foreground from the thread that has it, so
  // join that thread's input state for the moment it takes.
  const DWORD thisThread = GetCurrentThreadId();
  const DWORD foregroundThread = GetWindowThreadProcessId(GetForegroundWindow(), nullptr);
  AttachThreadInput(thisThread, foregroundThread, TRUE);
  SetForegroundWindow(ClockWindow);
  SetFocus(ClockWindow);
  AttachThreadInput(thisThread, foregroundThread, FALSE);
}

void PostQuit(int code) { PostQuitMessage(code); }

// ---- The window -------------------------------------------------------------

void RegisterClockClass(HINSTANCE instance) {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = ClockWndProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_ORBIDIAL));
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = WindowClassName;
  windowClass.hIconSm = LoadIconW(instance, MAKEINTRESOURCEW(IDI_ORBIDIAL));
  RegisterClassExW(&windowClass);
}

int CreateClockWindow(HINSTANCE instance) {
  Instance = instance;
  HWND window = nullptr;
  if (PreviewMode != 0) {
    RECT area;
    // No window is made from a rectangle that could not be read: a stale or
    // missing parent ends the preview quietly.
    if (!GetClientRect(Parent(), &area)) return 0;
    AdjustWindowRect(&area, kPreviewStyle, FALSE);
    window = CreateWindowExW(0, WindowClassName, WindowTitle, kPreviewStyle, area.left, area.top,
                             area.right - area.left, area.bottom - area.top, Parent(), nullptr,
                             instance, nullptr);
  } else {
    window = CreateWindowExW(0, WindowClassName, WindowTitle, kFullScreenStyle, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                             instance, nullptr);
  }
  if (window == nullptr) return 0;
  ShowWindow(window, SW_SHOWMAXIMIZED);
  UpdateWindow(window);
  SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
  // A low-level hook acts on the whole desktop: a preview, which is only a
  // picture in the host's settings dialog, must leave the user's keys alone.
  if (PreviewMode == 0) InstallKeyboardFilter();
  return 1;
}

int RunClockWindow(HINSTANCE instance) {
  LoadStringW(instance, IDS_APP_TITLE, WindowTitle, 50);
  LoadStringW(instance, IDS_WINDOW_CLASS, WindowClassName, 50);
  RegisterClockClass(instance);
  if (!CreateClockWindow(instance)) return 0;
  HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDA_ORBIDIAL));
  ShowCursor(PreviewMode != 0);
  MSG message;
  WPARAM result = 0;
  for (;;) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      result = message.wParam;
      break;
    }
    if (got == -1) break;  // nothing left to wait on
    if (!TranslateAcceleratorW(message.hwnd, accelerators, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  ShowCursor(TRUE);
  return static_cast<int>(result);
}

LRESULT CALLBACK ClockWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      ClockWindow = window;
      RECT client;
      GetClientRect(window, &client);
      SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
      ClockCreate(Rect{client.left, client.top, client.right, client.bottom},
                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
      return 0;
    }
    case WM_TIMER:
      if (wParam == kClockTimer) ClockTimerTick();
      break;
    case WM_RBUTTONUP:
      ClockRightButtonUp();
      break;
    case WM_MOUSEWHEEL:
      ClockWheel(GET_WHEEL_DELTA_WPARAM(wParam));
      break;
    case WM_LBUTTONDOWN:
      if (PreviewMode == 0) {
        ClockLeftButtonDown();
        return 0;
      }
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (wParam == VK_ESCAPE && PreviewMode == 0) {
        ClockKey(message, static_cast<unsigned>(wParam));
        return 0;
      }
      break;
    case WM_KILLFOCUS:
      ClockFocusLost();
      break;
    case WM_DESTROY:
      ClockDestroyed();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}
