#include "settings/about_dialog.h"

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "common/utf_conversion.h"
#include "settings/link_launch_posix.h"

namespace {

namespace fs = std::filesystem;

TEST(FileVersion, ComesFromTheBuild) {
  EXPECT_EQ(ReadFileVersion(), 1);
  EXPECT_EQ(std::u16string(VersionText), Utf8ToUtf16(ORBIDIAL_VERSION_TEXT));
}

TEST(FileVersion, OnlyFourSixteenBitNumbersParse) {
  unsigned parts[4] = {};
  EXPECT_EQ(ParseFileVersion("65535.0.12.7", parts), 1);
  EXPECT_EQ(parts[0], 65535u);
  EXPECT_EQ(parts[3], 7u);
  for (const char* bad : {"1.3.3", "1.3.3.0.1", "65536.0.0.0", "1..3.0", "1.3.3.0 ", "", "a.b.c.d"}) {
    EXPECT_EQ(ParseFileVersion(bad, parts), 0) << bad;
  }
}

TEST(DialogTexts, LinesAndLinkCommand) {
  ComposeDialogTexts();
  EXPECT_EQ(VersionLine, u"Orbidial V" + Utf8ToUtf16(ORBIDIAL_VERSION_TEXT) + u"\u3000");
  EXPECT_NE(CreditLine.find(u"Orbidial"), std::u16string::npos);
  EXPECT_NE(CreditLine.find(u"2026"), std::u16string::npos);
  EXPECT_FALSE(ContactLine.empty());
  ASSERT_GE(WebAddressLine.size(), 2u);
  EXPECT_EQ(WebAddressLine.back(), u'\u3000');
  EXPECT_EQ(WebAddressLine.substr(0, WebAddressLine.size() - 1), LinkCommandLine)
      << "the launcher gets the bare address";
  EXPECT_EQ(LinkRect.left, 95);
  EXPECT_EQ(LinkRect.top, 75);
  EXPECT_EQ(LinkRect.right, 265);
  EXPECT_EQ(LinkRect.bottom, 90);
  EXPECT_EQ(SeparatorY(), 105);
  EXPECT_EQ(SeparatorEndX(), 595);
}

TEST(DialogLayout, PixelPlacedPartsGrowWithTheDialogsDpi) {
  DialogDpi = 144;  // 150 %
  ComposeDialogTexts();
  EXPECT_EQ(LinkRect.left, 143);  // 142.5, rounded
  EXPECT_EQ(LinkRect.top, 113);
  EXPECT_EQ(LinkRect.right, 398);
  EXPECT_EQ(LinkRect.bottom, 135);
  EXPECT_EQ(SeparatorY(), 135 + 23);
  EXPECT_EQ(SeparatorEndX(), 143 + 750);
  EXPECT_EQ(ScaleForDialog(kIconSize), 96);
  EXPECT_TRUE(IsOnLink(144, 114));
  EXPECT_TRUE(IsOnLink(397, 134));
  EXPECT_FALSE(IsOnLink(143, 114));
  EXPECT_FALSE(IsOnLink(144, 135));
  EXPECT_FALSE(IsOnLink(200, 80)) << "the 96-dpi rectangle is gone";

  DialogDpi = 192;  // 200 %: exactly twice
  PlaceLink();
  EXPECT_EQ(LinkRect.left, 190);
  EXPECT_EQ(LinkRect.bottom, 180);

  DialogDpi = kBaseDpi;
  PlaceLink();
  EXPECT_EQ(LinkRect.left, 95);
  EXPECT_EQ(LinkRect.bottom, 90);
}

TEST(DialogLayout, DialogUnitsBecomePixels) {
  EXPECT_EQ(DialogUnitsToPixelsX(kDialogWidth), 308);
  EXPECT_EQ(DialogUnitsToPixelsY(kDialogHeight), 169);
  EXPECT_EQ(DialogUnitsToPixelsX(kWebAddressLineItem.x), 98);
  EXPECT_EQ(DialogUnitsToPixelsY(kWebAddressLineItem.y), 81);
  EXPECT_EQ(DialogUnitsToPixelsY(kColorBoxItem.y), 129);
}

TEST(LinkHitTest, StrictInsideTheRectangle) {
  ComposeDialogTexts();
  EXPECT_TRUE(IsOnLink(96, 76));
  EXPECT_TRUE(IsOnLink(264, 89));
  EXPECT_TRUE(IsOnLink(180, 82));
  EXPECT_FALSE(IsOnLink(95, 80));
  EXPECT_FALSE(IsOnLink(265, 80));
  EXPECT_FALSE(IsOnLink(180, 75));
  EXPECT_FALSE(IsOnLink(180, 90));
  EXPECT_FALSE(IsOnLink(-100, 80));
  EXPECT_FALSE(IsOnLink(180 + 65536, 80)) << "a point far right is off the link";
}

TEST(LinkCursor, HandOnEnteringArrowOnceOnLeaving) {
  ComposeDialogTexts();
  HandCursorShown = 0;
  EXPECT_EQ(TrackLinkCursor(10, 10), CursorChange::Keep);
  EXPECT_EQ(TrackLinkCursor(100, 80), CursorChange::ToHand);
  EXPECT_EQ(HandCursorShown, 1);
  EXPECT_EQ(TrackLinkCursor(101, 80), CursorChange::ToHand);
  EXPECT_EQ(TrackLinkCursor(95, 80), CursorChange::ToArrow);
  EXPECT_EQ(HandCursorShown, 0);
  EXPECT_EQ(TrackLinkCursor(94, 80), CursorChange::Keep);
  EXPECT_EQ(TrackLinkCursor(10, 10), CursorChange::Keep);
}

TEST(CheckBoxes, ClicksCycleTheStates) {
  EXPECT_EQ(NextCheckState(0, kThreeStateMax), 1);
  EXPECT_EQ(NextCheckState(1, kThreeStateMax), 2);
  EXPECT_EQ(NextCheckState(2, kThreeStateMax), 0);
  EXPECT_EQ(NextCheckState(0, kTwoStateMax), 1);
  EXPECT_EQ(NextCheckState(1, kTwoStateMax), 0);
}

TEST(CheckBoxes, StoredValuesOutsideTheStatesShowTheLastState) {
  EXPECT_EQ(InitialCheckState(0, kTwoStateMax), 0);
  EXPECT_EQ(InitialCheckState(1, kTwoStateMax), 1);
  EXPECT_EQ(InitialCheckState(5, kTwoStateMax), 1);
  EXPECT_EQ(InitialCheckState(-1, kTwoStateMax), 1);
  EXPECT_EQ(InitialCheckState(2, kThreeStateMax), 2);
  EXPECT_EQ(InitialCheckState(3, kThreeStateMax), 2);
  EXPECT_EQ(InitialCheckState(-32768, kThreeStateMax), 2);
}

// A launcher that notes its arguments, one line per run.
class LinkLaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/orbidial-launch-XXXXXX";
    folder_ = mkdtemp(pattern);
    log_ = folder_ / "log";
    launcher_ = (folder_ / "launcher").string();
    std::ofstream(launcher_) << "#!/bin/sh\nprintf '%s|%s\\n' \"$#\" \"$1\" >> '" << log_.string() << "'\n";
    fs::permissions(launcher_, fs::perms::owner_all);
    LinkLauncher = launcher_.c_str();
    ComposeDialogTexts();
  }
  void TearDown() override {
    LinkLauncher = "xdg-open";
    fs::remove_all(folder_);
  }
  static void WaitForLaunchers() {
    for (int i = 0; i < 500 && ReapLinkProcesses() > 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  fs::path folder_, log_;
  std::string launcher_;
};

TEST_F(LinkLaunchTest, EveryClickOnTheLinkStartsOneLauncherWithTheAddress) {
  EXPECT_EQ(ClickLink(95, 80), 0);
  EXPECT_EQ(ClickLink(100, 80), 1);
  EXPECT_EQ(ClickLink(264, 89), 1);
  WaitForLaunchers();
  std::ifstream in(log_);
  std::string line;
  int lines = 0;
  const std::string expected = "1|" + Utf16ToUtf8(LinkCommandLine);
  while (std::getline(in, line)) {
    EXPECT_EQ(line, expected);
    ++lines;
  }
  EXPECT_EQ(lines, 2);
  errno = 0;
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "no child left, running or dead";
  EXPECT_EQ(errno, ECHILD);
}

TEST_F(LinkLaunchTest, AMissingLauncherStartsNothing) {
  LinkLauncher = "/nonexistent/orbidial-launcher";
  EXPECT_EQ(ClickLink(100, 80), 0);
  EXPECT_EQ(ReapLinkProcesses(), 0);
}

}  // namespace
