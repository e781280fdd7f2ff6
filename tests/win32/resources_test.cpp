// The resources as windres built them, read back through the Win32 loaders:
// from this test program, which links the same resource object as
// Orbidial.scr, and from Orbidial.scr itself when ORBIDIAL_SCR names it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "orbidial_version.h"
#include "resources/resource.h"

namespace {

// The module under test and its file; set by the fixture.
HMODULE TheModule = nullptr;
std::wstring TheFile;

std::vector<std::wstring> ModulesToCheck() {
  std::vector<std::wstring> files{L""};  // this program
  if (const wchar_t* scr = _wgetenv(L"ORBIDIAL_SCR"); scr != nullptr && *scr != 0) {
    files.push_back(scr);
  }
  return files;
}

class Resources : public ::testing::TestWithParam<std::wstring> {
 protected:
  void SetUp() override {
    if (GetParam().empty()) {
      TheModule = GetModuleHandleW(nullptr);
      wchar_t fileName[MAX_PATH] = {};
      GetModuleFileNameW(nullptr, fileName, MAX_PATH);
      TheFile = fileName;
    } else {
      TheFile = GetParam();
      TheModule = LoadLibraryExW(TheFile.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
      ASSERT_NE(TheModule, nullptr) << "cannot load " << std::string(TheFile.begin(), TheFile.end());
    }
  }
  void TearDown() override {
    if (!GetParam().empty() && TheModule != nullptr) FreeLibrary(TheModule);
    TheModule = nullptr;
  }
};

std::wstring LoadText(UINT id) {
  wchar_t buffer[50] = {};
  const int length = LoadStringW(TheModule, id, buffer, 50);
  return std::wstring(buffer, length > 0 ? length : 0);
}

// A resource's bytes, or an empty span when it is missing.
std::pair<const std::uint8_t*, DWORD> ResourceBytes(LPCWSTR name, LPCWSTR type) {
  HMODULE module = TheModule;
  HRSRC found = FindResourceW(module, name, type);
  if (found == nullptr) return {nullptr, 0};
  HGLOBAL loaded = LoadResource(module, found);
  return {static_cast<const std::uint8_t*>(LockResource(loaded)), SizeofResource(module, found)};
}

// Reads the little-endian fields of a dialog template in order.
class TemplateReader {
 public:
  explicit TemplateReader(const std::uint8_t* data) : data_(data) {}
  std::uint16_t Word() {
    std::uint16_t v = static_cast<std::uint16_t>(data_[at_] | data_[at_ + 1] << 8);
    at_ += 2;
    return v;
  }
  std::uint32_t Dword() {
    const std::uint32_t low = Word();
    return low | static_cast<std::uint32_t>(Word()) << 16;
  }
  std::int16_t Short() { return static_cast<std::int16_t>(Word()); }
  std::uint8_t Byte() { return data_[at_++]; }
  std::wstring Text() {
    std::wstring text;
    for (std::uint16_t c = Word(); c != 0; c = Word()) text += static_cast<wchar_t>(c);
    return text;
  }
  // A name or an ordinal: the ordinal comes back as "#N".
  std::wstring NameOrOrdinal() {
    const std::uint16_t first = Word();
    if (first == 0) return L"";
    if (first == 0xFFFF) return L"#" + std::to_wstring(Word());
    at_ -= 2;
    return Text();
  }
  void AlignDword() { at_ = (at_ + 3) & ~std::size_t{3}; }

 private:
  const std::uint8_t* data_;
  std::size_t at_ = 0;
};

struct Item {
  std::uint32_t exStyle, style;
  int x, y, cx, cy;
  std::int32_t id;
  std::wstring windowClass, text;
};

TEST_P(Resources, StringsGiveTheTitleAndTheClassName) {
  EXPECT_EQ(LoadText(IDS_APP_TITLE), L"Orbidial");
  EXPECT_EQ(LoadText(IDS_WINDOW_CLASS), L"ORBDIAL");
}

TEST_P(Resources, IconGroupHoldsFiveSizesInTrueColour) {
  auto [data, size] = ResourceBytes(MAKEINTRESOURCEW(IDI_ORBIDIAL), RT_GROUP_ICON);
  ASSERT_NE(data, nullptr);
  TemplateReader group(data);
  EXPECT_EQ(group.Word(), 0);  // reserved
  EXPECT_EQ(group.Word(), 1);  // icons
  const int count = group.Word();
  ASSERT_EQ(count, 5);
  std::vector<int> sizes;
  for (int i = 0; i < count; ++i) {
    const int width = group.Byte();
    group.Byte();  // height
    group.Byte();  // colour count
    group.Byte();
    group.Word();  // planes
    EXPECT_GE(group.Word(), 24) << "bit count of entry " << i;
    group.Dword();  // bytes
    group.Word();   // id
    sizes.push_back(width == 0 ? 256 : width);
  }
  EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48, 64, 256}));
  (void)size;

  // The dialog loads it at 64 x 64, the window class at the system sizes.
  HICON icon = static_cast<HICON>(LoadImageW(TheModule,
                                             MAKEINTRESOURCEW(IDI_ORBIDIAL), IMAGE_ICON, 64, 64,
                                             LR_DEFAULTCOLOR));
  ASSERT_NE(icon, nullptr);
  ICONINFO info = {};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  BITMAP bitmap = {};
  GetObjectW(info.hbmColor, sizeof(bitmap), &bitmap);
  EXPECT_EQ(bitmap.bmWidth, 64);
  EXPECT_EQ(bitmap.bmHeight, 64);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  DestroyIcon(icon);
}

TEST_P(Resources, AboutDialogTemplateIsExact) {
  auto [data, size] = ResourceBytes(MAKEINTRESOURCEW(IDD_ABOUTBOX), RT_DIALOG);
  ASSERT_NE(data, nullptr);
  ASSERT_GT(size, 40u);
  TemplateReader t(data);
  EXPECT_EQ(t.Word(), 1);       // extended template
  EXPECT_EQ(t.Word(), 0xFFFF);
  t.Dword();                    // help id
  EXPECT_EQ(t.Dword(), 0u);     // extended style
  EXPECT_EQ(t.Dword(), 0x90C80ACEu);
  const int count = t.Word();
  EXPECT_EQ(t.Short(), 0);
  EXPECT_EQ(t.Short(), 0);
  EXPECT_EQ(t.Short(), 176);
  EXPECT_EQ(t.Short(), 90);
  EXPECT_EQ(t.NameOrOrdinal(), L"");  // no menu
  EXPECT_EQ(t.NameOrOrdinal(), L"");  // the standard dialog class
  EXPECT_EQ(t.Text(), L"关于");
  EXPECT_EQ(t.Word(), 9);             // points
  EXPECT_EQ(t.Word(), 290);           // weight
  EXPECT_EQ(t.Byte(), 0);             // not italic
  EXPECT_EQ(t.Byte(), 0);             // character set
  EXPECT_EQ(t.Text(), L"MS Shell Dlg");

  ASSERT_EQ(count, 7);
  std::vector<Item> items;
  for (int i = 0; i < count; ++i) {
    t.AlignDword();
    Item item;
    t.Dword();  // help id
    item.exStyle = t.Dword();
    item.style = t.Dword();
    item.x = t.Short();
    item.y = t.Short();
    item.cx = t.Short();
    item.cy = t.Short();
    item.id = static_cast<std::int32_t>(t.Dword());
    item.windowClass = t.NameOrOrdinal();
    item.text = t.NameOrOrdinal();
    const int extra = t.Word();
    for (int b = 0; b < extra; ++b) t.Byte();
    items.push_back(item);
  }
  const std::uint32_t kStatic = 0x5002000C, kCheck = 0x50010003, kOk = 0x50010001,
                      kThreeState = 0x50010006;
  const std::wstring kStaticClass = L"#130", kButtonClass = L"#128";
  struct Expected {
    std::int32_t id;
    std::uint32_t exStyle, style;
    int x, y, cx, cy;
    std::wstring windowClass;
    std::wstring text;  // empty: any placeholder
  };
  const Expected expected[7] = {
      {1005, WS_EX_TRANSPARENT, kStatic, 56, 6, 82, 10, kStaticClass, L"Orbidial V%s"},
      {1006, WS_EX_TRANSPARENT, kStatic, 56, 19, 82, 10, kStaticClass, L""},
      {-1, WS_EX_TRANSPARENT, kStatic, 56, 43, 82, 10, kStaticClass, L""},
      {1007, WS_EX_TRANSPARENT, kStatic, 56, 31, 82, 10, kStaticClass, L""},
      {1002, 0, kCheck, 18, 69, 26, 10, kButtonClass, L"变色"},
      {1, 0, kOk, 117, 66, 47, 17, kButtonClass, L"确定"},
      {1003, 0, kThreeState, 58, 69, 39, 10, kButtonClass, L"默认汉字"},
  };
  for (int i = 0; i < 7; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(items[i].id, expected[i].id);
    EXPECT_EQ(items[i].exStyle, expected[i].exStyle);
    EXPECT_EQ(items[i].style, expected[i].style);
    EXPECT_EQ(items[i].x, expected[i].x);
    EXPECT_EQ(items[i].y, expected[i].y);
    EXPECT_EQ(items[i].cx, expected[i].cx);
    EXPECT_EQ(items[i].cy, expected[i].cy);
    EXPECT_EQ(items[i].windowClass, expected[i].windowClass);
    if (!expected[i].text.empty()) {
      EXPECT_EQ(items[i].text, expected[i].text);
    }
  }
}

TEST_P(Resources, VersionInformationIsTheProjects) {
  const DWORD size = GetFileVersionInfoSizeW(TheFile.c_str(), nullptr);
  ASSERT_NE(size, 0u);
  std::vector<std::uint8_t> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(TheFile.c_str(), 0, size, block.data()));
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &length));
  EXPECT_EQ(info->dwFileVersionMS, static_cast<DWORD>(ORBIDIAL_VERSION_MAJOR << 16 | ORBIDIAL_VERSION_MINOR));
  EXPECT_EQ(info->dwFileVersionLS, static_cast<DWORD>(ORBIDIAL_VERSION_PATCH << 16 | ORBIDIAL_VERSION_TWEAK));
}

// The manifest's text; empty when there is none.
std::string Manifest() {
  auto [data, size] = ResourceBytes(MAKEINTRESOURCEW(1), RT_MANIFEST);
  return data != nullptr ? std::string(reinterpret_cast<const char*>(data), size) : std::string();
}

TEST_P(Resources, ManifestAsksForInvokerAndCommonControls6) {
  const std::string manifest = Manifest();
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(manifest.find("name=\"Orbidial.Screensaver\" version=\"" ORBIDIAL_VERSION_TEXT "\""),
            std::string::npos);
}

TEST_P(Resources, ManifestAsksForPerMonitorAwarenessAndNamesTheSystems) {
  const std::string manifest = Manifest();
  EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
  EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
  for (const char* system : {"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",    // 10 and 11
                             "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",    // 8.1
                             "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",    // 8
                             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"}) { // 7
    EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"") + system + "\"/>"), std::string::npos)
        << system;
  }
}

TEST_P(Resources, VersionStringsNameTheMakers) {
  const DWORD size = GetFileVersionInfoSizeW(TheFile.c_str(), nullptr);
  ASSERT_NE(size, 0u);
  std::vector<std::uint8_t> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(TheFile.c_str(), 0, size, block.data()));
  for (const wchar_t* name : {L"CompanyName", L"LegalCopyright"}) {
    wchar_t* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\080404b0\\") + name;
    ASSERT_TRUE(VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length))
        << std::string(path.begin(), path.end());
    EXPECT_GT(length, 1u);
    EXPECT_NE(std::wstring(value).find(L"Orbidial"), std::wstring::npos);
  }
}

// The manifest takes effect: this program, which carries it too, runs aware
// of each monitor's DPI (Wine 8 grants the first version of that awareness
// for either name, Windows 10 the second).
TEST(Process, RunsPerMonitorAware) {
  EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()),
            DPI_AWARENESS_PER_MONITOR_AWARE);
}

INSTANTIATE_TEST_SUITE_P(Modules, Resources, ::testing::ValuesIn(ModulesToCheck()),
                         [](const ::testing::TestParamInfo<std::wstring>& info) {
                           return info.param.empty() ? std::string("ThisProgram")
                                                     : std::string("OrbidialScr");
                         });

}  // namespace
