#include "shell/clock_window.h"

#include <ctime>

#include "face/numerals.h"
#include "face/themes.h"
#include "shell/frame_schedule.h"
#include "shell/monitor_faces.h"

WindowPlacement ClockPlacement = WindowPlacement::kFullScreen;
WindowHandle ParentWindow = 0;
Rect ClockRect;
const ClockPlatform* ClockPlatformInUse = nullptr;

namespace {

// Shutdown can be asked for several times (Escape's press and release, then
// the window's destruction); the back buffer must be freed once, and nothing
// may draw after it.
bool Closed = false;

// Before a back end is in use, and after: nothing to ask of anyone.
const ClockPlatform NoPlatform = {
    [](int, int) { BackBufferDC = nullptr; }, [] { BackBufferDC = nullptr; }, [](int) {}, [] {}, [] {}, [] {},
    [](int) {}};

const ClockPlatform& Platform() {
  return ClockPlatformInUse != nullptr ? *ClockPlatformInUse : NoPlatform;
}

}  // namespace

bool ClockClosed() { return Closed; }

void ClockCreate(Rect client) {
  Closed = false;
  ClockRect = client;
  const int width = ClockRect.right - ClockRect.left;
  const int height = ClockRect.bottom - ClockRect.top;
  Platform().createBackBuffer(width, height);
  if (BackBufferDC != nullptr) BackBufferDC->FillBlack(ClockRect.left, ClockRect.top, width, height);
  MonitorFaces.assign(1, MonitorFace{ClockRect, BackBufferDC});
  ClockStart();
}

void ClockStart() {
  Closed = false;
  if (!MonitorFaces.empty()) {
    ClockRect = MonitorFaces.front().client;
    BackBufferDC = MonitorFaces.front().backBuffer;
  }
  std::tm now{};
  if (ClockLook.ColorByWeekday != 0 && ClockSource(&now)) ClockLook.ThemeIndex = now.tm_wday;
  UpdateHighlightColor(ClockLook);
  Platform().armClockTimer(kFirstFrameDelay);
}

void ClockFaceChanged(std::size_t index) {
  if (Closed || index >= MonitorFaces.size()) return;
  if (index == 0) {
    ClockRect = MonitorFaces.front().client;
    BackBufferDC = MonitorFaces.front().backBuffer;
  }
  DrawMonitorFace(index);
}

void ClockTimerTick() {
  if (Closed) return;
  DrawMonitorFaces();
  Platform().armClockTimer(
      MillisecondsToNextTick(WallClockNanosecondsIntoSecond(), WallClockStepNanoseconds()));
}

void ClockRightButtonUp() {
  if (Closed) return;
  Platform().armClockTimer(kFirstFrameDelay);
  // Every face is laid out for the new style as it is drawn.
  ClockLook.NumeralStyle = NextNumeralStyle(ClockLook.NumeralStyle);
}

void ClockWheel(int step) {
  if (Closed || ClockLook.ColorByWeekday == 0) return;
  Platform().armClockTimer(kFirstFrameDelay);
  MoveTheme(ClockLook, step);
  UpdateHighlightColor(ClockLook);
}

void ClockLeftButtonDown() {
  if (Closed || ClockPlacement != WindowPlacement::kFullScreen) return;
  ClockShutdown();
}

void ClockKey(const KeyEvent& event) {
  if (event.key == KeyName::kEscape && !event.alt) ClockLeftButtonDown();
}

void ClockKeyEvent(const KeyEvent& event) {
  if (FilterSwallowsKeyStroke(event)) return;
  ClockKey(event);
}

void ClockFocusLost() {
  // A preview lives inside another program's window (the host's settings
  // dialog): the focus is that program's to give, never ours to take.
  if (Closed || ClockPlacement != WindowPlacement::kFullScreen) return;
  Platform().takeFocusBack();
}

void ClockDestroyed() { ClockShutdown(); }

void ClockShutdown() {
  if (Closed) return;
  Closed = true;
  Platform().removeKeyboardFilter();
  Platform().stopClockTimer();
  Platform().freeBackBuffer();
  MonitorFaces.clear();
  Platform().postQuit(0);
}
