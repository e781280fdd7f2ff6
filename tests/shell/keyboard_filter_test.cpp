#include "shell/keyboard_filter.h"

#include <gtest/gtest.h>

namespace {

constexpr unsigned kMessages[] = {kKeyDownMessage, kKeyUpMessage, kSysKeyDownMessage, kSysKeyUpMessage};
constexpr unsigned kControl = 17;

TEST(KeyboardFilter, SwallowsTheSwitchingCombinations) {
  for (unsigned message : kMessages) {
    SCOPED_TRACE(message);
    EXPECT_TRUE(FilterSwallowsKey(message, kTabKey, true, false));      // Alt+Tab
    EXPECT_TRUE(FilterSwallowsKey(message, kEscapeKey, true, false));   // Alt+Esc
    EXPECT_TRUE(FilterSwallowsKey(message, kEscapeKey, false, true));   // Ctrl+Esc
    EXPECT_TRUE(FilterSwallowsKey(message, kLeftWindowsKey, false, false));
    EXPECT_TRUE(FilterSwallowsKey(message, kRightWindowsKey, true, true));
  }
}

TEST(KeyboardFilter, PassesEverythingElse) {
  for (unsigned message : kMessages) {
    SCOPED_TRACE(message);
    EXPECT_FALSE(FilterSwallowsKey(message, kTabKey, false, false));
    EXPECT_FALSE(FilterSwallowsKey(message, kTabKey, false, true));  // Ctrl+Tab
    EXPECT_FALSE(FilterSwallowsKey(message, kEscapeKey, false, false));
    EXPECT_FALSE(FilterSwallowsKey(message, kControl, false, true));
    EXPECT_FALSE(FilterSwallowsKey(message, 'A', true, true));
  }
  // Only the four key messages are looked at.
  EXPECT_FALSE(FilterSwallowsKey(0x102, kLeftWindowsKey, false, false));
  EXPECT_FALSE(FilterSwallowsKey(0, kEscapeKey, true, true));
}

TEST(KeyboardFilter, ReleaseOfASwallowedPressIsSwallowed) {
  // Ctrl+Esc with Control let go before Escape.
  EXPECT_TRUE(FilterSwallowsKeyStroke(kKeyDownMessage, kEscapeKey, false, true));
  EXPECT_TRUE(FilterSwallowsKeyStroke(kKeyUpMessage, kEscapeKey, false, false));
  // The next plain Escape is plain again.
  EXPECT_FALSE(FilterSwallowsKeyStroke(kKeyDownMessage, kEscapeKey, false, false));
  EXPECT_FALSE(FilterSwallowsKeyStroke(kKeyUpMessage, kEscapeKey, false, false));
  // Alt+Esc reported as system keys, Alt let go first.
  EXPECT_TRUE(FilterSwallowsKeyStroke(kSysKeyDownMessage, kEscapeKey, true, false));
  EXPECT_TRUE(FilterSwallowsKeyStroke(kKeyUpMessage, kEscapeKey, false, false));
  // A release whose press passed is judged on its own.
  EXPECT_FALSE(FilterSwallowsKeyStroke(kKeyDownMessage, kEscapeKey, false, false));
  EXPECT_TRUE(FilterSwallowsKeyStroke(kKeyUpMessage, kEscapeKey, false, true));
  EXPECT_FALSE(FilterSwallowsKeyStroke(kKeyUpMessage, 300, false, false));
}

}  // namespace
