#include "settings/settings_file.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "common/atomic_replace_posix.h"
#include "common/utf_conversion.h"
#include "common/wide_format.h"
#include "face/numerals.h"
#include "face/themes.h"
#include "settings/profile_posix.h"
#include "settings/profile_text.h"
#include "settings/settings_platform.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

std::string ReadBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteBytes(const fs::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// The settings path, or "none" when there is none.
std::string SettingsPathText() {
  const std::u16string path = SettingsFilePath();
  return path.empty() ? "none" : Utf16ToUtf8(path);
}

mode_t ModeOf(const fs::path& file) {
  struct stat info;
  return lstat(file.c_str(), &info) == 0 ? info.st_mode & 07777 : 0;
}

// Each test gets its own home and configuration folder, and starts from the
// program's initial values.
class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/orbidial-settings-XXXXXX";
    root_ = mkdtemp(pattern);
    config_ = root_ / "config";
    fs::create_directory(config_);
    file_ = config_ / "OrbDial.ini";
    SaveEnv("HOME");
    SaveEnv("XDG_CONFIG_HOME");
    setenv("HOME", root_.c_str(), 1);
    setenv("XDG_CONFIG_HOME", config_.c_str(), 1);
    oldCwd_ = fs::current_path();
    BeforeReplaceRename = nullptr;
  }

  void TearDown() override {
    BeforeReplaceRename = nullptr;
    fs::current_path(oldCwd_);
    for (const auto& [name, value] : savedEnv_) {
      if (value.empty()) {
        unsetenv(name.c_str());
      } else {
        setenv(name.c_str(), value.c_str(), 1);
      }
    }
    fs::permissions(root_, fs::perms::owner_all, fs::perm_options::add);
    for (const auto& entry : fs::recursive_directory_iterator(root_)) {
      if (entry.is_directory() && !entry.is_symlink()) {
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
      }
    }
    fs::remove_all(root_);
  }

  void SaveEnv(const char* name) {
    const char* value = std::getenv(name);
    savedEnv_.emplace_back(name, value ? value : "");
  }

  int Save(int color, int han) { return SaveSettings(SaverOptions{color, static_cast<std::int16_t>(han)}); }

  fs::path root_, config_, file_, oldCwd_;
  std::vector<std::pair<std::string, std::string>> savedEnv_;
};

TEST_F(SettingsFileTest, NoFileGivesTheDefaults) {
  EXPECT_EQ(ReadSettings().ColorByWeekday, 1);
  EXPECT_EQ(ReadSettings().NumeralStyle, 1);
}

TEST_F(SettingsFileTest, StoredValuesSetStyleAndThemeSwitch) {
  struct Case {
    const char* file;
    int color;
    int style;
  } cases[] = {
      {"[Setting]\nColor=0\nHan=2\n", 0, 2},
      {"[Setting]\nColor=5\nHan=0\n", 5, 0},
      {"[Setting]\nHan=65538\n", 1, 2},
      {"[Setting]\nHan=3\n", 1, 3},
      {"[Setting]\nHan=-1\n", 1, -1},
      {"[Setting]\nHan=98304\n", 1, -32768},
      {"[sETTING]\r\ncolor=0\r\nhan=2", 0, 2},
  };
  for (const Case& c : cases) {
    WriteBytes(file_, c.file);
    EXPECT_EQ(ReadSettings().ColorByWeekday, c.color) << c.file;
    EXPECT_EQ(ReadSettings().NumeralStyle, c.style) << c.file;
  }
}

TEST_F(SettingsFileTest, PathFollowsXdgThenHomeAndCreatesTheFolderPrivately) {
  EXPECT_EQ(SettingsPathText(), file_.string());

  const fs::path nested = root_ / "new" / "deeper";
  setenv("XDG_CONFIG_HOME", (nested.string() + "/").c_str(), 1);
  EXPECT_EQ(SettingsPathText(), (nested / "OrbDial.ini").string());
  ASSERT_TRUE(fs::is_directory(nested));
  struct stat info;
  ASSERT_EQ(stat(nested.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);

  setenv("XDG_CONFIG_HOME", "relative/config", 1);
  EXPECT_EQ(SettingsPathText(), (root_ / ".config" / "OrbDial.ini").string());
  EXPECT_TRUE(fs::is_directory(root_ / ".config"));
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(SettingsPathText(), (root_ / ".config" / "OrbDial.ini").string());
}

// Whatever folder the program was started in is no place for its settings:
// another user's, or one where a link has been planted.
TEST_F(SettingsFileTest, NoUsableFolderMeansDefaultsAndASaveThatFails) {
  const fs::path startedIn = root_ / "started-here";
  fs::create_directory(startedIn);
  fs::current_path(startedIn);
  const std::string planted = "[Setting]\nColor=0\nHan=2\n";
  WriteBytes(startedIn / "OrbDial.ini", planted);
  WriteBytes(root_ / "plain-file", "");

  for (const std::string& unusable : {(root_ / "plain-file" / "config").string(),
                                      (root_ / "bad\xff").string()}) {
    setenv("XDG_CONFIG_HOME", unusable.c_str(), 1);
    EXPECT_EQ(SettingsPathText(), "none") << unusable;
    EXPECT_EQ(ReadSettings().ColorByWeekday, 1) << unusable;
    EXPECT_EQ(ReadSettings().NumeralStyle, 1) << unusable;
    EXPECT_EQ(Save(1, 1), 0) << unusable;
    EXPECT_NE(SettingsFailure.find(root_.string()), std::string::npos) << SettingsFailure;
  }
  EXPECT_EQ(ReadBytes(startedIn / "OrbDial.ini"), planted);
  EXPECT_EQ(std::distance(fs::directory_iterator(startedIn), fs::directory_iterator()), 1)
      << "nothing new in the current folder";
}

// Folders of any length the system takes, well past Windows' 260 units.
TEST_F(SettingsFileTest, LongFoldersSaveAndReadBack) {
  for (const std::size_t length : {300u, 1000u}) {
    // Each name within the system's 255 bytes.
    std::string folder = (root_ / "long").string();
    while (length - folder.size() > 200) folder += "/" + std::string(100, 'l');
    folder += "/" + std::string(length - folder.size() - 1, 'm');
    ASSERT_EQ(folder.size(), length);
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    EXPECT_EQ(SettingsPathText(), folder + "/OrbDial.ini") << length;
    EXPECT_EQ(Save(0, 2), 1) << length << ": " << SettingsFailure;
    EXPECT_EQ(ReadBytes(folder + "/OrbDial.ini"), "[Setting]\nColor=0\nHan=2\n") << length;
    EXPECT_EQ(ReadSettings().ColorByWeekday, 0) << length;
    EXPECT_EQ(ReadSettings().NumeralStyle, 2) << length;
  }
}

TEST_F(SettingsFileTest, FirstSaveWritesColorThenHan) {
  EXPECT_EQ(Save(0, 2), 1);
  EXPECT_EQ(ReadBytes(file_), "[Setting]\nColor=0\nHan=2\n");
  EXPECT_EQ(ReadSettings().ColorByWeekday, 0);
  EXPECT_EQ(ReadSettings().NumeralStyle, 2);
}

TEST_F(SettingsFileTest, SaveKeepsAHandEditedFileAndItsMode) {
  const std::string before = "; mine\r\n[Window]\r\nx=1\r\n\r\n[SETTING]\r\nhan = 0\r\n\r\n[Tail]\r\ny=2";
  WriteBytes(file_, before);
  ASSERT_EQ(chmod(file_.c_str(), 0640), 0);
  EXPECT_EQ(Save(1, 2), 1);
  EXPECT_EQ(ReadBytes(file_),
            "; mine\r\n[Window]\r\nx=1\r\n\r\n[SETTING]\r\nhan = 2\r\nColor=1\r\n\r\n[Tail]\r\ny=2");
  struct stat info;
  ASSERT_EQ(stat(file_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  if (geteuid() == 0) {
    // Root saving a user's file leaves it the user's.
    ASSERT_EQ(chown(file_.c_str(), 65534, 65534), 0);
    EXPECT_EQ(Save(0, 1), 1);
    ASSERT_EQ(stat(file_.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 65534u);
    EXPECT_EQ(info.st_gid, 65534u);
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(config_), fs::directory_iterator()), 1)
      << "no temporary file stays behind";
}

TEST_F(SettingsFileTest, SaveWritesThroughALinkAndKeepsIt) {
  const fs::path real = root_ / "dotfiles.ini";
  WriteBytes(real, "[Setting]\nColor=1\nHan=1\n");
  fs::create_symlink(real, file_);
  EXPECT_EQ(Save(0, 0), 1);
  EXPECT_TRUE(fs::is_symlink(file_));
  EXPECT_EQ(ReadBytes(real), "[Setting]\nColor=0\nHan=0\n");
}

// Dotfile managers link the file before there is one to link to.
TEST_F(SettingsFileTest, SaveCreatesTheTargetOfADanglingLinkAndKeepsTheLink) {
  fs::create_directories(root_ / "dotfiles" / "orbidial");
  // Absolute, then relative to the link's own folder through a second link.
  const fs::path absolute = root_ / "dotfiles" / "orbidial" / "settings.ini";
  fs::create_symlink(absolute, file_);
  EXPECT_EQ(ReadSettings().NumeralStyle, 1);
  EXPECT_EQ(Save(0, 2), 1);
  EXPECT_TRUE(fs::is_symlink(file_));
  EXPECT_EQ(fs::read_symlink(file_), absolute);
  EXPECT_EQ(ReadBytes(absolute), "[Setting]\nColor=0\nHan=2\n");
  EXPECT_EQ(ModeOf(absolute), 0600u);

  fs::remove(file_);
  fs::create_symlink("../dotfiles/hop", file_);
  fs::create_symlink("orbidial/relative.ini", root_ / "dotfiles" / "hop");
  EXPECT_EQ(Save(1, 0), 1);
  EXPECT_TRUE(fs::is_symlink(file_));
  EXPECT_TRUE(fs::is_symlink(root_ / "dotfiles" / "hop"));
  EXPECT_EQ(ReadBytes(root_ / "dotfiles" / "orbidial" / "relative.ini"), "[Setting]\nColor=1\nHan=0\n");
  EXPECT_EQ(ReadSettings().ColorByWeekday, 1);
  EXPECT_EQ(ReadSettings().NumeralStyle, 0);
}

TEST_F(SettingsFileTest, ALinkThatLoopsOrLeadsNowhereWarnsAndStays) {
  fs::create_symlink("OrbDial.ini", file_);
  EXPECT_EQ(Save(0, 0), 0);
  EXPECT_EQ(fs::read_symlink(file_), "OrbDial.ini");

  fs::remove(file_);
  fs::create_symlink(root_ / "no-such-folder" / "OrbDial.ini", file_);
  EXPECT_EQ(Save(0, 0), 0);
  EXPECT_TRUE(fs::is_symlink(file_));
  EXPECT_FALSE(fs::exists(root_ / "no-such-folder"));
}

// Renaming over a read-only file would succeed in a writable folder; the file
// is its owner's word that it is not to change.
TEST_F(SettingsFileTest, ReadOnlyFileInAWritableFolderWarnsAndStays) {
  if (geteuid() == 0) {
    GTEST_SKIP() << "permissions do not bind root; settings_as_ordinary_user runs this as nobody";
  }
  const std::string before = "[Setting]\nColor=1\nHan=1\n";
  WriteBytes(file_, before);
  ASSERT_EQ(chmod(file_.c_str(), 0444), 0);
  for (int han : {2, 1}) {  // a change, then the values it already holds
    EXPECT_EQ(Save(1, han), 0) << han;
    EXPECT_EQ(ReadBytes(file_), before);
    EXPECT_EQ(ModeOf(file_), 0444u);
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(config_), fs::directory_iterator()), 1)
      << "no temporary file stays behind";
}

TEST_F(SettingsFileTest, UnwritableFileWarnsOnceAndReturnsZero) {
  fs::create_directory(file_);  // a folder where the file should be
  EXPECT_EQ(Save(1, 2), 0);
  EXPECT_TRUE(fs::is_directory(file_));
  EXPECT_EQ(SettingsFailure, file_.string() + ": Is a directory") << "the system's reason, for the log";
  EXPECT_EQ(ReadSettings().NumeralStyle, 1) << "a folder in the file's place reads as no file";
}

TEST_F(SettingsFileTest, ReadOnlyFolderWarnsAndLeavesTheFileAlone) {
  const std::string before = "[Setting]\nColor=1\nHan=1\n";
  WriteBytes(file_, before);
  ASSERT_EQ(chmod(config_.c_str(), 0555), 0);
  if (geteuid() != 0) {
    EXPECT_EQ(Save(0, 2), 0);
  } else {
    // Permissions do not bind root: the save runs as an ordinary user.
    ASSERT_EQ(chmod(root_.c_str(), 0755), 0);
    ASSERT_EQ(chmod(file_.c_str(), 0644), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
      _exit(Save(0, 2) == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  EXPECT_EQ(ReadBytes(file_), before);
}

TEST_F(SettingsFileTest, SaveInterruptedBeforeTheRenameLeavesTheOldFile) {
  const std::string before = "[Setting]\nColor=1\nHan=1\n";
  WriteBytes(file_, before);
  static std::string seen;
  BeforeReplaceRename = [](const char* temporary) {
    seen = ReadBytes(temporary);
    return 0;
  };
  EXPECT_EQ(Save(0, 2), 0);
  EXPECT_EQ(seen, "[Setting]\nColor=0\nHan=2\n") << "both values go into one replacement";
  EXPECT_EQ(ReadBytes(file_), before);
  EXPECT_EQ(std::distance(fs::directory_iterator(config_), fs::directory_iterator()), 1);
}

// Killed saves leave their temporaries; the next save takes away those a
// minute old, and nothing that only looks like them.
TEST_F(SettingsFileTest, ASaveRemovesItsOwnStaleTemporariesAndNothingElse) {
  const auto old = fs::file_time_type::clock::now() - std::chrono::minutes(2);
  const auto plant = [&](const std::string& name, bool stale) {
    WriteBytes(config_ / name, "stale");
    if (stale) fs::last_write_time(config_ / name, old);
  };
  plant(".OrbDial.ini.XXXXXX", true);
  plant(".OrbDial.ini.abc123", true);
  plant(".OrbDial.ini.fresh1", false);  // a save running now may own it
  for (const char* other : {".OrbDial.ini.ab-123", ".OrbDial.ini.abc12", ".OrbDial.ini.abc1234",
                            "OrbDial.ini.abc123", ".Other.ini.abc123", ".OrbDial.ini"}) {
    plant(other, true);
  }
  fs::create_directory(config_ / ".OrbDial.ini.folder");
  fs::create_symlink(root_ / "elsewhere", config_ / ".OrbDial.ini.linked");
  WriteBytes(root_ / "elsewhere", "not ours to remove");
  EXPECT_EQ(Save(1, 0), 1);
  EXPECT_EQ(ReadBytes(file_), "[Setting]\nColor=1\nHan=0\n");
  std::set<std::string> left;
  for (const auto& entry : fs::directory_iterator(config_)) left.insert(entry.path().filename());
  EXPECT_EQ(left, (std::set<std::string>{".OrbDial.ini.fresh1", ".OrbDial.ini.ab-123", ".OrbDial.ini.abc12",
                                         ".OrbDial.ini.abc1234", "OrbDial.ini.abc123", ".Other.ini.abc123",
                                         ".OrbDial.ini", ".OrbDial.ini.folder", ".OrbDial.ini.linked",
                                         "OrbDial.ini"}));
  EXPECT_EQ(ReadBytes(root_ / "elsewhere"), "not ours to remove");
}

// A file kept in UTF-16 with its mark, either byte order (as Windows keeps
// it), or in UTF-8 with a mark, is read, and written back in its own
// encoding with only the values changed.
TEST_F(SettingsFileTest, UnicodeFilesAreReadAndKeptInTheirEncoding) {
  const std::string before = "\xEF\xBB\xBF; 时钟\r\n[Setting]\r\nColor=0\r\nHan=2\r\n";
  const std::string after = "\xEF\xBB\xBF; 时钟\r\n[Setting]\r\nColor=1\r\nHan=0\r\n";
  for (const ProfileEncoding encoding :
       {ProfileEncoding::kUtf16Le, ProfileEncoding::kUtf16Be, ProfileEncoding::kUtf8}) {
    const int n = static_cast<int>(encoding);
    WriteBytes(file_, EncodeProfileText(before, encoding));
    EXPECT_EQ(ReadSettings().ColorByWeekday, 0) << n;
    EXPECT_EQ(ReadSettings().NumeralStyle, 2) << n;
    EXPECT_EQ(Save(1, 0), 1) << n;
    EXPECT_EQ(ReadBytes(file_), EncodeProfileText(after, encoding)) << n;
  }
  EXPECT_EQ(EncodeProfileText("[S]", ProfileEncoding::kUtf16Be), "\0[\0S\0]"s);
  EXPECT_EQ(EncodeProfileText("\xEF\xBB\xBF", ProfileEncoding::kUtf16Le), "\xFF\xFE");
  // UTF-16 that would not come back byte for byte is read but never rewritten.
  for (const std::string& broken : {"\xFF\xFE[\0S\0]\0\x00\xD8\n\0"s, "\xFF\xFE[\0S\0]\0\n"s}) {
    WriteBytes(file_, broken);
    EXPECT_EQ(Save(1, 1), 0);
    EXPECT_EQ(ReadBytes(file_), broken);
  }
}

TEST_F(SettingsFileTest, APipeInTheFilesPlaceNeitherHangsNorIsWritten) {
  ASSERT_EQ(mkfifo(file_.c_str(), 0600), 0);
  EXPECT_EQ(ReadSettings().ColorByWeekday, 1);
  EXPECT_EQ(Save(0, 0), 0);
  EXPECT_TRUE(fs::is_fifo(file_));
}

TEST_F(SettingsFileTest, OversizedFileIsNeitherReadNorRewritten) {
  std::string big = "[Setting]\nHan=2\n";
  big.resize(kMaxProfileBytes + 1, 'x');
  WriteBytes(file_, big);
  EXPECT_EQ(ReadSettings().NumeralStyle, 1);
  EXPECT_EQ(Save(0, 0), 0);
  EXPECT_EQ(fs::file_size(file_), big.size());
}

}  // namespace
