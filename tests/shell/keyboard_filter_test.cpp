#include "shell/keyboard_filter.h"

#include <gtest/gtest.h>

namespace {

KeyEvent Key(KeyName key, bool press, bool alt, bool control) { return KeyEvent{key, press, alt, control}; }

TEST(KeyboardFilter, SwallowsTheSwitchingCombinations) {
  for (const bool press : {true, false}) {
    SCOPED_TRACE(press);
    EXPECT_TRUE(FilterSwallowsKey(Key(KeyName::kTab, press, true, false)));     // Alt+Tab
    EXPECT_TRUE(FilterSwallowsKey(Key(KeyName::kEscape, press, true, false)));  // Alt+Esc
    EXPECT_TRUE(FilterSwallowsKey(Key(KeyName::kEscape, press, false, true)));  // Ctrl+Esc
    EXPECT_TRUE(FilterSwallowsKey(Key(KeyName::kLeftSuper, press, false, false)));
    EXPECT_TRUE(FilterSwallowsKey(Key(KeyName::kRightSuper, press, true, true)));
  }
}

TEST(KeyboardFilter, PassesEverythingElse) {
  for (const bool press : {true, false}) {
    SCOPED_TRACE(press);
    EXPECT_FALSE(FilterSwallowsKey(Key(KeyName::kTab, press, false, false)));
    EXPECT_FALSE(FilterSwallowsKey(Key(KeyName::kTab, press, false, true)));  // Ctrl+Tab
    EXPECT_FALSE(FilterSwallowsKey(Key(KeyName::kEscape, press, false, false)));
    EXPECT_FALSE(FilterSwallowsKey(Key(KeyName::kOther, press, true, true)));
  }
}

TEST(KeyboardFilter, ReleaseOfASwallowedPressIsSwallowed) {
  // Ctrl+Esc with Control let go before Escape.
  EXPECT_TRUE(FilterSwallowsKeyStroke(Key(KeyName::kEscape, true, false, true)));
  EXPECT_TRUE(FilterSwallowsKeyStroke(Key(KeyName::kEscape, false, false, false)));
  // The next plain Escape is plain again.
  EXPECT_FALSE(FilterSwallowsKeyStroke(Key(KeyName::kEscape, true, false, false)));
  EXPECT_FALSE(FilterSwallowsKeyStroke(Key(KeyName::kEscape, false, false, false)));
  // Alt+Esc, Alt let go first.
  EXPECT_TRUE(FilterSwallowsKeyStroke(Key(KeyName::kEscape, true, true, false)));
  EXPECT_TRUE(FilterSwallowsKeyStroke(Key(KeyName::kEscape, false, false, false)));
  // A release whose press passed is judged on its own.
  EXPECT_FALSE(FilterSwallowsKeyStroke(Key(KeyName::kEscape, true, false, false)));
  EXPECT_TRUE(FilterSwallowsKeyStroke(Key(KeyName::kEscape, false, false, true)));
  // A swallowed Super press is no reason to swallow another key's release.
  EXPECT_TRUE(FilterSwallowsKeyStroke(Key(KeyName::kLeftSuper, true, false, false)));
  EXPECT_FALSE(FilterSwallowsKeyStroke(Key(KeyName::kEscape, false, false, false)));
  EXPECT_TRUE(FilterSwallowsKeyStroke(Key(KeyName::kLeftSuper, false, false, false)));
  EXPECT_FALSE(FilterSwallowsKeyStroke(Key(KeyName::kOther, false, false, false)));
}

}  // namespace
