#include "shell/clock_window_win32.h"

#include <algorithm>
#include <memory>
#include <vector>

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
// The window of the preview, or of the first monitor's face: it holds the
// timer and the focus.
HWND ClockWindow = nullptr;
std::unique_ptr<GdiSurface> BackBuffer;

// Full screen: a window per monitor, in the order of `MonitorFaces`; the
// first stands on the primary monitor and is `ClockWindow`.
struct FaceWindow {
  HWND window = nullptr;
  RECT area{};    // the monitor, in virtual-screen pixels
  Rect client{};  // the back buffer's size; empty without one
  std::unique_ptr<GdiSurface> buffer;
};
std::vector<std::unique_ptr<FaceWindow>> Faces;

HWND Parent() { return reinterpret_cast<HWND>(ParentWindow); }

int Width(const RECT& area) { return area.right - area.left; }
int Height(const RECT& area) { return area.bottom - area.top; }
bool SameArea(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFO info = {};
  info.cbSize = sizeof(info);
  if (!GetMonitorInfoW(monitor, &info)) return TRUE;
  auto& areas = *reinterpret_cast<std::vector<RECT>*>(list);
  if ((info.dwFlags & MONITORINFOF_PRIMARY) != 0) {
    areas.insert(areas.begin(), info.rcMonitor);
  } else {
    areas.push_back(info.rcMonitor);
  }
  return TRUE;
}

// The monitors to cover, empty ones left out; the screen when none is left.
std::vector<RECT> ReadMonitors() {
  std::vector<RECT> areas = MonitorAreas();
  std::erase_if(areas, [](const RECT& area) { return Width(area) <= 0 || Height(area) <= 0; });
  if (areas.empty()) {
    areas.push_back(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
  }
  return areas;
}

// The face's back buffer for its window's client area; null (a black
// window) when it cannot be made.
void MakeFaceBuffer(FaceWindow& face) {
  face.buffer.reset();
  face.client = Rect{};
  RECT client = {};
  GetClientRect(face.window, &client);
  if (Width(client) <= 0 || Height(client) <= 0) return;
  face.buffer = std::make_unique<GdiSurface>(face.window, Width(client), Height(client));
  face.client = Rect{0, 0, Width(client), Height(client)};
}

// A top-most window over `area`, not yet shown.
bool AddFaceWindow(const RECT& area) {
  auto face = std::make_unique<FaceWindow>();
  face->area = area;
  face->window = CreateWindowExW(0, WindowClassName, WindowTitle, kFullScreenStyle, area.left,
                                 area.top, Width(area), Height(area), nullptr, nullptr, Instance,
                                 nullptr);
  if (face->window == nullptr) return false;
  MakeFaceBuffer(*face);
  Faces.push_back(std::move(face));
  return true;
}

// `MonitorFaces` as `Faces` stand now.
void PublishFaces() {
  MonitorFaces.clear();
  for (const auto& face : Faces) MonitorFaces.push_back(MonitorFace{face->client, face->buffer.get()});
}

std::size_t FaceIndexOf(HWND window) {
  for (std::size_t i = 0; i < Faces.size(); ++i) {
    if (Faces[i]->window == window) return i;
  }
  return Faces.size();
}

// Takes the face `index` away; its window goes after it has left the list,
// so its destruction is not taken for the end of the run.
void RemoveFace(std::size_t index) {
  const HWND window = Faces[index]->window;
  Faces.erase(Faces.begin() + static_cast<std::ptrdiff_t>(index));
  DestroyWindow(window);
}

bool CreateFullScreenFaces() {
  for (const RECT& area : ReadMonitors()) {
    // The first face holds the timer and the focus: without it nothing runs.
    if (!AddFaceWindow(area) && Faces.empty()) return false;
  }
  ClockWindow = Faces.front()->window;
  PublishFaces();
  ClockStart();
  // The others first, without taking the activation; the first last, so it
  // ends up active and with the focus.
  for (std::size_t i = Faces.size(); i-- > 0;) {
    const HWND window = Faces[i]->window;
    ShowWindow(window, i == 0 ? SW_SHOW : SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  }
  SetForegroundWindow(ClockWindow);
  SetFocus(ClockWindow);
  return true;
}

// The monitors as they are now: each face's window moved and sized to its
// monitor (a new back buffer when the size changed), windows added for new
// monitors and taken away for monitors gone. The first window, which holds
// the timer and the focus, always stays.
void FollowMonitors() {
  if (ClockClosed() || Faces.empty()) return;
  const std::vector<RECT> areas = ReadMonitors();
  std::vector<std::size_t> changed;
  const std::size_t kept = std::min(areas.size(), Faces.size());
  for (std::size_t i = 0; i < kept; ++i) {
    FaceWindow& face = *Faces[i];
    if (SameArea(face.area, areas[i])) continue;
    const bool resized =
        Width(face.area) != Width(areas[i]) || Height(face.area) != Height(areas[i]);
    face.area = areas[i];
    SetWindowPos(face.window, HWND_TOPMOST, areas[i].left, areas[i].top, Width(areas[i]),
                 Height(areas[i]), SWP_NOACTIVATE);
    if (resized) {
      MakeFaceBuffer(face);
      changed.push_back(i);
    }
  }
  while (Faces.size() > areas.size()) RemoveFace(Faces.size() - 1);
  for (std::size_t i = kept; i < areas.size(); ++i) {
    if (!AddFaceWindow(areas[i])) break;
    ShowWindow(Faces.back()->window, SW_SHOWNOACTIVATE);
    SetWindowPos(Faces.back()->window, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    changed.push_back(i);
  }
  PublishFaces();
  for (const std::size_t index : changed) ClockFaceChanged(index);
}

// The back buffer that shows in `window`, if it has one.
GdiSurface* SurfaceOf(HWND window) {
  if (const std::size_t index = FaceIndexOf(window); index < Faces.size()) {
    return Faces[index]->buffer.get();
  }
  return window == ClockWindow && ClockPlacement != WindowPlacement::kFullScreen ? BackBuffer.get() : nullptr;
}

// A window uncovered or shown shows its last frame (black before the first)
// at once, rather than the class's white until the next second.
bool PaintFromBackBuffer(HWND window) {
  GdiSurface* surface = SurfaceOf(window);
  if (surface == nullptr || ClockClosed()) return false;
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  const RECT& area = paint.rcPaint;
  BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, surface->Dc(),
         area.left, area.top, SRCCOPY);
  EndPaint(window, &paint);
  return true;
}

// After the run: the faces' windows other than the first go (the first is
// left as a single window always was, to the process's end).
void DropOtherFaces() {
  while (Faces.size() > 1) RemoveFace(Faces.size() - 1);
  Faces.clear();
}

// ---- What the shared logic asks of the platform ----------------------------

void FreeBackBuffer() {
  BackBufferDC = nullptr;
  BackBuffer.reset();
  for (const auto& face : Faces) face->buffer.reset();
}

void CreateBackBuffer(int width, int height) {
  FreeBackBuffer();
  BackBuffer = std::make_unique<GdiSurface>(ClockWindow, width, height);
  BackBufferDC = BackBuffer.get();
}

void ArmClockTimer(int milliseconds) {
  SetTimer(ClockWindow, kClockTimer, static_cast<UINT>(milliseconds), nullptr);
}

void StopClockTimer() { KillTimer(ClockWindow, kClockTimer); }

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

const ClockPlatform Win32Platform = {CreateBackBuffer, FreeBackBuffer,  ArmClockTimer, StopClockTimer,
                                     RemoveKeyboardFilter, TakeFocusBack, PostQuit};

}  // namespace

std::vector<RECT> ReadDisplayMonitors() {
  std::vector<RECT> areas;
  EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&areas));
  return areas;
}

std::vector<RECT> (*MonitorAreas)() = ReadDisplayMonitors;

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
  ClockPlatformInUse = &Win32Platform;
  DropOtherFaces();
  if (ClockPlacement == WindowPlacement::kFullScreen) {
    if (!CreateFullScreenFaces()) return 0;
    InstallKeyboardFilter();
    return 1;
  }
  RECT area;
  // No window is made from a rectangle that could not be read: a stale or
  // missing parent ends the preview quietly.
  if (!GetClientRect(Parent(), &area)) return 0;
  AdjustWindowRect(&area, kPreviewStyle, FALSE);
  HWND window = CreateWindowExW(0, WindowClassName, WindowTitle, kPreviewStyle, area.left, area.top,
                                area.right - area.left, area.bottom - area.top, Parent(), nullptr,
                                instance, nullptr);
  if (window == nullptr) return 0;
  ShowWindow(window, SW_SHOWMAXIMIZED);
  UpdateWindow(window);
  SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
  // A preview, which is only a picture in the host's settings dialog, hooks
  // no keys: a low-level hook would act on the whole desktop.
  return 1;
}

int RunClockWindow(HINSTANCE instance) {
  LoadStringW(instance, IDS_APP_TITLE, WindowTitle, 50);
  LoadStringW(instance, IDS_WINDOW_CLASS, WindowClassName, 50);
  RegisterClockClass(instance);
  if (!CreateClockWindow(instance)) return 0;
  HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDA_ORBIDIAL));
  ShowCursor(ClockPlacement != WindowPlacement::kFullScreen);
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
  DropOtherFaces();
  return static_cast<int>(result);
}

LRESULT CALLBACK ClockWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
      // Full screen, the faces are made once every monitor has its window.
      if (ClockPlacement == WindowPlacement::kFullScreen) return 0;
      ClockWindow = window;
      RECT client;
      GetClientRect(window, &client);
      Rect area{client.left, client.top, client.right, client.bottom};
      // A preview whose parent has no client area yet draws at the screen's
      // size, and shows as much of it as the parent will.
      if (area.right == 0 && area.bottom == 0) {
        area = Rect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
      }
      ClockCreate(area);
      return 0;
    }
    case WM_TIMER:
      if (wParam == kClockTimer) ClockTimerTick();
      break;
    case WM_RBUTTONUP:
      ClockRightButtonUp();
      break;
    case WM_MOUSEWHEEL:
      // One message, one step, whatever its delta: forward above 0.
      ClockWheel(GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? 1 : -1);
      break;
    case WM_LBUTTONDOWN:
      if (ClockPlacement == WindowPlacement::kFullScreen) {
        ClockLeftButtonDown();
        return 0;
      }
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
      if (wParam == VK_ESCAPE && ClockPlacement == WindowPlacement::kFullScreen) {
        ClockKey(KeyEvent{KeyName::kEscape, message == WM_KEYDOWN, false, false});
        return 0;
      }
      break;
    case WM_ERASEBKGND:
      if (SurfaceOf(window) != nullptr && !ClockClosed()) return 1;
      break;
    case WM_PAINT:
      if (PaintFromBackBuffer(window)) return 0;
      break;
    case WM_MOUSEACTIVATE:
      // A click on another monitor's face leaves the first window active
      // (it holds the focus and the keys); the click itself still comes.
      if (window != ClockWindow && ClockPlacement == WindowPlacement::kFullScreen) return MA_NOACTIVATE;
      break;
    case WM_DISPLAYCHANGE:
      if (ClockPlacement == WindowPlacement::kFullScreen) FollowMonitors();
      break;
    case WM_KILLFOCUS:
      // Only the first face's window takes the focus; the focus moving
      // between our own windows is no loss.
      if (window == ClockWindow) ClockFocusLost();
      break;
    case WM_DESTROY:
      if (window == ClockWindow) {
        ClockDestroyed();
      } else if (const std::size_t index = FaceIndexOf(window); index < Faces.size()) {
        // Another face's window destroyed by someone else: that face goes.
        Faces.erase(Faces.begin() + static_cast<std::ptrdiff_t>(index));
        PublishFaces();
      }
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}
