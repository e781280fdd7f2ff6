// Which display system the full-screen saver picks on Linux.
#include "shell/display_choice.h"

#include <gtest/gtest.h>

namespace {

TEST(DisplayChoiceTest, WaylandWhenTheSessionNamesACompositor) {
  EXPECT_TRUE(ChoosesWayland("wayland-0", nullptr));
  EXPECT_TRUE(ChoosesWayland("/run/user/1000/wayland-1", ""));
  EXPECT_FALSE(ChoosesWayland(nullptr, nullptr));
  EXPECT_FALSE(ChoosesWayland("", nullptr));
  // GDK_BACKEND alone names no compositor.
  EXPECT_FALSE(ChoosesWayland(nullptr, "wayland"));
}

TEST(DisplayChoiceTest, GdkBackendsFirstKnownEntryDecides) {
  EXPECT_FALSE(ChoosesWayland("wayland-0", "x11"));
  EXPECT_FALSE(ChoosesWayland("wayland-0", "x11,wayland"));
  EXPECT_FALSE(ChoosesWayland("wayland-0", "broadway,x11,*"));
  EXPECT_TRUE(ChoosesWayland("wayland-0", "wayland,x11"));
  EXPECT_TRUE(ChoosesWayland("wayland-0", "*"));
  EXPECT_TRUE(ChoosesWayland("wayland-0", "broadway,*,x11"));
  // Entries are whole words: none of these is one GTK knows.
  EXPECT_FALSE(ChoosesWayland("wayland-0", "x11x"));
  EXPECT_FALSE(ChoosesWayland("wayland-0", "broadway"));
  EXPECT_FALSE(ChoosesWayland("wayland-0", ",,"));
}

}  // namespace
