#define STRSAFE_NO_DEPRECATE
#include "settings/about_dialog_win32.h"

#include <strsafe.h>

#include <algorithm>
#include <memory>
#include <new>
#include <string>

#include "resources/resource.h"
#include "settings/about_dialog.h"
#include "settings/settings_file.h"

HICON AboutIcon = nullptr;

namespace {

// Set once OK or cancel has ended the dialog: a second OK queued behind the
// first (a fast double Enter) must not save again.
bool Ended = false;

const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

void SetLineText(HWND dialog, int id, const std::u16string& text) {
  SetWindowTextW(GetDlgItem(dialog, id), Wide(text));
}

// The module whose icon the dialog shows, handed in by its caller.
HINSTANCE IconModule = nullptr;

// The icon at the dialog's DPI, drawn from the largest image that fits.
void LoadAboutIcon() {
  if (AboutIcon != nullptr) DestroyIcon(AboutIcon);
  const int size = ScaleForDialog(kIconSize);
  AboutIcon = static_cast<HICON>(LoadImageW(IconModule, MAKEINTRESOURCEW(IDI_ORBIDIAL), IMAGE_ICON,
                                            size, size, LR_DEFAULTCOLOR));
}

// The link's hot rectangle: the text as its line draws it, from the line's
// top-left corner (placed in dialog units, so at the dialog font's size and
// the dialog's DPI) over the address's extent in the line's font, cut at the
// line's edges. The padding after the address is no part of it. Worked out
// where it is used, so it follows the line wherever the dialog manager moves
// it (a change of DPI).
void PlaceLinkOnItsText(HWND dialog) {
  HWND line = GetDlgItem(dialog, IDC_LINK_LINE);
  RECT box = {};
  if (line == nullptr || !GetWindowRect(line, &box)) return;
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&box), 2);
  std::u16string address = WebAddressLine;
  while (!address.empty() && (address.back() == u'\u3000' || address.back() == u' ')) {
    address.pop_back();
  }
  HDC dc = GetDC(line);
  HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(line, WM_GETFONT, 0, 0)));
  SIZE extent = {};
  GetTextExtentPoint32W(dc, Wide(address), static_cast<int>(address.size()), &extent);
  SelectObject(dc, previous);
  ReleaseDC(line, dc);
  // The hit test is strict on every side: one pixel out on the left and top.
  LinkRect = Rect{box.left - 1, box.top - 1, std::min<int>(box.left + extent.cx, box.right),
                  std::min<int>(box.top + extent.cy, box.bottom)};
}

// The separator runs across the dialog between the link's line and the
// boxes, at a height in dialog units like theirs.
constexpr int kSeparatorDialogY = 60;
int SeparatorClientY(HWND dialog) {
  RECT place = {0, kSeparatorDialogY, 0, kSeparatorDialogY};
  MapDialogRect(dialog, &place);
  return place.top;
}

// The options as the boxes show them: each box's state as the button holds it.
SaverOptions OptionsOf(HWND dialog) {
  SaverOptions options;
  options.ColorByWeekday = static_cast<int>(IsDlgButtonChecked(dialog, IDC_COLOR_BOX));
  options.NumeralStyle = static_cast<std::int16_t>(IsDlgButtonChecked(dialog, IDC_NUMERAL_BOX));
  return options;
}

// OK: the boxes' states are saved; a save that fails says so once.
void Save(HWND dialog) {
  if (SaveSettings(OptionsOf(dialog)) == 0) {
    MessageBoxW(dialog, Wide(kSaveWarningText), Wide(kSaveWarningCaption), MB_OK | MB_ICONWARNING);
  }
}

// The client point of a mouse message, each coordinate taken as an unsigned
// 16-bit value.
int PointX(LPARAM lParam) { return static_cast<int>(static_cast<std::uint32_t>(lParam) & 0xFFFFu); }
int PointY(LPARAM lParam) { return static_cast<int>(static_cast<std::uint32_t>(lParam) >> 16); }

void InitDialog(HWND dialog, const AboutDialogStart* start) {
  Ended = false;
  DialogDpi = WindowDpi(dialog);
  ComposeDialogTexts();
  SetLineText(dialog, IDC_VERSION_LINE, VersionLine);
  SetLineText(dialog, IDC_CREDIT_LINE, CreditLine);
  SetLineText(dialog, IDC_CONTACT_LINE, ContactLine);
  SetLineText(dialog, IDC_LINK_LINE, WebAddressLine);
  PlaceLinkOnItsText(dialog);
  // A caller that hands in no module means this program; none that hands in
  // no options, the stored ones.
  IconModule = start != nullptr && start->iconModule != nullptr ? start->iconModule : GetModuleHandleW(nullptr);
  LoadAboutIcon();
  const SaverOptions shown = start != nullptr ? start->options : ReadSettings();
  // The stored values go to the boxes as they are; a value beyond a box's
  // states shows as its last state, by the button's own rule.
  CheckDlgButton(dialog, IDC_COLOR_BOX, static_cast<UINT>(shown.ColorByWeekday));
  CheckDlgButton(dialog, IDC_NUMERAL_BOX, static_cast<UINT>(static_cast<int>(shown.NumeralStyle)));
}

void Paint(HWND dialog) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(dialog, &paint);
  DrawIconEx(dc, ScaleForDialog(kIconX), ScaleForDialog(kIconY), AboutIcon, 0, 0, 0, nullptr,
             DI_NORMAL);
  HPEN pen = CreatePen(PS_SOLID, 1, kSeparatorColor);
  HGDIOBJ previous = SelectObject(dc, pen);
  RECT client = {};
  GetClientRect(dialog, &client);
  const int y = SeparatorClientY(dialog);
  MoveToEx(dc, 0, y, nullptr);
  LineTo(dc, client.right, y);
  SelectObject(dc, previous);
  DeleteObject(pen);
  EndPaint(dialog, &paint);
}

}  // namespace

int WindowDpi(HWND window) {
  // GetDpiForWindow came with Windows 10 1607; before it every window has
  // the one system DPI of the screen's device context.
  using DpiForWindow = UINT(WINAPI*)(HWND);
  static const auto dpiForWindow = reinterpret_cast<DpiForWindow>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (dpiForWindow != nullptr) {
    if (const UINT dpi = dpiForWindow(window); dpi != 0) return static_cast<int>(dpi);
  }
  HDC dc = GetDC(window);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(window, dc);
  return dpi > 0 ? dpi : kBaseDpi;
}

int ReadFileVersion() {
  wchar_t fileName[MAX_PATH] = {};
  if (GetModuleFileNameW(nullptr, fileName, MAX_PATH) == 0) return 0;
  const DWORD size = GetFileVersionInfoSizeW(fileName, nullptr);
  if (size == 0) return 0;
  std::unique_ptr<wchar_t[]> block(new (std::nothrow) wchar_t[size + 1]);
  if (!block) return 0;
  if (!GetFileVersionInfoW(fileName, 0, size, block.get())) return 0;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT infoSize = 0;
  if (!VerQueryValueW(block.get(), L"\\", reinterpret_cast<void**>(&info), &infoSize) ||
      info == nullptr || infoSize < sizeof(VS_FIXEDFILEINFO)) {
    return 0;
  }
  StringCchPrintfW(reinterpret_cast<wchar_t*>(VersionText), kVersionTextSize, L"%d.%d.%d.%d",
                   HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                   HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS));
  return 1;
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      InitDialog(dialog, reinterpret_cast<const AboutDialogStart*>(lParam));
      return TRUE;
    case WM_PAINT:
      Paint(dialog);
      return FALSE;
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_LINK_LINE) {
        SetTextColor(dc, kLinkColor);
      }
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<INT_PTR>(GetStockObject(NULL_BRUSH));
    }
    case WM_MOUSEMOVE:
      PlaceLinkOnItsText(dialog);
      switch (TrackLinkCursor(PointX(lParam), PointY(lParam))) {
        case CursorChange::ToHand:
          SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
          break;
        case CursorChange::ToArrow:
          SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));
          break;
        case CursorChange::Keep:
          break;
      }
      return FALSE;
    case WM_LBUTTONDOWN:
      PlaceLinkOnItsText(dialog);
      ClickLink(PointX(lParam), PointY(lParam));
      return FALSE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          if (!Ended) Save(dialog);
          Ended = true;
          EndDialog(dialog, IDOK);
          return TRUE;
        case IDCANCEL:
          Ended = true;
          EndDialog(dialog, IDCANCEL);
          return TRUE;
        default:
          return FALSE;
      }
    case WM_DPICHANGED:
      // Moved to a monitor of another scale: the dialog manager resizes the
      // dialog and its controls, and the link and separator go with them;
      // the icon, placed in pixels, follows here.
      DialogDpi = HIWORD(wParam);
      LoadAboutIcon();
      InvalidateRect(dialog, nullptr, TRUE);
      return FALSE;
    case WM_DESTROY:
      if (AboutIcon != nullptr) DestroyIcon(AboutIcon);
      AboutIcon = nullptr;
      PostQuitMessage(0);
      return FALSE;
    default:
      return FALSE;
  }
}
