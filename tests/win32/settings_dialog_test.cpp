// The settings file through the Windows profile functions and the options
// dialog from resource 103 with AboutDialogProc, run modeless in this
// process so its boxes, texts and commands can be checked directly.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings/about_dialog.h"
#include "settings/about_dialog_win32.h"
#include "settings/settings_file.h"
#include "settings/settings_platform.h"

namespace {

const wchar_t* W(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
const char16_t* U(const wchar_t* text) { return reinterpret_cast<const char16_t*>(text); }

std::wstring SettingsPath() { return W(SettingsFilePath().c_str()); }

std::wstring TempFile(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  return std::wstring(folder) + name;
}

std::string ReadAll(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  char buffer[4096];
  DWORD got = 0;
  ReadFile(file, buffer, sizeof(buffer), &got, nullptr);
  CloseHandle(file);
  return std::string(buffer, got);
}

void WriteAll(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

TEST(SettingsOnWindows, FileLivesInTheRoamingAppDataFolder) {
  wchar_t folder[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, folder, CSIDL_APPDATA, FALSE));
  const DWORD attributes = GetFileAttributesW(folder);
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(SettingsPath(), std::wstring(folder) + L"\\OrbDial.ini");
}

// The user's own settings file, put aside for each test and back after it.
class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = SettingsPath();
    saved_ = ReadAll(path_);
    DeleteFileW(path_.c_str());
  }
  void TearDown() override {
    DeleteFileW(path_.c_str());
    if (saved_ != "<missing>") WriteAll(path_, saved_);
  }

  std::wstring path_;
  std::string saved_;
};

// The store keeps what it does not set; the bytes are those the profile
// functions write (as Wine writes them: the blank line goes, the last line
// gets its end).
TEST_F(SettingsFileTest, StoreReadsWritesAndKeepsTheRest) {
  EXPECT_EQ(ReadStoredInt(u"Han", 1), 1);  // no file
  WriteAll(path_, "; mine\r\n[Other]\r\nKeep=yes\r\n\r\n[SETTING]\r\ncolor=5\r\n[Tail]\r\nx=1");
  EXPECT_EQ(ReadStoredInt(u"Color", 1), 5);  // any letter case
  EXPECT_EQ(ReadStoredInt(u"Han", 1), 1);    // missing key
  EXPECT_EQ(WriteStoredValues({{u"Color", 0}, {u"Han", -2}}), 1);
  EXPECT_EQ(ReadStoredInt(u"Han", 1), -2);
  EXPECT_EQ(ReadAll(path_), "; mine\r\n[Other]\r\nKeep=yes\r\n[SETTING]\r\ncolor=0\r\nHan=-2\r\n[Tail]\r\nx=1\r\n");
}

bool AppearsWithin(const std::wstring& path, int milliseconds) {
  for (int waited = 0; waited <= milliseconds; waited += 50) {
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    Sleep(50);
  }
  return false;
}

TEST(SettingsOnWindows, LinkRunsTheSystemsInterpreterNotOnePlantedBesideUs) {
  // A "cmd.exe" in this program's folder and in the current folder, where a
  // search by name would look before the system folder.
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring folder(self);
  folder.resize(folder.rfind(L'\\') + 1);
  const std::wstring planted[2] = {folder + L"cmd.exe", L"cmd.exe"};
  for (const auto& path : planted) {
    ASSERT_TRUE(CopyFileW((folder + L"planted_cmd.exe").c_str(), path.c_str(), FALSE))
        << "cannot plant " << std::string(path.begin(), path.end());
  }
  const std::wstring plantedMark = TempFile(L"orbidial-planted-cmd-ran");
  const std::wstring systemMark = TempFile(L"orbidial-system-cmd-ran");
  DeleteFileW(plantedMark.c_str());
  DeleteFileW(systemMark.c_str());
  SetEnvironmentVariableW(L"ORBIDIAL_PLANTED_MARK", plantedMark.c_str());

  const std::wstring command = L"cmd.exe /c type nul > \"" + systemMark + L"\"";
  EXPECT_EQ(StartLinkProcess(U(command.c_str())), 1);
  EXPECT_TRUE(AppearsWithin(systemMark, 10000)) << "the system's cmd.exe did not run";
  EXPECT_FALSE(AppearsWithin(plantedMark, 200)) << "the planted cmd.exe ran";

  for (const auto& path : planted) DeleteFileW(path.c_str());
  DeleteFileW(plantedMark.c_str());
  DeleteFileW(systemMark.c_str());
  SetEnvironmentVariableW(L"ORBIDIAL_PLANTED_MARK", nullptr);
}

// The bounding box of the pixels of `window`'s client area (as shown) whose
// colour is close to `rgb` (0x00RRGGBB): antialiased text counts by its core.
RECT InkOf(HWND window, int width, int height, std::uint32_t rgb) {
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
  RECT box = {width, height, 0, 0};
  const auto* pixels = static_cast<const std::uint32_t*>(bits);
  const auto channel = [](std::uint32_t p, int shift) { return static_cast<int>((p >> shift) & 0xFF); };
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = pixels[y * width + x];
      bool alike = true;
      for (int shift : {0, 8, 16}) alike = alike && std::abs(channel(p, shift) - channel(rgb, shift)) < 100;
      if (!alike) continue;
      box.left = std::min<LONG>(box.left, x);
      box.top = std::min<LONG>(box.top, y);
      box.right = std::max<LONG>(box.right, x + 1);
      box.bottom = std::max<LONG>(box.bottom, y + 1);
    }
  }
  SelectObject(memoryDc, old);
  DeleteObject(bitmap);
  DeleteDC(memoryDc);
  ReleaseDC(window, windowDc);
  return box;
}

class OptionsDialogTest : public SettingsFileTest {
 protected:
  void TearDown() override {
    if (IsWindow(dialog_)) DestroyWindow(dialog_);
    // The dialog's destruction posts a quit message; keep it from the next test.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    SettingsFileTest::TearDown();
  }
  void Open(int colorByWeekday, int style) {
    const AboutDialogStart start{nullptr, SaverOptions{colorByWeekday, static_cast<std::int16_t>(style)}};
    dialog_ = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(103), nullptr,
                                 AboutDialogProc, reinterpret_cast<LPARAM>(&start));
    ASSERT_NE(dialog_, nullptr);
  }
  std::wstring Text(int id) {
    wchar_t text[200] = {};
    GetWindowTextW(GetDlgItem(dialog_, id), text, 200);
    return text;
  }
  UINT Click(int id) {
    SendMessageW(GetDlgItem(dialog_, id), BM_CLICK, 0, 0);
    return IsDlgButtonChecked(dialog_, id);
  }

  HWND dialog_ = nullptr;
};

TEST_F(OptionsDialogTest, ShowsVersionLinkAndStoredValues) {
  Open(0, 2);
  EXPECT_EQ(Text(1005), L"Orbidial V" L"" ORBIDIAL_VERSION_TEXT L"\u3000");
  EXPECT_FALSE(Text(-1).empty());
  EXPECT_EQ(IsDlgButtonChecked(dialog_, 1002), static_cast<UINT>(BST_UNCHECKED));
  EXPECT_EQ(IsDlgButtonChecked(dialog_, 1003), static_cast<UINT>(BST_INDETERMINATE));
  EXPECT_NE(AboutIcon, nullptr);

  // The link line is blue over a transparent background.
  HDC dc = CreateCompatibleDC(nullptr);
  const LRESULT brush = SendMessageW(dialog_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(GetDlgItem(dialog_, -1)));
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(NULL_BRUSH));
  EXPECT_EQ(GetTextColor(dc), 0x00FF0000u);
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  DeleteDC(dc);

  DestroyWindow(dialog_);
  EXPECT_EQ(AboutIcon, nullptr);
}

// The hand over the link's text only, wherever its line stands: at the
// dialog's DPI (the Windows stage runs this a second time in a 144-dpi
// prefix), and after the line has moved (as the dialog manager moves it on a
// monitor of another scale).
TEST_F(OptionsDialogTest, LinkAndIconFollowTheDialogsDpi) {
  Open(1, 1);
  const int dpi = WindowDpi(dialog_);
  if (const wchar_t* expected = _wgetenv(L"ORBIDIAL_EXPECT_DPI"); expected != nullptr) {
    ASSERT_EQ(dpi, _wtoi(expected)) << "the program is not told its real DPI";
  }
  EXPECT_EQ(DialogDpi, dpi);
  HWND line = GetDlgItem(dialog_, -1);

  // Where the link's blue ink stands, read back from the drawn dialog, and
  // the rectangle the hand shows in: every inked pixel inside it, and it
  // no further out than its line's text cell.
  RedrawWindow(dialog_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT client = {};
  GetClientRect(dialog_, &client);
  const RECT ink = InkOf(dialog_, client.right, client.bottom, 0x0000FF);
  std::printf("link at %d dpi: ink x %ld..%ld y %ld..%ld, hit x %d..%d y %d..%d\n", dpi, ink.left,
              ink.right - 1, ink.top, ink.bottom - 1, LinkRect.left + 1, LinkRect.right - 1,
              LinkRect.top + 1, LinkRect.bottom - 1);
  ASSERT_LT(ink.left, ink.right) << "no link drawn";
  EXPECT_LT(LinkRect.left, ink.left);
  EXPECT_GE(LinkRect.right, ink.right);
  EXPECT_LT(LinkRect.top, ink.top);
  EXPECT_GE(LinkRect.bottom, ink.bottom);
  const int slack = MulDiv(6, dpi, 96);
  EXPECT_LE(ink.left - LinkRect.left, slack);
  EXPECT_LE(LinkRect.right - ink.right, slack);
  EXPECT_LE(ink.top - LinkRect.top, slack);
  EXPECT_LE(LinkRect.bottom - ink.bottom, slack);

  const auto handAt = [&](int x, int y) {
    SendMessageW(dialog_, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    return HandCursorShown;
  };
  for (int round = 0; round < 2; ++round) {
    RECT box = {};
    GetWindowRect(line, &box);
    MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&box), 2);
    const int middle = (box.top + box.bottom) / 2;
    EXPECT_EQ(handAt(box.left + 2, middle), 1) << round;
    EXPECT_EQ(handAt(box.left - 2, middle), 0) << round;
    EXPECT_EQ(handAt(box.left + 10, box.top - 2), 0) << round;
    EXPECT_EQ(handAt(box.left + 10, box.bottom + 2), 0) << round;
    EXPECT_EQ(handAt(box.right + 2, middle), 0) << round;
    // The dialog manager moves the line: the hand goes with it.
    SetWindowPos(line, nullptr, box.left + 40, box.top + 30, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  ICONINFO info = {};
  ASSERT_TRUE(GetIconInfo(AboutIcon, &info));
  BITMAP bitmap = {};
  GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
  EXPECT_EQ(bitmap.bmWidth, MulDiv(64, dpi, 96));
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
}

TEST_F(OptionsDialogTest, MovingToAMonitorOfAnotherScaleGrowsTheIcon) {
  Open(1, 1);
  RECT suggested = {};
  GetWindowRect(dialog_, &suggested);
  suggested.right = suggested.left + (suggested.right - suggested.left) * 2;
  suggested.bottom = suggested.top + (suggested.bottom - suggested.top) * 2;
  SendMessageW(dialog_, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(DialogDpi, 192);
  ICONINFO info = {};
  ASSERT_TRUE(GetIconInfo(AboutIcon, &info));
  BITMAP bitmap = {};
  GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
  EXPECT_EQ(bitmap.bmWidth, 128);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
}

TEST_F(OptionsDialogTest, BoxesCycleAndOkSavesThem) {
  Open(1, 1);
  EXPECT_EQ(IsDlgButtonChecked(dialog_, 1002), static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(IsDlgButtonChecked(dialog_, 1003), static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(Click(1003), static_cast<UINT>(BST_INDETERMINATE));
  EXPECT_EQ(Click(1003), static_cast<UINT>(BST_UNCHECKED));
  EXPECT_EQ(Click(1003), static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(Click(1003), static_cast<UINT>(BST_INDETERMINATE));
  EXPECT_EQ(Click(1002), static_cast<UINT>(BST_UNCHECKED));
  EXPECT_EQ(Click(1002), static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(Click(1002), static_cast<UINT>(BST_UNCHECKED));
  // Nothing is written before OK.
  EXPECT_EQ(ReadAll(path_), "<missing>");
  SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_EQ(ReadAll(path_), "[Setting]\r\nColor=0\r\nHan=2\r\n");
  // The next start reads what was saved.
  EXPECT_EQ(ReadSettings().ColorByWeekday, 0);
  EXPECT_EQ(ReadSettings().NumeralStyle, 2);
}

TEST_F(OptionsDialogTest, CancelSavesNothing) {
  Open(1, 1);
  Click(1003);
  SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  EXPECT_EQ(ReadAll(path_), "<missing>");
}

}  // namespace
