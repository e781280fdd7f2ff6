// The parts of the Wayland back end that need no compositor: the lock that
// keeps one saver per session, and the face's size in device pixels, from
// a scale or from the output's mode.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wayland-client-protocol.h>

#include <filesystem>
#include <string>

#include "face_surface_wayland.h"
#include "saver_lock_posix.h"
#include "wayland_globals.h"

namespace {

class SaverLockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char folder[] = "/tmp/orbidial-lock-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    folder_ = folder;
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }
  std::string folder_;
};

TEST_F(SaverLockTest, TheFileIsNamedForTheCompositorsSocket) {
  EXPECT_EQ(SaverLockPath("/run/user/7", "wayland-1"), "/run/user/7/orbidial-wayland-1.lock");
  // The same socket by its path and by its name: the same lock.
  EXPECT_EQ(SaverLockPath("/run/user/7", "/run/user/7/wayland-2"), "/run/user/7/orbidial-wayland-2.lock");
  EXPECT_EQ(SaverLockPath("/run/user/7", "/tmp/sockets/wayland-2"),
            "/run/user/7/orbidial-_tmp_sockets_wayland-2.lock");
  EXPECT_EQ(SaverLockPath("/run/user/7", "/run/user/7/nested/wayland-2"),
            "/run/user/7/orbidial-_run_user_7_nested_wayland-2.lock");
  EXPECT_EQ(SaverLockPath(nullptr, "wayland-1"), "");
  EXPECT_EQ(SaverLockPath("", "wayland-1"), "");
  EXPECT_EQ(SaverLockPath("/run/user/7", nullptr), "");
}

TEST_F(SaverLockTest, OneHolderAtATimeAndNoneOnceItsFileIsClosed) {
  const std::string path = SaverLockPath(folder_.c_str(), "wayland-1");
  int first = -1, second = -1;
  ASSERT_EQ(TakeSaverLock(path, &first), SaverLock::kTaken);
  EXPECT_GE(first, 0);
  EXPECT_NE(fcntl(first, F_GETFD) & FD_CLOEXEC, 0);
  EXPECT_EQ(TakeSaverLock(path, &second), SaverLock::kHeldElsewhere);
  EXPECT_EQ(second, -1);
  // Another compositor of the same user is another session.
  int other = -1;
  EXPECT_EQ(TakeSaverLock(SaverLockPath(folder_.c_str(), "wayland-2"), &other), SaverLock::kTaken);
  close(other);
  // A saver that ends, however it ends, closes its files.
  close(first);
  EXPECT_EQ(TakeSaverLock(path, &second), SaverLock::kTaken);
  close(second);
}

TEST_F(SaverLockTest, NoFolderOrAPlantedLinkMeansNoLock) {
  int fd = -1;
  EXPECT_EQ(TakeSaverLock("", &fd), SaverLock::kUnavailable);
  EXPECT_EQ(TakeSaverLock(folder_ + "/missing/orbidial-wayland-1.lock", &fd), SaverLock::kUnavailable);
  const std::string target = folder_ + "/target";
  const std::string path = SaverLockPath(folder_.c_str(), "wayland-1");
  ASSERT_EQ(symlink(target.c_str(), path.c_str()), 0);
  EXPECT_EQ(TakeSaverLock(path, &fd), SaverLock::kUnavailable);
  EXPECT_EQ(fd, -1);
  struct stat info;
  EXPECT_NE(stat(target.c_str(), &info), 0) << "the link was followed";
}

// Where no lock file can be made (no runtime folder, a plain file in its
// place) the abstract socket still keeps a second saver away; and a file
// lock held where the socket is not seen (another network namespace) does.
TEST_F(SaverLockTest, OneSaverWhateverTheFolder) {
  const std::string socket = folder_ + "/wayland-1";
  const std::string notAFolder = folder_ + "/plain";
  for (const std::string& file : {socket, notAFolder}) close(open(file.c_str(), O_CREAT | O_WRONLY, 0600));
  const std::string name = SaverSocketName(folder_.c_str(), "wayland-1");
  EXPECT_FALSE(name.empty());
  EXPECT_EQ(SaverSocketName(nullptr, socket.c_str()), name) << "by its path, the same socket";
  EXPECT_EQ(SaverSocketName(nullptr, "wayland-1"), "");
  EXPECT_EQ(SaverSocketName(folder_.c_str(), "wayland-9"), "");

  SaverLocks first, second;
  ASSERT_EQ(TakeSaverLocks(notAFolder.c_str(), socket.c_str(), &first), SaverLock::kTaken);
  EXPECT_EQ(first.file, -1);
  EXPECT_EQ(TakeSaverLocks(nullptr, socket.c_str(), &second), SaverLock::kHeldElsewhere);
  EXPECT_EQ(TakeSaverLocks(folder_.c_str(), "wayland-1", &second), SaverLock::kHeldElsewhere);
  EXPECT_EQ(second.socket, -1);
  EXPECT_EQ(second.file, -1);
  ReleaseSaverLocks(&first);

  int file = -1;
  ASSERT_EQ(TakeSaverLock(SaverLockPath(folder_.c_str(), "wayland-1"), &file), SaverLock::kTaken);
  EXPECT_EQ(TakeSaverLocks(folder_.c_str(), "wayland-1", &second), SaverLock::kHeldElsewhere);
  EXPECT_EQ(second.socket, -1) << "the socket is let go again";
  close(file);
  EXPECT_EQ(TakeSaverLocks(folder_.c_str(), "wayland-1", &second), SaverLock::kTaken);
  EXPECT_GE(second.socket, 0);
  EXPECT_GE(second.file, 0);
  ReleaseSaverLocks(&second);
}

TEST(DevicePixelsTest, SurfaceUnitsTimesTheScaleRoundedHalfAway) {
  EXPECT_EQ(DevicePixels(640, 240), 1280);
  EXPECT_EQ(DevicePixels(1280, 120), 1280);
  EXPECT_EQ(DevicePixels(1280, 180), 1920);  // 1.5
  EXPECT_EQ(DevicePixels(1707, 150), 2134);  // 2133.75
  EXPECT_EQ(DevicePixels(101, 180), 152);    // 151.5
  EXPECT_EQ(DevicePixels(3, 140), 4);        // 3.5
  // A 16K-wide output at scale 3 stays in range.
  EXPECT_EQ(DevicePixels(15360, 360), 46080);
}

// Without a fractional scale the output's mode gives the pixels: turned as
// the output is, and shared out to a window smaller than the output.
TEST(DevicePixelsTest, TheModeTurnedAndAWindowsShareOfIt) {
  const struct {
    int transform, width, height;
  } turns[] = {{WL_OUTPUT_TRANSFORM_NORMAL, 1920, 1080},  {WL_OUTPUT_TRANSFORM_90, 1080, 1920},
               {WL_OUTPUT_TRANSFORM_180, 1920, 1080},     {WL_OUTPUT_TRANSFORM_270, 1080, 1920},
               {WL_OUTPUT_TRANSFORM_FLIPPED, 1920, 1080}, {WL_OUTPUT_TRANSFORM_FLIPPED_90, 1080, 1920},
               {WL_OUTPUT_TRANSFORM_FLIPPED_180, 1920, 1080}, {WL_OUTPUT_TRANSFORM_FLIPPED_270, 1080, 1920}};
  for (const auto& turn : turns) {
    int width = 1920, height = 1080;
    TurnedSize(turn.transform, &width, &height);
    EXPECT_EQ(width, turn.width) << "transform " << turn.transform;
    EXPECT_EQ(height, turn.height) << "transform " << turn.transform;
  }
  // sway at 1.5: 1280 units over 1920 pixels; 853 units (2560 / 3) over 1280.
  EXPECT_EQ(WindowDevicePixels(1280, 1280, 1920), 1920);
  EXPECT_EQ(WindowDevicePixels(853, 853, 1280), 1280);
  EXPECT_EQ(WindowDevicePixels(640, 1280, 1920), 960);
  EXPECT_EQ(WindowDevicePixels(427, 853, 1280), 641);  // 640.75
}

}  // namespace
