// The clock window's events against a fake platform that writes down the
// operations it is asked for.
#include "shell/clock_window.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "face/clock_source.h"
#include "face/frame.h"
#include "face/layout.h"
#include "face/numerals.h"
#include "face/recording_surface.h"
#include "face/themes.h"
#include "shell/frame_schedule.h"
#include "shell/keyboard_filter.h"
#include "shell/monitor_faces.h"

namespace {

constexpr KeyEvent kEscapeDown{KeyName::kEscape, true, false, false};
constexpr KeyEvent kEscapeUp{KeyName::kEscape, false, false, false};

std::vector<std::string> Operations;
std::unique_ptr<RecordingSurface> Buffer;
int BuffersAlive = 0;

bool Wednesday(std::tm* out) {
  *out = std::tm{};
  out->tm_year = 126;
  out->tm_mon = 11;
  out->tm_mday = 9;
  out->tm_wday = 3;
  out->tm_hour = 10;
  return true;
}

// The fake platform.
void FakeBuffer(int width, int height) {
  Operations.push_back("buffer " + std::to_string(width) + "x" + std::to_string(height));
  Buffer = std::make_unique<RecordingSurface>();
  ++BuffersAlive;
  BackBufferDC = Buffer.get();
}
void FakeFree() {
  Operations.push_back("free");
  if (Buffer != nullptr) --BuffersAlive;
  BackBufferDC = nullptr;
  Buffer.reset();
}
void FakeTimer(int milliseconds) { Operations.push_back("timer " + std::to_string(milliseconds)); }
void FakeStop() { Operations.push_back("stop"); }
void FakeUnhook() { Operations.push_back("unhook"); }
void FakeFocus() { Operations.push_back("focus"); }
void FakeQuit(int code) { Operations.push_back("quit " + std::to_string(code)); }
const ClockPlatform FakePlatform = {FakeBuffer, FakeFree,  FakeTimer, FakeStop,
                                    FakeUnhook, FakeFocus, FakeQuit};

class ClockWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Operations.clear();
    ClockSource = Wednesday;
    ClockLook = FaceLook{};  // the settings' defaults
    ClockPlacement = WindowPlacement::kFullScreen;
    ClockPlatformInUse = &FakePlatform;
  }
  void TearDown() override {
    ClockShutdown();
    ClockPlatformInUse = nullptr;
    ClockSource = ReadSystemClock;
  }
  void Create(Rect client = Rect{0, 0, 800, 600}) {
    ClockCreate(client);
    Operations.clear();
  }
};

TEST_F(ClockWindowTest, CreationLaysOutAndArmsTheFirstFrame) {
  ClockCreate(Rect{0, 0, 800, 600});
  EXPECT_EQ(Operations, (std::vector<std::string>{"buffer 800x600", "timer 10"}));
  EXPECT_EQ(ClockLook.ThemeIndex, 3);
  EXPECT_EQ(ClockLook.HighlightColor, 0x00FCC625u);
  ClockTimerTick();
  ASSERT_EQ(MonitorFaces.size(), 1u);
  EXPECT_EQ(MonitorFaces[0].layout.ClientWidth, 800);
  EXPECT_EQ(MonitorFaces[0].layout.ClientHeight, 600);
}

TEST_F(ClockWindowTest, TheClientAreaIsTakenAsGiven) {
  // An empty area is no stand-in for the screen: the back end says which.
  ClockCreate(Rect{0, 0, 0, 0});
  EXPECT_EQ(ClockRect.right, 0);
  EXPECT_EQ(ClockRect.bottom, 0);
  EXPECT_EQ(Operations.front(), "buffer 0x0");
  ClockShutdown();
  ClockCreate(Rect{0, 0, 0, 120});
  EXPECT_EQ(ClockRect.right, 0);
  EXPECT_EQ(ClockRect.bottom, 120);
}

TEST_F(ClockWindowTest, ThemeStaysWithoutColourThemes) {
  ClockLook.ColorByWeekday = 0;
  Create();
  EXPECT_EQ(ClockLook.ThemeIndex, 0);
  EXPECT_EQ(ClockLook.HighlightColor, 0x0000FAFAu);
  ClockWheel(1);
  ClockWheel(-1);
  EXPECT_EQ(ClockLook.ThemeIndex, 0);
  EXPECT_TRUE(Operations.empty());
}

TEST_F(ClockWindowTest, TickDrawsAndWaitsForTheNextSecond) {
  Create();
  ClockTimerTick();
  ASSERT_EQ(Operations.size(), 1u);
  ASSERT_EQ(Operations[0].rfind("timer ", 0), 0u);
  const int wait = std::stoi(Operations[0].substr(6));
  // A clock that moves in steps (Windows') adds a step to the wait.
  const long long step = (WallClockStepNanoseconds() + 999999) / 1000000;
  EXPECT_GT(wait, kTickMarginMilliseconds);
  EXPECT_LE(wait, 1000 + kTickMarginMilliseconds + step);
  ASSERT_FALSE(Buffer->Calls().empty());
  EXPECT_EQ(Buffer->Calls().back().kind, RecordedCall::kCopy);
}

TEST_F(ClockWindowTest, RightClicksCycleTheStylesAndRelayout) {
  Create();
  std::vector<int> styles;
  std::vector<std::u16string> years;
  std::vector<int> fontHeights;
  for (int i = 0; i < 4; ++i) {
    ClockRightButtonUp();
    styles.push_back(ClockLook.NumeralStyle);
    Buffer->Clear();
    DrawMonitorFaces();
    fontHeights.push_back(MonitorFaces[0].layout.FontHeight);
    for (const RecordedCall& call : Buffer->Calls()) {
      if (call.kind == RecordedCall::kText) {
        years.push_back(call.text);
        break;
      }
    }
  }
  EXPECT_EQ(styles, (std::vector<int>{2, 0, 1, 2}));
  // Each style in its own numerals, laid out for them.
  EXPECT_EQ(years,
            (std::vector<std::u16string>{u"贰零贰陆年", u"2026  年", u"二零二六年", u"贰零贰陆年"}));
  EXPECT_EQ(fontHeights, (std::vector<int>{10, 12, 10, 10}));
  EXPECT_EQ(Operations, (std::vector<std::string>(4, "timer 10")));
}

TEST_F(ClockWindowTest, WheelWrapsBothWays) {
  Create();
  ClockLook.ThemeIndex = 6;
  ClockWheel(1);
  EXPECT_EQ(ClockLook.ThemeIndex, 0);
  EXPECT_EQ(ClockLook.HighlightColor, 0x0000FAFAu);
  ClockWheel(-1);
  EXPECT_EQ(ClockLook.ThemeIndex, 6);
  EXPECT_EQ(ClockLook.HighlightColor, 0x0038FF32u);
  ClockLook.ThemeIndex = 0;
  ClockWheel(0);  // no step forward counts as backward
  EXPECT_EQ(ClockLook.ThemeIndex, 6);
  EXPECT_EQ(Operations, (std::vector<std::string>(3, "timer 10")));
}

TEST_F(ClockWindowTest, LeftClickAndEscapeEndFullScreenOnly) {
  // A preview and a host's hack only show; the host ends them.
  for (const WindowPlacement placement : {WindowPlacement::kPreview, WindowPlacement::kHack}) {
    ClockPlacement = placement;
    Create();
    ClockLeftButtonDown();
    ClockKey(kEscapeDown);
    ClockKey(kEscapeUp);
    ClockFocusLost();
    EXPECT_FALSE(ClockClosed());
    EXPECT_TRUE(Operations.empty());
    ClockShutdown();
  }

  ClockPlacement = WindowPlacement::kFullScreen;
  Create();
  ClockKey(KeyEvent{KeyName::kOther, true, false, false});
  ClockKey(KeyEvent{KeyName::kEscape, true, true, false});  // Alt+Esc
  EXPECT_FALSE(ClockClosed());
  ClockLeftButtonDown();
  EXPECT_TRUE(ClockClosed());
}

TEST_F(ClockWindowTest, EscapeReleaseAloneEnds) {
  Create();
  ClockKey(kEscapeUp);
  EXPECT_TRUE(ClockClosed());
}

TEST_F(ClockWindowTest, SwallowedEscapesDoNotEnd) {
  Create();
  ClockKeyEvent(KeyEvent{KeyName::kEscape, true, false, true});  // Ctrl+Esc
  ClockKeyEvent(kEscapeUp);                                      // Control let go first
  ClockKeyEvent(KeyEvent{KeyName::kEscape, true, true, false});  // Alt+Esc
  ClockKeyEvent(KeyEvent{KeyName::kEscape, false, true, false});
  EXPECT_FALSE(ClockClosed());
  ClockKeyEvent(kEscapeDown);
  EXPECT_TRUE(ClockClosed());
}

TEST_F(ClockWindowTest, ShutdownActsOnceAndSilencesEverything) {
  Create();
  ClockKey(kEscapeDown);
  EXPECT_EQ(Operations, (std::vector<std::string>{"unhook", "stop", "free", "quit 0"}));
  EXPECT_EQ(BackBufferDC, nullptr);
  Operations.clear();
  ClockKey(kEscapeUp);
  ClockDestroyed();
  ClockTimerTick();
  ClockRightButtonUp();
  ClockWheel(1);
  ClockFocusLost();
  EXPECT_TRUE(Operations.empty());
  EXPECT_EQ(BuffersAlive, 0);
}

TEST_F(ClockWindowTest, FocusLossTakesItBackInFullScreenOnly) {
  Create();
  ClockFocusLost();
  EXPECT_EQ(Operations, (std::vector<std::string>{"focus"}));
  ClockShutdown();

  ClockPlacement = WindowPlacement::kPreview;
  Create();
  ClockFocusLost();
  EXPECT_TRUE(Operations.empty());
  ClockPlacement = WindowPlacement::kFullScreen;
}

TEST_F(ClockWindowTest, AStoppedClockShowsItsInstantAndABadOneLeavesTheClock) {
  ASSERT_TRUE(FreezeClockAt("2026-12-09 10:08:30"));
  std::tm t{};
  ASSERT_TRUE(ClockSource(&t));
  EXPECT_EQ(t.tm_hour, 10);
  EXPECT_EQ(t.tm_wday, 3);
  ClockSource = Wednesday;
  for (const char* bad : {"", "2026-12-09 10:08", "2026-02-29 10:08:30", "2026-12-09 10:08:30 "}) {
    EXPECT_FALSE(FreezeClockAt(bad)) << bad;
    EXPECT_EQ(ClockSource, Wednesday) << bad;
  }
}

// Two back ends in one program (X11 and Wayland): the shared logic goes to
// the one in use alone, and with none in use it asks nothing of anyone.
std::vector<std::string> SecondOperations;
void SecondBuffer(int width, int height) {
  SecondOperations.push_back("second buffer " + std::to_string(width) + "x" + std::to_string(height));
  BackBufferDC = nullptr;
}
void SecondFree() { SecondOperations.push_back("second free"); }
void SecondTimer(int milliseconds) { SecondOperations.push_back("second timer " + std::to_string(milliseconds)); }
void SecondStop() { SecondOperations.push_back("second stop"); }
void SecondUnhook() { SecondOperations.push_back("second unhook"); }
void SecondFocus() { SecondOperations.push_back("second focus"); }
void SecondQuit(int code) { SecondOperations.push_back("second quit " + std::to_string(code)); }
const ClockPlatform SecondPlatform = {SecondBuffer, SecondFree,   SecondTimer, SecondStop,
                                      SecondUnhook, SecondFocus, SecondQuit};

TEST_F(ClockWindowTest, TheBackEndInUseGetsEveryOperation) {
  SecondOperations.clear();
  ClockPlatformInUse = &SecondPlatform;
  ClockCreate(Rect{0, 0, 640, 480});
  ClockRightButtonUp();
  ClockFocusLost();
  ClockKey(kEscapeDown);
  EXPECT_TRUE(Operations.empty());
  EXPECT_EQ(SecondOperations,
            (std::vector<std::string>{"second buffer 640x480", "second timer 10", "second timer 10",
                                      "second focus", "second unhook", "second stop", "second free",
                                      "second quit 0"}));

  ClockPlatformInUse = nullptr;
  SecondOperations.clear();
  ClockCreate(Rect{0, 0, 640, 480});
  EXPECT_EQ(BackBufferDC, nullptr);
  ClockTimerTick();
  ClockKey(kEscapeDown);
  EXPECT_TRUE(ClockClosed());
  EXPECT_TRUE(Operations.empty());
  EXPECT_TRUE(SecondOperations.empty());
}

// Several monitors: faces the platform made itself, in `MonitorFaces`.
class MonitorFacesTest : public ClockWindowTest {
 protected:
  RecordingSurface wide, small;

  void StartTwo() {
    MonitorFaces = {MonitorFace{Rect{0, 0, 1920, 1080}, &wide}, MonitorFace{Rect{0, 0, 800, 600}, &small}};
    ClockStart();
    wide.Clear();
    small.Clear();
    Operations.clear();
  }

  // What one face of that size shows alone, in the window's look.
  static std::vector<std::string> OneMonitor(Rect client) {
    RecordingSurface alone;
    std::tm now{};
    EXPECT_TRUE(ClockSource(&now));
    DrawFrame(alone, ComputeLayout(client.right, client.bottom, ClockLook.NumeralStyle), ClockLook,
              &now);
    return Lines(alone);
  }

  static std::vector<std::string> Lines(const RecordingSurface& surface) {
    std::vector<std::string> lines;
    for (const RecordedCall& call : surface.Calls()) lines.push_back(RecordingSurface::Line(call));
    return lines;
  }
};

int SourceReads = 0;
// A clock that has moved on a second at every reading.
bool Hurrying(std::tm* out) {
  Wednesday(out);
  out->tm_sec = SourceReads++ % 60;
  return true;
}

TEST_F(MonitorFacesTest, EachMonitorShowsItsOwnSizeOfOneInstant) {
  StartTwo();
  ClockSource = Hurrying;
  SourceReads = 0;
  ClockTimerTick();
  EXPECT_EQ(SourceReads, 1);
  SourceReads = 0;
  EXPECT_EQ(Lines(wide), OneMonitor(Rect{0, 0, 1920, 1080}));
  SourceReads = 0;
  EXPECT_EQ(Lines(small), OneMonitor(Rect{0, 0, 800, 600}));
  // Each face keeps its own layout; the window stands for the first.
  EXPECT_EQ(MonitorFaces[0].layout.ClientWidth, 1920);
  EXPECT_EQ(MonitorFaces[1].layout.ClientWidth, 800);
  EXPECT_EQ(BackBufferDC, &wide);
  EXPECT_EQ(ClockRect.bottom, 1080);
}

TEST_F(MonitorFacesTest, StyleAndThemeChangeEveryMonitor) {
  StartTwo();
  ClockRightButtonUp();
  ClockWheel(1);
  EXPECT_EQ(Operations, (std::vector<std::string>(2, "timer 10")));
  ClockTimerTick();
  EXPECT_EQ(ClockLook.NumeralStyle, 2);
  EXPECT_EQ(ClockLook.ThemeIndex, 4);
  EXPECT_EQ(Lines(small), OneMonitor(Rect{0, 0, 800, 600}));
  EXPECT_EQ(Lines(wide), OneMonitor(Rect{0, 0, 1920, 1080}));
}

TEST_F(MonitorFacesTest, AChangedMonitorShowsAtOnce) {
  StartTwo();
  RecordingSurface resized;
  MonitorFaces[1] = MonitorFace{Rect{0, 0, 1024, 768}, &resized};
  ClockFaceChanged(1);
  EXPECT_EQ(Lines(resized), OneMonitor(Rect{0, 0, 1024, 768}));
  EXPECT_TRUE(wide.Calls().empty());
  EXPECT_TRUE(Operations.empty());  // the next regular frame stays where it was
  EXPECT_EQ(MonitorFaces[1].layout.ClientWidth, 1024);

  // The first monitor's new size is the clock window's.
  RecordingSurface first;
  MonitorFaces[0] = MonitorFace{Rect{0, 0, 1280, 800}, &first};
  ClockFaceChanged(0);
  EXPECT_EQ(Lines(first), OneMonitor(Rect{0, 0, 1280, 800}));
  EXPECT_EQ(ClockRect.right, 1280);
  EXPECT_EQ(MonitorFaces[0].layout.ClientHeight, 800);
  EXPECT_EQ(BackBufferDC, &first);
  ClockFaceChanged(7);  // no such face: nothing
}

TEST_F(MonitorFacesTest, AMonitorWithoutBackBufferIsPassedOver) {
  MonitorFaces = {MonitorFace{Rect{0, 0, 640, 480}, nullptr}, MonitorFace{Rect{0, 0, 800, 600}, &small}};
  ClockStart();
  small.Clear();
  ClockTimerTick();
  EXPECT_EQ(Lines(small), OneMonitor(Rect{0, 0, 800, 600}));
}

TEST_F(MonitorFacesTest, ShutdownForgetsTheFaces) {
  StartTwo();
  ClockShutdown();
  EXPECT_TRUE(MonitorFaces.empty());
  ClockFaceChanged(0);
  EXPECT_TRUE(wide.Calls().empty());
}

}  // namespace
