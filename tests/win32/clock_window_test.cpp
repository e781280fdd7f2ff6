// The Win32 clock window in preview mode, inside a parent window of this
// process (Wine draws a child window of another process nowhere, so the
// end-to-end preview test cannot look at its pixels): the frame reaches the
// window, the mouse commands act, the preview ignores the quit inputs, and
// destroying the parent ends the message loop cleanly; the preview leaves
// the desktop's keys and focus alone, a full-screen run takes both; full
// screen on two monitors of the test's own, and monitors going and coming.
// Also the low-level keyboard hook procedure on made-up key records.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "face/clock_source.h"
#include "face/layout.h"
#include "face/surface.h"
#include "face/themes.h"
#include "shell/clock_window.h"
#include "shell/clock_window_win32.h"
#include "shell/keyboard_filter_win32.h"
#include "shell/monitor_faces.h"

namespace {

constexpr int kParentWidth = 800;
constexpr int kParentHeight = 600;

// A fixed instant: Wednesday 9 December 2026, 10:08:30.
bool FixedClock(std::tm* out) {
  *out = std::tm{};
  out->tm_year = 126;
  out->tm_mon = 11;
  out->tm_mday = 9;
  out->tm_wday = 3;
  out->tm_hour = 10;
  out->tm_min = 8;
  out->tm_sec = 30;
  return true;
}

HWND MakeParent() {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  windowClass.lpszClassName = L"OrbidialTestParent";
  RegisterClassExW(&windowClass);
  return CreateWindowExW(0, windowClass.lpszClassName, L"parent",
                         WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, kParentWidth,
                         kParentHeight, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

// Pixels of `window`'s client area as 0x00RRGGBB, row by row.
std::vector<std::uint32_t> Capture(HWND window, int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC windowDc = GetDC(window);
  HDC memoryDc = CreateCompatibleDC(windowDc);
  HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memoryDc, bitmap);
  BitBlt(memoryDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
  GdiFlush();
  std::vector<std::uint32_t> pixels(static_cast<std::uint32_t*>(bits),
                                    static_cast<std::uint32_t*>(bits) + width * height);
  for (auto& p : pixels) p &= 0x00FFFFFF;
  SelectObject(memoryDc, old);
  DeleteObject(bitmap);
  DeleteDC(memoryDc);
  ReleaseDC(window, windowDc);
  return pixels;
}

// With ORBIDIAL_TEST_SHOTS naming a folder, the captured frame is kept there
// as a BMP for a person to look at.
void KeepShot(const std::vector<std::uint32_t>& pixels, int width, int height, const char* name) {
  const char* folder = std::getenv("ORBIDIAL_TEST_SHOTS");
  if (folder == nullptr || *folder == 0) return;
  const std::string path = std::string(folder) + "\\" + name;
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof(info);
  info.biWidth = width;
  info.biHeight = -height;
  info.biPlanes = 1;
  info.biBitCount = 32;
  const DWORD bytes = static_cast<DWORD>(pixels.size() * 4);
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof(file) + sizeof(info);
  file.bfSize = file.bfOffBits + bytes;
  HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (out == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(out, &file, sizeof(file), &written, nullptr);
  WriteFile(out, &info, sizeof(info), &written, nullptr);
  WriteFile(out, pixels.data(), bytes, &written, nullptr);
  CloseHandle(out);
}

int CountColour(const std::vector<std::uint32_t>& pixels, int width, std::uint32_t rgb, int left,
                int top, int right, int bottom) {
  int count = 0;
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) count += pixels[y * width + x] == rgb;
  }
  return count;
}

// Runs the clock's message loop; `steps` run one after another from a
// thread timer inside that loop, every `period` ms.
std::vector<std::function<void()>>* Steps = nullptr;
std::size_t NextStep = 0;
void CALLBACK RunStep(HWND, UINT, UINT_PTR timer, DWORD) {
  if (NextStep < Steps->size()) {
    (*Steps)[NextStep++]();
  } else {
    KillTimer(nullptr, timer);
  }
}

class ClockWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ClockSource = FixedClock;
    ClockLook = FaceLook{};  // the settings' defaults
    parent_ = MakeParent();
    ASSERT_NE(parent_, nullptr);
    ClockPlacement = WindowPlacement::kPreview;
    ParentWindow = reinterpret_cast<WindowHandle>(parent_);
  }
  void TearDown() override {
    ClockPlacement = WindowPlacement::kFullScreen;
    ParentWindow = 0;
    ClockSource = ReadSystemClock;
    if (IsWindow(parent_)) DestroyWindow(parent_);
  }

  int Run(std::vector<std::function<void()>> steps, UINT period) {
    Steps = &steps;
    NextStep = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, period, RunStep);
    const int result = RunClockWindow(GetModuleHandleW(nullptr));
    KillTimer(nullptr, timer);
    Steps = nullptr;
    return result;
  }

  HWND Clock() const { return FindWindowExW(parent_, nullptr, L"ORBDIAL", nullptr); }

  HWND parent_ = nullptr;
};

TEST_F(ClockWindowTest, PreviewFillsTheParentAndShowsTheFace) {
  std::vector<std::uint32_t> pixels;
  RECT childArea = {};
  const int result = Run(
      {[&] {
         ASSERT_NE(Clock(), nullptr);
         GetClientRect(Clock(), &childArea);
         EXPECT_EQ(KeyboardHook, 0u) << "a preview hooks no keys";
       },
       [&] { pixels = Capture(Clock(), kParentWidth, kParentHeight); },
       [&] { DestroyWindow(parent_); }},
      400);
  EXPECT_EQ(result, 0);
  KeepShot(pixels, kParentWidth, kParentHeight, "preview-in-process.bmp");
  EXPECT_EQ(childArea.right, kParentWidth);
  EXPECT_EQ(childArea.bottom, kParentHeight);
  // Wednesday: theme 3, sky-blue highlight (RGB 37, 198, 252).
  ASSERT_EQ(ClockLook.ThemeIndex, 3);
  ASSERT_EQ(pixels.size(), static_cast<std::size_t>(kParentWidth * kParentHeight));
  const std::uint32_t highlight = 0x25C6FC;
  // Style 1 on 600 px: FontHeight 10, centre (400, 300), radii 40 .. 230.
  const int onTheLine = CountColour(pixels, kParentWidth, highlight, 400 + 40, 300 - 20,
                                    kParentWidth, 300 + 20);
  const int leftHalf = CountColour(pixels, kParentWidth, highlight, 0, 0, 400 - 40, kParentHeight);
  const int grey = CountColour(pixels, kParentWidth, 0x808080, 0, 0, kParentWidth, kParentHeight);
  EXPECT_GT(onTheLine, 100) << "the current values at 3 o'clock";
  EXPECT_EQ(leftHalf, 0) << "no highlight away from the current values";
  EXPECT_EQ(grey, 0) << "the parent's background shows through";
  // Shut down once, and completely.
  EXPECT_EQ(KeyboardHook, 0u);
  EXPECT_EQ(BackBufferDC, nullptr);
  EXPECT_TRUE(ClockClosed());
}

TEST_F(ClockWindowTest, MouseCommandsActAndQuitInputsAreIgnoredInPreview) {
  std::vector<int> styles, themes, heights;
  bool aliveAfterQuitInputs = false;
  const int result = Run(
      {[&] {
         // The face is laid out for the new style as it is drawn.
         SendMessageW(Clock(), WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
         styles.push_back(ClockLook.NumeralStyle);
         DrawMonitorFaces();
         heights.push_back(MonitorFaces.at(0).layout.FontHeight);
         SendMessageW(Clock(), WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
         styles.push_back(ClockLook.NumeralStyle);
         DrawMonitorFaces();
         heights.push_back(MonitorFaces.at(0).layout.FontHeight);
         SendMessageW(Clock(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
         themes.push_back(ClockLook.ThemeIndex);
         SendMessageW(Clock(), WM_MOUSEWHEEL, MAKEWPARAM(0, 0), 0);
         SendMessageW(Clock(), WM_MOUSEWHEEL, MAKEWPARAM(0, 0), 0);
         themes.push_back(ClockLook.ThemeIndex);
         SendMessageW(Clock(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
         SendMessageW(Clock(), WM_KEYDOWN, VK_ESCAPE, 0);
         SendMessageW(Clock(), WM_KEYUP, VK_ESCAPE, 0);
       },
       [&] {
         aliveAfterQuitInputs = !ClockClosed() && IsWindow(Clock());
         DestroyWindow(parent_);
       }},
      300);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(styles, (std::vector<int>{2, 0}));
  EXPECT_EQ(heights, (std::vector<int>{600 / 56, 600 / 48}));
  EXPECT_EQ(themes, (std::vector<int>{4, 2}));  // Wednesday 3, forward, back twice
  EXPECT_TRUE(aliveAfterQuitInputs);
}

TEST_F(ClockWindowTest, PreviewLeavesTheFocusWhereItGoes) {
  // Under Wine without a window manager, a window of another program taking
  // the focus sends this one no WM_KILLFOCUS, so it is shown within one thread.
  HWND clock = nullptr, focusBefore = nullptr, focusAfter = nullptr;
  Run({[&] {
         clock = Clock();
         SetFocus(clock);
         focusBefore = GetFocus();
         SetFocus(parent_);
         focusAfter = GetFocus();
       },
       [&] { DestroyWindow(parent_); }},
      200);
  ASSERT_NE(clock, nullptr);
  EXPECT_EQ(focusBefore, clock);
  EXPECT_EQ(focusAfter, parent_);
}

TEST_F(ClockWindowTest, FullScreenHooksTheKeysAndTakesTheFocusBack) {
  ClockPlacement = WindowPlacement::kFullScreen;
  HWND clock = nullptr, focusAfter = nullptr;
  std::uintptr_t hook = 0;
  const int result = Run({[&] {
                            clock = FindWindowW(L"ORBDIAL", nullptr);
                            hook = KeyboardHook;
                            SetFocus(clock);
                            SetFocus(parent_);  // it loses the focus and takes it back
                            focusAfter = GetFocus();
                          },
                          [&] { SendMessageW(clock, WM_LBUTTONDOWN, MK_LBUTTON, 0); }},
                         200);
  EXPECT_EQ(result, 0);
  ASSERT_NE(clock, nullptr);
  EXPECT_NE(hook, 0u);
  EXPECT_EQ(focusAfter, clock);
  EXPECT_EQ(KeyboardHook, 0u);
  DestroyWindow(clock);
}

// Two monitors of the test's own (within Wine's one screen): a face on each
// at its own size, the same commands on both, a click on the second ends the
// run; one taken away while it runs leaves the clock running on the other.
std::vector<RECT> TestMonitors;
std::vector<RECT> ReadTestMonitors() { return TestMonitors; }
int FramesRead = 0;
bool CountingClock(std::tm* out) {
  ++FramesRead;
  return FixedClock(out);
}

class TwoMonitorTest : public ClockWindowTest {
 protected:
  void SetUp() override {
    ClockWindowTest::SetUp();
    ClockPlacement = WindowPlacement::kFullScreen;
    TestMonitors = {RECT{0, 0, 640, 480}, RECT{640, 0, 1040, 300}};
    MonitorAreas = ReadTestMonitors;
  }
  void TearDown() override {
    MonitorAreas = ReadDisplayMonitors;
    for (HWND face : Faces()) DestroyWindow(face);
    ClockWindowTest::TearDown();
  }
  // The saver's windows, the first monitor's first.
  static std::vector<HWND> Faces() {
    std::vector<HWND> found;
    for (HWND w = FindWindowW(L"ORBDIAL", nullptr); w != nullptr;
         w = FindWindowExW(nullptr, w, L"ORBDIAL", nullptr)) {
      if (IsWindowVisible(w)) found.push_back(w);
    }
    RECT a = {}, b = {};
    if (found.size() == 2 && GetWindowRect(found[0], &a) && GetWindowRect(found[1], &b) &&
        a.left > b.left) {
      std::swap(found[0], found[1]);
    }
    return found;
  }
};

TEST_F(TwoMonitorTest, AFaceOnEachAtItsOwnSizeTheCommandsOnBothAClickOnTheSecondEnds) {
  std::vector<HWND> faces;
  RECT second = {};
  std::vector<std::uint32_t> before, after;
  int style = -1;
  const int result = Run({[&] {
                            faces = Faces();
                            ASSERT_EQ(faces.size(), 2u);
                            GetClientRect(faces[1], &second);
                          },
                          [&] { before = Capture(faces[1], 400, 300); },
                          // A right click on the second changes the style on both.
                          [&] { SendMessageW(faces[1], WM_RBUTTONUP, 0, 0); },
                          [&] {
                            style = ClockLook.NumeralStyle;
                            after = Capture(faces[1], 400, 300);
                            SendMessageW(faces[1], WM_LBUTTONDOWN, MK_LBUTTON, 0);
                          }},
                         300);
  EXPECT_EQ(result, 0);
  ASSERT_EQ(faces.size(), 2u);
  EXPECT_EQ(second.right, 400);
  EXPECT_EQ(second.bottom, 300);
  KeepShot(before, 400, 300, "second-monitor-in-process.bmp");
  // Style 1 on 300 px: centre (200, 150), radii 20 .. 115; Wednesday's blue.
  ASSERT_EQ(before.size(), 400u * 300u);
  EXPECT_GT(CountColour(before, 400, 0x25C6FC, 200 + 20, 150 - 12, 400, 150 + 12), 50);
  EXPECT_EQ(CountColour(before, 400, 0x25C6FC, 0, 0, 200 - 20, 300), 0);
  EXPECT_EQ(style, 2);
  EXPECT_NE(before, after) << "the second face did not take the new style";
  EXPECT_TRUE(ClockClosed());
  EXPECT_EQ(KeyboardHook, 0u);
}

TEST_F(TwoMonitorTest, MonitorsTakenAwayAndAddedAreFollowedAndTheClockRunsOn) {
  ClockSource = CountingClock;
  std::vector<HWND> faces, facesAfterAdding;
  bool secondGone = false, stillRunning = false;
  int framesAtRemoval = 0, framesLater = 0;
  RECT added = {};
  const int result = Run({[&] { faces = Faces(); },
                          [&] {
                            ASSERT_EQ(faces.size(), 2u);
                            TestMonitors.pop_back();
                            SendMessageW(faces[0], WM_DISPLAYCHANGE, 32, MAKELPARAM(640, 480));
                            secondGone = !IsWindow(faces[1]);
                            framesAtRemoval = FramesRead;
                          },
                          [] {},
                          [&] {
                            framesLater = FramesRead;
                            stillRunning = !ClockClosed() && IsWindowVisible(faces[0]);
                            // A monitor of another size comes: a face of that size.
                            TestMonitors.push_back(RECT{640, 0, 1140, 400});
                            SendMessageW(faces[0], WM_DISPLAYCHANGE, 32, MAKELPARAM(640, 480));
                            facesAfterAdding = Faces();
                            if (facesAfterAdding.size() == 2) GetClientRect(facesAfterAdding[1], &added);
                            SendMessageW(faces[0], WM_LBUTTONDOWN, MK_LBUTTON, 0);
                          }},
                         700);
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(secondGone);
  EXPECT_TRUE(stillRunning);
  EXPECT_GT(framesLater, framesAtRemoval) << "no frame after the monitor went";
  ASSERT_EQ(facesAfterAdding.size(), 2u);
  EXPECT_EQ(facesAfterAdding[0], faces[0]);
  EXPECT_EQ(added.right, 500);
  EXPECT_EQ(added.bottom, 400);
}

TEST_F(ClockWindowTest, WheelDoesNothingWithThemesOff) {
  ClockLook.ColorByWeekday = 0;
  int theme = -1;
  Run({[&] {
         SendMessageW(Clock(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
         theme = ClockLook.ThemeIndex;
       },
       [&] { DestroyWindow(parent_); }},
      200);
  EXPECT_EQ(theme, 0);
  EXPECT_EQ(ClockLook.HighlightColor, 0x0000FAFAu);
}

TEST(ClockWindowStart, StalePreviewParentCreatesNothing) {
  ClockPlacement = WindowPlacement::kPreview;
  ParentWindow = 0x7FFF0;  // no such window
  EXPECT_EQ(RunClockWindow(GetModuleHandleW(nullptr)), 0);
  EXPECT_EQ(KeyboardHook, 0u);
  ClockPlacement = WindowPlacement::kFullScreen;
  ParentWindow = 0;
}

LRESULT Filter(WPARAM message, DWORD key, DWORD flags) {
  KBDLLHOOKSTRUCT record = {};
  record.vkCode = key;
  record.flags = flags;
  return KeyboardFilterProc(HC_ACTION, message, reinterpret_cast<LPARAM>(&record));
}

TEST(KeyboardFilterProc, SwallowsTheSwitchingKeysOnly) {
  // Control is up while the tests run, so Ctrl+Esc is left to the shared rule's tests.
  EXPECT_EQ(Filter(WM_SYSKEYDOWN, VK_TAB, LLKHF_ALTDOWN), 1);
  EXPECT_EQ(Filter(WM_SYSKEYUP, VK_TAB, LLKHF_ALTDOWN | LLKHF_UP), 1);
  EXPECT_EQ(Filter(WM_SYSKEYDOWN, VK_ESCAPE, LLKHF_ALTDOWN), 1);
  EXPECT_EQ(Filter(WM_KEYDOWN, VK_LWIN, 0), 1);
  EXPECT_EQ(Filter(WM_KEYUP, VK_RWIN, LLKHF_UP), 1);
  EXPECT_NE(Filter(WM_KEYDOWN, VK_TAB, 0), 1);
  EXPECT_NE(Filter(WM_KEYDOWN, VK_ESCAPE, 0), 1);
  EXPECT_NE(Filter(WM_KEYDOWN, 'A', LLKHF_ALTDOWN), 1);
  // Alt let go before Escape: the release of a swallowed press stays swallowed,
  // and the next plain Escape passes again.
  EXPECT_EQ(Filter(WM_SYSKEYDOWN, VK_ESCAPE, LLKHF_ALTDOWN), 1);
  EXPECT_EQ(Filter(WM_KEYUP, VK_ESCAPE, LLKHF_UP), 1);
  EXPECT_NE(Filter(WM_KEYDOWN, VK_ESCAPE, 0), 1);
  EXPECT_NE(Filter(WM_KEYUP, VK_ESCAPE, LLKHF_UP), 1);
  // Not an action: passed on untouched.
  KBDLLHOOKSTRUCT record = {};
  record.vkCode = VK_LWIN;
  EXPECT_NE(KeyboardFilterProc(HC_NOREMOVE, WM_KEYDOWN, reinterpret_cast<LPARAM>(&record)), 1);
}

}  // namespace

// The hook's messages in the filter's words: the four key messages, press or
// release, with the keys the rule looks at named and every other key alike.
TEST(KeyEventOfMessage, TheFourKeyMessagesAndTheirKeys) {
  KeyEvent event{KeyName::kTab, true, true, true};
  EXPECT_FALSE(KeyEventOfMessage(WM_CHAR, VK_LWIN, false, false, &event));
  EXPECT_FALSE(KeyEventOfMessage(0, VK_ESCAPE, true, true, &event));
  EXPECT_EQ(event.key, KeyName::kTab);  // left alone
  const struct {
    UINT message;
    bool press;
  } kMessages[] = {{WM_KEYDOWN, true}, {WM_KEYUP, false}, {WM_SYSKEYDOWN, true}, {WM_SYSKEYUP, false}};
  for (const auto& c : kMessages) {
    ASSERT_TRUE(KeyEventOfMessage(c.message, VK_ESCAPE, true, false, &event)) << c.message;
    EXPECT_EQ(event.key, KeyName::kEscape);
    EXPECT_EQ(event.press, c.press) << c.message;
    EXPECT_TRUE(event.alt);
    EXPECT_FALSE(event.control);
  }
  EXPECT_EQ(KeyNameOfVirtualKey(VK_TAB), KeyName::kTab);
  EXPECT_EQ(KeyNameOfVirtualKey(VK_LWIN), KeyName::kLeftSuper);
  EXPECT_EQ(KeyNameOfVirtualKey(VK_RWIN), KeyName::kRightSuper);
  EXPECT_EQ(KeyNameOfVirtualKey(VK_CONTROL), KeyName::kOther);
  EXPECT_EQ(KeyNameOfVirtualKey(300), KeyName::kOther);
}
